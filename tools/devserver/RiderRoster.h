#pragma once

#include "tools/devserver/GeoPoint.h"

#include <QDate>
#include <QList>
#include <QString>

// The riders of the simulated community: seeded riders plus the accounts of the
// simulated devices, ranked each week by mileage, and the riders found near a device.
class RiderRoster
{
public:
    struct Rider
    {
        QString username;
        QString weixin;
        QString avatarPath; // path on this server
        int jifen = 0;
        GeoPoint position;
        double weekKm = 0;
        QString devid; // set for the accounts of simulated devices
    };

    struct Ranked
    {
        Rider rider;
        int level = 1;
        QString levelname;
        int paiming = 0;
    };

    static constexpr int kRankedRiders = 50;
    static constexpr int kNearbyRiders = 8;

    explicit RiderRoster(quint64 seed);

    // The week's ranking of at most 50 riders; every account is among them.
    QList<Ranked> ranking(const QList<Rider>& accounts, const QDate& today) const;
    // About eight ranked riders (not the device's own account) around a position.
    QList<Ranked> nearby(const QList<Ranked>& ranking, const QString& devid,
                         const GeoPoint& around) const;
    // The rider whose generated avatar lives at this path, if any.
    const Rider* riderWithAvatar(const QString& path) const;

    static int levelFor(int jifen);
    static QString levelName(int level);

private:
    void generate();

    quint64 m_seed;
    QList<Rider> m_riders;
};
