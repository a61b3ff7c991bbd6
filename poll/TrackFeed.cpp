#include "poll/TrackFeed.h"

#include "platform/NumberText.h"
#include "poll/MyUtil.h"

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
    QList<TrackPoint> placed;
    for (const TrackPoint& point : points) {
        m_lastserverid = qMax(m_lastserverid, NumberText::toLong(point.serverid));
        if (!MyUtil::IsMissingPosition(point.lat, point.lng))
            placed.append(point);
    }
    if (!placed.isEmpty())
        emit pointsArrived(placed);
}
