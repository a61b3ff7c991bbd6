#include "TrackFollower.h"

#include "platform/NumberText.h"
#include "protocol/DeviceServer.h"

bool TrackFollower::tick()
{
    if (m_inFlight)
        return false;
    m_inFlight = true;
    ++m_sent;
    m_server.getGpsInfo(
        m_devid, m_lastServerId,
        [this](const QList<TrackPoint>& points) {
            m_inFlight = false;
            ++m_answers;
            take(points);
        },
        [this](const QString&) {
            m_inFlight = false;
            ++m_failures;
        });
    return true;
}

void TrackFollower::take(const QList<TrackPoint>& points)
{
    for (const TrackPoint& point : points) {
        const qint64 id = NumberText::toLong(point.serverid);
        if (id <= m_lastServerId) {
            ++m_stale;
            continue;
        }
        m_lastServerId = id;
        m_points.append(point);
    }
}
