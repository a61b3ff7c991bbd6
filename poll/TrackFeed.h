#pragma once

#include "poll/PollFeed.h"
#include "protocol/TrackPoint.h"

#include <QList>
#include <QString>
#include <functional>

// The tracker's track as it grows: every second it asks the device server for the points
// after the last server id received and reports those that have a position.
class TrackFeed : public PollFeed
{
    Q_OBJECT

public:
    // `devid` names the tracker at each request.
    TrackFeed(DeviceServer* server, std::function<QString()> devid, Hold hold = {},
              QObject* parent = nullptr);

    // Takes one answer: every point advances the server id, even one without a position
    // (no fix), which is not reported.
    void receive(const QList<TrackPoint>& points);
    qint64 lastserverid() const { return m_lastserverid; }

signals:
    // Every tick, after the request it may have sent.
    void ticked();
    // The points of an answer that have a position, in the answer's order; never empty.
    void pointsArrived(const QList<TrackPoint>& points);

protected:
    void tick() override;

private:
    std::function<QString()> m_devid;
    qint64 m_lastserverid = 0;
};
