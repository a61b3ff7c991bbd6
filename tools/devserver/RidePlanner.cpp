#include "tools/devserver/RidePlanner.h"

#include "tools/devserver/SimRandom.h"

#include <cmath>
#include <numbers>

namespace {
constexpr int kRoutes = 3;
constexpr int kFirstRideMinute = 7 * 60;
constexpr int kRidingWindowMinutes = 14 * 60; // rides start between 07:00 and 21:00
} // namespace

RidePlanner::RidePlanner(quint64 seed, const QString& devid, const GeoPoint& base)
    : m_seed(seed), m_devid(devid), m_base(base)
{
    for (int i = 0; i < kRoutes; ++i) {
        m_routes.append(makeRoute(i));
        double length = 0;
        for (qsizetype p = 1; p < m_routes.last().size(); ++p)
            length += GeoPoint::distance(m_routes.last().at(p - 1), m_routes.last().at(p));
        m_lengths.append(length);
    }
}

// A loop around the base: out to a ring of waypoints, once around, and back.
QList<GeoPoint> RidePlanner::makeRoute(int index) const
{
    SimRandom random(SimRandom::hash(m_seed, m_devid + "/route", index));
    const int waypoints = random.between(6, 9);
    const double innerRadius = 200.0 + 300.0 * index;
    const double outerRadius = innerRadius * 2.5;
    double angle = random.range(0, 2 * std::numbers::pi);
    QList<GeoPoint> route{m_base};
    for (int i = 0; i < waypoints; ++i) {
        const double radius = random.range(innerRadius, outerRadius);
        route.append(m_base.offset(radius * std::cos(angle), radius * std::sin(angle)));
        angle += 2 * std::numbers::pi / waypoints * random.range(0.8, 1.1);
    }
    route.append(m_base);
    return route;
}

QList<RidePlanner::Ride> RidePlanner::ridesOn(const QDate& day) const
{
    SimRandom random(SimRandom::hash(m_seed, m_devid + "/day", day.toJulianDay()));
    int count = random.between(1, 4);
    if (random.uniform() < 0.1)
        count = 0;
    QList<Ride> rides;
    const int slot = kRidingWindowMinutes / qMax(count, 1);
    for (int i = 0; i < count; ++i) {
        Ride ride;
        const int minute = kFirstRideMinute + i * slot + random.between(0, slot - 60);
        ride.start = QDateTime(day, QTime(0, 0)).addSecs(qint64(minute) * 60);
        ride.route = random.between(0, kRoutes - 1);
        ride.speedKmh = random.range(14.0, 22.0);
        ride.seconds = m_lengths.at(ride.route) / (ride.speedKmh / 3.6);
        rides.append(ride);
    }
    return rides;
}

std::optional<RidePlanner::Ride> RidePlanner::rideAt(const QDateTime& when) const
{
    for (const Ride& ride : ridesOn(when.date())) {
        const double since = double(ride.start.msecsTo(when)) / 1000.0;
        if (since >= 0 && since < ride.seconds)
            return ride;
    }
    return std::nullopt;
}

GeoPoint RidePlanner::positionOnRoute(int route, double metres) const
{
    const QList<GeoPoint>& points = m_routes.at(route);
    for (qsizetype i = 1; i < points.size(); ++i) {
        const double leg = GeoPoint::distance(points.at(i - 1), points.at(i));
        if (metres <= leg)
            return GeoPoint::between(points.at(i - 1), points.at(i), leg > 0 ? metres / leg : 0);
        metres -= leg;
    }
    return points.last();
}

double RidePlanner::historyKm(const QDate& day) const
{
    const double chance = SimRandom::uniformOf(m_seed, m_devid + "/history", day.toJulianDay());
    if (chance < 0.12)
        return 0;
    return std::round(3.0 +
                      22.0 * SimRandom::uniformOf(m_seed, m_devid + "/km", day.toJulianDay())) +
           std::round(10 * chance) / 10;
}

double RidePlanner::initialTotalKm() const
{
    return std::round(800 + 1700 * SimRandom::uniformOf(m_seed, m_devid + "/total"));
}

double RidePlanner::initialPower() const
{
    return 38.5 + 2.9 * SimRandom::uniformOf(m_seed, m_devid + "/power");
}

double RidePlanner::typicalSpeedKmh() const
{
    return 15.0 + 5.0 * SimRandom::uniformOf(m_seed, m_devid + "/speed");
}
