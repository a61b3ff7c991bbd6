#pragma once

#include "tools/devserver/GeoPoint.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The rides of one simulated tracker: a few seeded loops that start and end at
// its base, and for every day the rides taken on them. Everything is derived
// from the seed, the device number and the date, so any day can be asked about.
class RidePlanner
{
public:
    struct Ride
    {
        QDateTime start;
        int route = 0;
        double speedKmh = 0;
        double seconds = 0; // time to ride the whole loop
    };

    RidePlanner(quint64 seed, const QString& devid, const GeoPoint& base);

    const GeoPoint& base() const { return m_base; }
    QList<Ride> ridesOn(const QDate& day) const;
    std::optional<Ride> rideAt(const QDateTime& when) const;
    GeoPoint positionOnRoute(int route, double metres) const;
    double routeLength(int route) const { return m_lengths.value(route); }
    int routeCount() const { return int(m_routes.size()); }
    // Kilometres ridden on a day before the simulation began.
    double historyKm(const QDate& day) const;
    double initialTotalKm() const;
    double initialPower() const;
    double typicalSpeedKmh() const;

private:
    QList<GeoPoint> makeRoute(int index) const;

    quint64 m_seed;
    QString m_devid;
    GeoPoint m_base;
    QList<QList<GeoPoint>> m_routes;
    QList<double> m_lengths;
};
