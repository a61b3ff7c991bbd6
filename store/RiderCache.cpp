#include "store/RiderCache.h"

#include "platform/Log.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObject.h"
#include "store/db/ManagedObjectContext.h"

#include <QSet>

namespace {

// Attribute positions in the entity: id first, then the eight texts.
enum { Id, Username, Level, Levelname, Paiming, Touxiangpath, Lat, Lng, Weixin };

const QString UsernameAttribute = QStringLiteral("username");

void fill(ManagedObject* row, const RiderInfo& rider)
{
    row->setText(Level, rider.level);
    row->setText(Levelname, rider.levelname);
    row->setText(Paiming, rider.paiming);
    row->setText(Touxiangpath, rider.touxiangpath);
    row->setText(Lat, rider.lat);
    row->setText(Lng, rider.lng);
    row->setText(Weixin, rider.weixin);
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

void RiderCache::Replace(const QList<RiderInfo>& riders) const
{
    ManagedObjectContext* context = StoreContext::shared();
    if (!context) {
        for (const RiderInfo& rider : riders)
            CheckAdd(rider);
        return;
    }
    QList<Outcome> outcomes;
    outcomes.reserve(riders.size());
    QSet<QString> kept;
    kept.reserve(riders.size());
    for (const RiderInfo& rider : riders) {
        outcomes.append(put(context, rider));
        kept.insert(rider.username);
    }
    const QList<ManagedObject*> gone = rowsNotNamed(context, kept);
    context->deleteObjects(gone);
    // One save writes every rider; the log still tells each rider's story in turn.
    QString error;
    const bool saved = context->save(&error);
    for (qsizetype i = 0; i < riders.size(); ++i)
        logOutcome(riders[i].username, outcomes[i], saved ? nullptr : &error);
    if (!saved && !gone.isEmpty())
        Log::write(QStringLiteral("error:%1").arg(error));
}

RiderCache::Outcome RiderCache::put(ManagedObjectContext* context, const RiderInfo& rider) const
{
    ManagedObject* row = context->fetchFirst(m_entity, UsernameAttribute, rider.username);
    if (row) {
        fill(row, rider);
        return Updated;
    }
    row = context->insert(m_entity);
    if (!row)
        return NotAdded;
    row->setValue(Id, qint64(1));
    row->setValue(Username, rider.username);
    fill(row, rider);
    return Added;
}

void RiderCache::logOutcome(const QString& username, Outcome outcome, const QString* error) const
{
    if (outcome == Updated) {
        Log::write(m_texts.exists.arg(username));
        Log::write(error ? *error : QStringLiteral("更新:%1 ok").arg(username));
        return;
    }
    Log::write(m_texts.created.arg(username));
    if (outcome == NotAdded)
        Log::write(QStringLiteral("no store: %1 not added").arg(username));
    else
        Log::write(error ? *error : m_texts.added);
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
    const QList<ManagedObject*> gone =
        rowsNotNamed(context, QSet<QString>(usernames.begin(), usernames.end()));
    context->deleteObjects(gone);
    QString error;
    if (!gone.isEmpty() && !context->save(&error))
        Log::write(QStringLiteral("error:%1").arg(error));
}

QList<ManagedObject*> RiderCache::rowsNotNamed(ManagedObjectContext* context,
                                               const QSet<QString>& usernames) const
{
    QList<ManagedObject*> rows;
    for (ManagedObject* row : context->fetch(FetchRequest::all(m_entity)))
        if (!usernames.contains(row->value(Username).toString()))
            rows.append(row);
    return rows;
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
    context->deleteObjects(context->fetch(FetchRequest::all(m_entity)));
    QString error;
    if (!context->save(&error))
        Log::write(QStringLiteral("error:%1").arg(error));
}
