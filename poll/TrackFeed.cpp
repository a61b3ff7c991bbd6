#include "poll/TrackFeed.h"

#include "platform/NumberText.h"
#include "poll/MyUtil.h"
#include "store/RideLog.h"

TrackFeed::TrackFeed(DeviceServer* server, std::function<QString()> devid, Hold hold,
                     QObject* parent)
    : PollFeed(server, std::move(hold), parent), m_devid(std::move(devid))
{
}

void TrackFeed::tick()
{
    if (beginRequest())
        server()->getGpsInfo(m_devid(), m_lastserverid, answered(&TrackFeed::receive), failed());
    emit ticked();
}

void TrackFeed::receive(const QList<TrackPoint>& points)
{
    // A point was sent between the answer before and this one: with answers a second apart the
    // arrival is its time; after a pause, an outage or at the first answer it is not.
    const QDateTime arrival = m_now ? m_now() : QDateTime::currentDateTime();
    const bool timed = m_lastAnswer.isValid() && m_lastAnswer.msecsTo(arrival) <= TimedAnswerGapMs;
    m_lastAnswer = arrival;
    QList<TrackPoint> placed;
    for (const TrackPoint& point : points) {
        m_lastserverid = qMax(m_lastserverid, NumberText::toLong(point.serverid));
        if (!MyUtil::IsMissingPosition(point.lat, point.lng))
            placed.append(point);
    }
    if (placed.isEmpty())
        return;
    keep(placed, arrival, timed);
    emit pointsArrived(placed);
}

void TrackFeed::keep(const QList<TrackPoint>& placed, const QDateTime& arrival, bool timed)
{
    QList<RideLog::Point> points;
    points.reserve(placed.size());
    for (const TrackPoint& point : placed)
        points.append({NumberText::toLong(point.serverid), arrival, NumberText::toDouble(point.lat),
                       NumberText::toDouble(point.lng), NumberText::toInt(point.state), timed});
    RideLog::append(m_devid(), points);
}
