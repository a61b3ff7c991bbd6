#include "platform/ManualTimerLoop.h"

#include "platform/Clock.h"
#include "platform/Timer.h"

#include <cmath>

namespace {

ManualTimerLoop*& innermost()
{
    static ManualTimerLoop* loop = nullptr;
    return loop;
}

} // namespace

ManualTimerLoop::ManualTimerLoop(FakeClock* clock) : m_clock(clock), m_previous(innermost())
{
    innermost() = this;
}

ManualTimerLoop::~ManualTimerLoop()
{
    for (const Entry& e : m_entries)
        e.timer->m_loop = nullptr;
    if (innermost() == this)
        innermost() = m_previous;
}

ManualTimerLoop* ManualTimerLoop::current()
{
    return innermost();
}

void ManualTimerLoop::arm(Timer* timer, qint64 delayMs)
{
    m_entries.append(Entry{timer, m_now + delayMs, m_order++});
}

void ManualTimerLoop::disarm(Timer* timer)
{
    m_entries.removeIf([timer](const Entry& e) { return e.timer == timer; });
}

bool ManualTimerLoop::isArmed(const Timer* timer) const
{
    for (const Entry& e : m_entries) {
        if (e.timer == timer)
            return true;
    }
    return false;
}

int ManualTimerLoop::nextDue(qint64 limit) const
{
    int best = -1;
    for (int i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        if (e.due > limit)
            continue;
        if (best < 0 || e.due < m_entries[best].due ||
            (e.due == m_entries[best].due && e.order < m_entries[best].order))
            best = i;
    }
    return best;
}

void ManualTimerLoop::advance(qint64 ms)
{
    const qint64 target = m_now + qMax<qint64>(0, ms);
    for (int i = nextDue(target); i >= 0; i = nextDue(target)) {
        const Entry entry = m_entries.takeAt(i);
        if (m_clock && entry.due > m_now)
            m_clock->advanceMs(entry.due - m_now);
        m_now = qMax(m_now, entry.due);
        entry.timer->m_loop = nullptr;
        entry.timer->tick();
    }
    if (m_clock && target > m_now)
        m_clock->advanceMs(target - m_now);
    m_now = target;
}

void ManualTimerLoop::advanceSeconds(double seconds)
{
    advance(std::llround(seconds * 1000.0));
}
