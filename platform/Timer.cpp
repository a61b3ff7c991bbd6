#include "platform/Timer.h"

#include "platform/ManualTimerLoop.h"

#include <cmath>

Timer::Timer(double intervalSeconds, bool repeats, std::function<void()> action, QObject* parent)
    : QObject(parent), m_intervalMs(qMax<qint64>(0, std::llround(intervalSeconds * 1000.0))),
      m_repeats(repeats), m_action(std::move(action))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::tick);
    arm(m_intervalMs);
}

Timer::~Timer()
{
    disarm();
}

void Timer::singleShot(double delaySeconds, QObject* context, std::function<void()> action)
{
    auto* timer = new Timer(delaySeconds, false, {}, context);
    timer->m_action = [timer, action = std::move(action)] {
        timer->deleteLater();
        action();
    };
}

void Timer::setFireDate(FireDate when)
{
    if (!m_valid)
        return;
    if (when == FireDate::DistantPast)
        arm(0);
    else
        disarm();
}

void Timer::fire()
{
    if (!m_valid)
        return;
    if (!m_repeats)
        invalidate();
    if (m_action)
        m_action();
}

void Timer::invalidate()
{
    m_valid = false;
    disarm();
}

bool Timer::isScheduled() const
{
    return m_loop ? m_loop->isArmed(this) : m_timer.isActive();
}

void Timer::arm(qint64 delayMs)
{
    disarm();
    if (!m_valid)
        return;
    if (ManualTimerLoop* loop = ManualTimerLoop::current()) {
        m_loop = loop;
        loop->arm(this, delayMs);
    } else {
        m_timer.start(int(qMin<qint64>(delayMs, INT_MAX)));
    }
}

void Timer::disarm()
{
    m_timer.stop();
    if (m_loop) {
        m_loop->disarm(this);
        m_loop = nullptr;
    }
}

void Timer::tick()
{
    // The next tick is armed before the action runs, so an action that pauses or
    // invalidates its own timer has the last word.
    if (m_repeats) {
        arm(m_intervalMs);
    } else {
        m_valid = false;
        disarm();
    }
    if (m_action)
        m_action();
}
