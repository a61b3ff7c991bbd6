#pragma once

#include "store/RiderInfo.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class ManagedObject;
class ManagedObjectContext;

// The list logic shared by the ranking and the nearby-rider caches: one row per
// user name, looked up by rank. The texts are the log lines of the list.
class RiderCache
{
public:
    struct Texts
    {
        QString exists;
        QString created;
        QString added;
    };

    RiderCache(const QString& entity, const Texts& texts);

    void CheckAdd(const RiderInfo& rider) const;
    void Add(const RiderInfo& rider) const;
    QList<RiderInfo> GetValue(const QString& paiming) const;
    QList<RiderInfo> GetByUsername(const QString& username) const;
    // Deletes the rows of every rider not named here: what a fresh answer left out.
    void KeepOnly(const QStringList& usernames) const;
    // Makes the cache hold exactly these riders, in one save and one transaction. Each
    // rider is logged as CheckAdd logs it; rows and their order are what CheckAdd for
    // every rider followed by KeepOnly leaves.
    void Replace(const QList<RiderInfo>& riders) const;
    int GetCount() const;
    void ClearMySelf() const;

private:
    enum Outcome { Updated, Added, NotAdded };

    // Updates the rider's row or adds one, without saving.
    Outcome put(ManagedObjectContext* context, const RiderInfo& rider) const;
    // The two lines CheckAdd logs for the rider; `error` is a failed save's reason.
    void logOutcome(const QString& username, Outcome outcome, const QString* error) const;
    QList<ManagedObject*> rowsNotNamed(ManagedObjectContext* context,
                                       const QSet<QString>& usernames) const;
    QList<RiderInfo> fetchWhere(const QString& attribute, const QString& value) const;

    QString m_entity;
    Texts m_texts;
};
