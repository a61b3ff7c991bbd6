#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// The simulated world's time: a start, plus real time scaled by the speed, plus
// whatever has been advanced by hand.
class SimClock
{
public:
    SimClock(const QDateTime& start, double speed);

    QDateTime now() const;
    void advance(qint64 seconds) { m_advancedMs += seconds * 1000; }
    double speed() const { return m_speed; }

private:
    QDateTime m_start;
    double m_speed;
    qint64 m_advancedMs = 0;
    QElapsedTimer m_real;
};
