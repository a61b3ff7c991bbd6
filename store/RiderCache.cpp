#include "store/RiderCache.h"

#include "platform/Log.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObject.h"
#include "store/db/ManagedObjectContext.h"

#include <QSet>

namespace {

// Attribute positions in the entity: id first, then the eight texts.
enum { Id, Username, Level, Levelname, Paiming, Touxiangpath, Lat, Lng, Weixin };

void fill(ManagedObject* row, const RiderInfo& rider)
{
    row->setValue(Level, rider.level);
    row->setValue(Levelname, rider.levelname);
    row->setValue(Paiming, rider.paiming);
    row->setValue(Touxiangpath, rider.touxiangpath);
    row->setValue(Lat, rider.lat);
    row->setValue(Lng, rider.lng);
    row->setValue(Weixin, rider.weixin);
}

RiderInfo riderOf(const ManagedObject* row)
{
    return {row->value(Username).toString(), row->value(Level).toString(),
            row->value(Levelname).toString(), row->value(Paiming).toString(),
            row->value(Touxiangpath).toString(), row->value(Lat).toString(),
            row->value(Lng).toString(), row->value(Weixin).toString()};
}

} // namespace

RiderCache::RiderCache(const QString& entity, const Texts& texts) : m_entity(entity), m_texts(texts)
{
}

void RiderCache::CheckAdd(const RiderInfo& rider) const
{
    ManagedObjectContext* context = StoreContext::shared();
    const QList<ManagedObject*> rows =
        context ? context->fetch(FetchRequest::equal(m_entity, QStringLiteral("username"), rider.username))
                : QList<ManagedObject*>();
    if (rows.isEmpty()) {
        Log::write(m_texts.created.arg(rider.username));
        Add(rider);
        return;
    }
    Log::write(m_texts.exists.arg(rider.username));
    fill(rows.first(), rider);
    QString error;
    Log::write(context->save(&error) ? QStringLiteral("更新:%1 ok").arg(rider.username) : error);
}

void RiderCache::Add(const RiderInfo& rider) const
{
    ManagedObjectContext* context = StoreContext::shared();
    ManagedObject* row = context ? context->insert(m_entity) : nullptr;
    if (!row) {
        Log::write(QStringLiteral("no store: %1 not added").arg(rider.username));
        return;
    }
    row->setValue(Id, qint64(1));
    row->setValue(Username, rider.username);
    fill(row, rider);
    QString error;
    Log::write(context->save(&error) ? m_texts.added : error);
}

QList<RiderInfo> RiderCache::GetValue(const QString& paiming) const
{
    return fetchWhere(QStringLiteral("paiming"), paiming);
}

QList<RiderInfo> RiderCache::GetByUsername(const QString& username) const
{
    return fetchWhere(QStringLiteral("username"), username);
}

QList<RiderInfo> RiderCache::fetchWhere(const QString& attribute, const QString& value) const
{
    QList<RiderInfo> riders;
    ManagedObjectContext* context = StoreContext::shared();
    if (!context)
        return riders;
    for (const ManagedObject* row : context->fetch(FetchRequest::equal(m_entity, attribute, value)))
        riders.append(riderOf(row));
    return riders;
}

void RiderCache::KeepOnly(const QStringList& usernames) const
{
    ManagedObjectContext* context = StoreContext::shared();
    if (!context)
        return;
    const QSet<QString> kept(usernames.begin(), usernames.end());
    bool removed = false;
    for (ManagedObject* row : context->fetch(FetchRequest::all(m_entity))) {
        if (!kept.contains(row->value(Username).toString())) {
            context->deleteObject(row);
            removed = true;
        }
    }
    QString error;
    if (removed && !context->save(&error))
        Log::write(QStringLiteral("error:%1").arg(error));
}

int RiderCache::GetCount() const
{
    ManagedObjectContext* context = StoreContext::shared();
    return context ? context->count(FetchRequest::greaterThan(m_entity, QStringLiteral("paiming"), 0))
                   : 0;
}

void RiderCache::ClearMySelf() const
{
    ManagedObjectContext* context = StoreContext::shared();
    if (!context)
        return;
    for (ManagedObject* row : context->fetch(FetchRequest::all(m_entity)))
        context->deleteObject(row);
    QString error;
    if (!context->save(&error))
        Log::write(QStringLiteral("error:%1").arg(error));
}
