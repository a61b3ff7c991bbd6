#pragma once

#include "protocol/TrackPoint.h"

#include <QList>
#include <QString>

class DeviceServer;

// Follows the device's track the way the one-second track poll does: each tick
// asks for the points after the highest serverid received, with at most one
// request outstanding, and keeps every new point in order of arrival.
class TrackFollower
{
public:
    TrackFollower(DeviceServer& server, const QString& devid) : m_server(server), m_devid(devid) {}
    TrackFollower(const TrackFollower&) = delete;
    TrackFollower& operator=(const TrackFollower&) = delete;

    // Sends a request unless one is still outstanding; returns whether it sent one.
    bool tick();

    bool inFlight() const { return m_inFlight; }
    qint64 lastServerId() const { return m_lastServerId; }
    const QList<TrackPoint>& points() const { return m_points; }
    int requestsSent() const { return m_sent; }
    int answers() const { return m_answers; }
    int failures() const { return m_failures; }
    // Points that came again after a newer one had arrived.
    int stalePoints() const { return m_stale; }

private:
    void take(const QList<TrackPoint>& points);

    DeviceServer& m_server;
    QString m_devid;
    qint64 m_lastServerId = 0;
    bool m_inFlight = false;
    QList<TrackPoint> m_points;
    int m_sent = 0;
    int m_answers = 0;
    int m_failures = 0;
    int m_stale = 0;
};
