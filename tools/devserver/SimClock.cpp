#include "tools/devserver/SimClock.h"

SimClock::SimClock(const QDateTime& start, double speed) : m_start(start), m_speed(speed)
{
    m_real.start();
}

QDateTime SimClock::now() const
{
    const qint64 scaled = m_speed > 0 ? qint64(double(m_real.elapsed()) * m_speed) : 0;
    return m_start.addMSecs(scaled + m_advancedMs);
}
