#include "tools/devserver/TrackerSimulation.h"

#include <algorithm>

namespace {
constexpr double kVoltsPerKm = 0.3; // a full battery lasts about 28 km
constexpr double kChargeVoltsPerHour = 1.2;
constexpr double kChargeBelowVolts = 35.0; // charged in daytime too when this low
constexpr int kStandingReportSteps = 20;   // a standing tracker reports every 10 minutes
constexpr qint64 kKeptPointSeconds = 24 * 3600;
} // namespace

TrackerSimulation::TrackerSimulation(quint64 seed, const QString& devid, const GeoPoint& base,
                                     const QDateTime& from)
    : m_planner(seed, devid, base), m_cursor(from), m_firstDay(from.date()), m_position(base),
      m_power(m_planner.initialPower()), m_totalKm(m_planner.initialTotalKm())
{
    addPoint(m_cursor, 2);
}

void TrackerSimulation::advanceTo(const QDateTime& when)
{
    while (m_cursor.addSecs(kStepSeconds) <= when) {
        m_cursor = m_cursor.addSecs(kStepSeconds);
        step(m_cursor);
    }
}

void TrackerSimulation::step(const QDateTime& when)
{
    const bool wasMoving = m_moving;
    const GeoPoint before = m_position;
    const auto ride = m_held ? std::nullopt : m_planner.rideAt(when);
    if (ride) {
        const double metres = double(ride->start.msecsTo(when)) / 1000.0 * ride->speedKmh / 3.6;
        m_position = m_planner.positionOnRoute(ride->route, metres);
        m_moving = true;
        drive(GeoPoint::distance(before, m_position), when.date());
        m_rideSeconds += kStepSeconds;
    } else {
        // The last stretch of a loop ends at the base anyway; a release from a held
        // position jumps home without counting as mileage.
        if (!m_held)
            m_position = m_planner.base();
        m_moving = false;
        if (charging(when) && m_power < kFullVolts)
            m_power = std::min(kFullVolts, m_power + kChargeVoltsPerHour * kStepSeconds / 3600.0);
    }
    ++m_stepsSincePoint;
    if (m_moving || wasMoving || m_stepsSincePoint >= kStandingReportSteps)
        addPoint(when, m_moving ? 1 : 2);
}

void TrackerSimulation::drive(double metres, const QDate& day)
{
    if (metres <= 0)
        return;
    m_dayKm[day] += metres / 1000.0;
    m_totalKm += metres / 1000.0;
    m_rideMetres += metres;
    if (m_power > kEmptyVolts)
        m_power = std::max(kEmptyVolts, m_power - kVoltsPerKm * metres / 1000.0);
}

bool TrackerSimulation::charging(const QDateTime& when) const
{
    const int hour = when.time().hour();
    return hour >= 21 || hour < 7 || m_power < kChargeBelowVolts;
}

void TrackerSimulation::addPoint(const QDateTime& when, int state)
{
    m_points.push_back(Point{m_nextServerId++, when, m_position, state});
    m_stepsSincePoint = 0;
    while (m_points.front().time.secsTo(when) > kKeptPointSeconds)
        m_points.pop_front();
}

double TrackerSimulation::dayKm(const QDate& day) const
{
    if (day < m_firstDay)
        return m_planner.historyKm(day);
    return m_dayKm.value(day);
}

double TrackerSimulation::weekKm(const QDate& anyDayOfWeek) const
{
    const QDate monday = anyDayOfWeek.addDays(1 - anyDayOfWeek.dayOfWeek());
    double km = 0;
    for (int i = 0; i < 7; ++i)
        km += dayKm(monday.addDays(i));
    return km;
}

double TrackerSimulation::averageSpeedKmh() const
{
    if (m_rideSeconds <= 0)
        return m_planner.typicalSpeedKmh();
    return m_rideMetres / m_rideSeconds * 3.6;
}

QList<TrackerSimulation::Point> TrackerSimulation::pointsAfter(qint64 serverid, int limit) const
{
    QList<Point> points;
    auto it = std::upper_bound(m_points.begin(), m_points.end(), serverid,
                               [](qint64 id, const Point& p) { return id < p.serverid; });
    for (; it != m_points.end() && points.size() < limit; ++it)
        points.append(*it);
    return points;
}

void TrackerSimulation::hold(const GeoPoint& position)
{
    m_held = true;
    m_moving = false;
    m_position = position;
    addPoint(m_cursor, 2);
}

void TrackerSimulation::release()
{
    m_held = false;
}

void TrackerSimulation::setPower(double volts)
{
    m_power = volts;
}
