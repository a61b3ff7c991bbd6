#pragma once

#include "store/RiderInfo.h"

#include <QList>
#include <QString>
#include <QStringList>

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
    int GetCount() const;
    void ClearMySelf() const;

private:
    QList<RiderInfo> fetchWhere(const QString& attribute, const QString& value) const;

    QString m_entity;
    Texts m_texts;
};
