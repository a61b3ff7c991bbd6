#pragma once

#include "store/RiderInfo.h"

#include <QList>
#include <QString>
#include <QStringList>

// The weekly ranking cache: one row per rider, filled from the ranking answer.
class MyPaiMingInfo
{
public:
    static void CheckAdd(const QString& username, const QString& level, const QString& levelname,
                         const QString& paiming, const QString& touxiangpath, const QString& lat,
                         const QString& lng, const QString& weixin);
    static void CheckAdd(const RiderInfo& rider);
    static void Add(const QString& username, const QString& level, const QString& levelname,
                    const QString& paiming, const QString& touxiangpath, const QString& lat,
                    const QString& lng, const QString& weixin);
    // Every rider holding the rank, in fetch order; callers use the first.
    static QList<RiderInfo> GetValue(const QString& paiming);
    // Each non-empty answer replaces the cache in one save: every rider as CheckAdd would
    // put it, and the riders it left out go.
    static void Replace(const QList<RiderInfo>& riders);
    // The number of riders whose rank is above 0.
    static int GetCount();
    static void ClearMySelf();
};
