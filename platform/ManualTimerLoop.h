#pragma once

#include <QList>
#include <QtGlobal>

class FakeClock;
class Timer;

// Virtual time for timers: while one lives, every Timer that is armed runs on it instead
// of the event loop, and tests move time in steps to see exactly the ticks that fall due.
// With a FakeClock it moves that clock along, so "now" and the ticks agree.
class ManualTimerLoop
{
public:
    explicit ManualTimerLoop(FakeClock* clock = nullptr);
    ~ManualTimerLoop();
    ManualTimerLoop(const ManualTimerLoop&) = delete;
    ManualTimerLoop& operator=(const ManualTimerLoop&) = delete;

    // The innermost live loop, or none when timers run on the event loop.
    static ManualTimerLoop* current();

    // Fires, in time order, every tick due up to now + ms (ticks added by the actions too).
    void advance(qint64 ms);
    void advanceSeconds(double seconds);
    // Fires what is due now (timers resumed with a fire date in the distant past).
    void runDue() { advance(0); }

    qint64 elapsedMs() const { return m_now; }
    int armedCount() const { return int(m_entries.size()); }
    bool isArmed(const Timer* timer) const;

private:
    friend class Timer;
    struct Entry
    {
        Timer* timer;
        qint64 due;
        quint64 order;
    };
    void arm(Timer* timer, qint64 delayMs);
    void disarm(Timer* timer);
    int nextDue(qint64 limit) const;

    QList<Entry> m_entries;
    qint64 m_now = 0;
    quint64 m_order = 0;
    FakeClock* m_clock;
    ManualTimerLoop* m_previous;
};
