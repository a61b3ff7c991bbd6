#pragma once

#include "tools/devserver/GeoPoint.h"
#include "tools/devserver/RidePlanner.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <deque>

// One simulated tracker, stepped through time in 30-second steps: it rides the
// planned loops and parks at its base, reports track points, drains its battery
// while riding and recovers it while charging, and counts its mileage per day.
class TrackerSimulation
{
public:
    struct Point
    {
        qint64 serverid = 0;
        QDateTime time;
        GeoPoint position;
        int state = 1; // 1 riding, 2 standing
    };

    static constexpr int kStepSeconds = 30;
    static constexpr double kFullVolts = 41.4;
    static constexpr double kEmptyVolts = 33.0;

    TrackerSimulation(quint64 seed, const QString& devid, const GeoPoint& base,
                      const QDateTime& from);

    void advanceTo(const QDateTime& when);

    GeoPoint position() const { return m_position; }
    const GeoPoint& base() const { return m_planner.base(); }
    bool moving() const { return m_moving; }
    bool held() const { return m_held; }
    double power() const { return m_power; }
    double dayKm(const QDate& day) const;
    double weekKm(const QDate& anyDayOfWeek) const; // Monday to Sunday
    double totalKm() const { return m_totalKm; }
    double averageSpeedKmh() const;
    qint64 lastServerId() const { return m_nextServerId - 1; }
    // The oldest points after serverid, at most limit of them.
    QList<Point> pointsAfter(qint64 serverid, int limit) const;

    // Keeps the tracker standing at a position until release() and reports it at once.
    void hold(const GeoPoint& position);
    void release();
    void setPower(double volts);

private:
    void step(const QDateTime& when);
    void drive(double metres, const QDate& day);
    bool charging(const QDateTime& when) const;
    void addPoint(const QDateTime& when, int state);

    RidePlanner m_planner;
    QDateTime m_cursor;
    QDate m_firstDay;
    GeoPoint m_position;
    bool m_moving = false;
    bool m_held = false;
    double m_power;
    double m_totalKm;
    double m_rideMetres = 0;
    double m_rideSeconds = 0;
    QMap<QDate, double> m_dayKm;
    std::deque<Point> m_points;
    qint64 m_nextServerId = 1;
    int m_stepsSincePoint = 0;
};
