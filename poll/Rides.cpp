#include "poll/Rides.h"

#include "poll/MyUtil.h"

void Rides::add(const RideLog::Point& point)
{
    // A parked tracker goes on reporting where it stands; only moving points make a ride, so
    // standing for five minutes ends one as surely as silence does, and GPS drift while
    // parked adds no distance.
    if (point.state == StandingState)
        return;
    if (startsRide(point)) {
        m_rides.append({point.arrival, point.arrival, 0, 1, point.timed});
    } else {
        Ride& ride = m_rides.last();
        ride.metres += MyUtil::Distance(m_last.lng, m_last.lat, point.lng, point.lat);
        ride.end = point.arrival;
        ++ride.points;
    }
    m_last = point;
}

bool Rides::startsRide(const RideLog::Point& point) const
{
    if (m_rides.isEmpty() || point.timed != m_last.timed)
        return true;
    // Untimed points of one answer make one ride; nothing tells where one ride of theirs ended.
    if (!point.timed)
        return point.arrival != m_last.arrival;
    return m_last.arrival.msecsTo(point.arrival) >= StandingGapMs;
}

QList<Rides::Ride> Rides::of(const QList<RideLog::Point>& points)
{
    Rides rides;
    for (const RideLog::Point& point : points)
        rides.add(point);
    return rides.m_rides;
}
