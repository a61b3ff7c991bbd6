#include "store/MyBasicInfo.h"

#include "platform/Log.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObject.h"
#include "store/db/ManagedObjectContext.h"

namespace {

const QString Entity = QStringLiteral("MyBasicInfo");

const QString TypeAttribute = QStringLiteral("type");

// The first row of the key, as every operation uses it; null when there is none.
ManagedObject* rowOf(const QString& key)
{
    ManagedObjectContext* context = StoreContext::shared();
    return context ? context->fetchFirst(Entity, TypeAttribute, key) : nullptr;
}

} // namespace

void MyBasicInfo::CheckAdd(const QString& key)
{
    if (!rowOf(key)) {
        Log::write(QStringLiteral("新建:%1").arg(key));
        Add(key);
    } else {
        Log::write(QStringLiteral("已经存在:%1").arg(key));
    }
}

void MyBasicInfo::Add(const QString& key)
{
    ManagedObjectContext* context = StoreContext::shared();
    ManagedObject* row = context ? context->insert(Entity) : nullptr;
    if (!row) {
        Log::write(QStringLiteral("no store: %1 not added").arg(key));
        return;
    }
    row->setValue(0, qint64(1));
    row->setValue(1, key);
    row->setValue(2, QStringLiteral("0"));
    QString error;
    Log::write(context->save(&error) ? QStringLiteral("save ok") : error);
}

QString MyBasicInfo::GetValue(const QString& key)
{
    const ManagedObject* row = rowOf(key);
    return row ? row->value(2).toString() : QStringLiteral("1");
}

void MyBasicInfo::SetValue(const QString& key, const QString& value)
{
    ManagedObject* row = rowOf(key);
    if (!row)
        return;
    row->setValue(2, value);
    QString error;
    if (StoreContext::shared()->save(&error))
        Log::write(QStringLiteral("更新MyBasicInfo %1 ok").arg(key));
    else
        Log::write(error);
}

void MyBasicInfo::PrintAll()
{
    ManagedObjectContext* context = StoreContext::shared();
    if (!context)
        return;
    // The dump goes to the log at every start; the passwords stay out of it.
    static const QStringList secret{QStringLiteral("localpwd"), QStringLiteral("serverpwd")};
    for (ManagedObject* row : context->fetch(FetchRequest::all(Entity))) {
        const QString type = row->value(1).toString();
        const QString value =
            secret.contains(type) ? QStringLiteral("***") : row->value(2).toString();
        Log::write(QStringLiteral("id=%1\u00a0type=%2\u00a0value=%3")
                       .arg(row->value(0).toLongLong())
                       .arg(type, value));
    }
}

void MyBasicInfo::ClearMySelf()
{
    ManagedObjectContext* context = StoreContext::shared();
    if (!context)
        return;
    const QList<ManagedObject*> rows = context->fetch(FetchRequest::all(Entity));
    if (rows.isEmpty())
        return;
    for (ManagedObject* row : rows)
        context->deleteObject(row);
    QString error;
    if (!context->save(&error))
        Log::write(QStringLiteral("error:%1").arg(error));
}
