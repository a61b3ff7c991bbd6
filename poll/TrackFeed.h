#pragma once

#include "poll/PollFeed.h"
#include "protocol/TrackPoint.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

// The tracker's track as it grows: every second it asks the device server for the points
// after the last server id received, reports those that have a position and keeps them in
// the ride log with their time of arrival.
class TrackFeed : public PollFeed
{
    Q_OBJECT

public:
    static constexpr qint64 TimedAnswerGapMs = 60 * 1000;

    // `devid` names the tracker at each request.
    TrackFeed(DeviceServer* server, std::function<QString()> devid, Hold hold = {},
              QObject* parent = nullptr);

    // Takes one answer: every point advances the server id, even one without a position
    // (no fix), which is not reported.
    void receive(const QList<TrackPoint>& points);
    qint64 lastserverid() const { return m_lastserverid; }
    // Where the time of arrival of kept points comes from; the current time without one.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

signals:
    // Every tick, after the request it may have sent.
    void ticked();
    // The points of an answer that have a position, in the answer's order; never empty.
    void pointsArrived(const QList<TrackPoint>& points);

protected:
    void tick() override;

private:
    void keep(const QList<TrackPoint>& placed, const QDateTime& arrival, bool timed);

    std::function<QString()> m_devid;
    std::function<QDateTime()> m_now;
    qint64 m_lastserverid = 0;
    // When the last answer came; points are timed when this one follows it within a minute.
    QDateTime m_lastAnswer;
};
