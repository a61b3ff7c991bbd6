#pragma once

#include "store/RideLog.h"

#include <QDateTime>
#include <QList>

// The rides of a track read in arrival order: five minutes or more between two moving points'
// arrivals, standing or silent, ends one ride and starts the next. Each ride is kept as a summary,
// so a track of any length is split without holding its points.
class Rides
{
public:
    static constexpr qint64 StandingGapMs = 5 * 60 * 1000;
    // The state of a point the tracker reports while it stands.
    static constexpr int StandingState = 2;

    struct Ride
    {
        QDateTime start;
        QDateTime end;
        // Summed over consecutive points by the app's distance rule.
        double metres = 0;
        qsizetype points = 0;
        // False for points that arrived together in one late answer: when they were ridden,
        // and for how long, is unknown.
        bool timed = true;

        qint64 seconds() const { return start.secsTo(end); }
    };

    // Takes the next point of the track.
    void add(const RideLog::Point& point);
    // Oldest first.
    const QList<Ride>& list() const { return m_rides; }

    static QList<Ride> of(const QList<RideLog::Point>& points);

private:
    bool startsRide(const RideLog::Point& point) const;

    QList<Ride> m_rides;
    RideLog::Point m_last;
};
