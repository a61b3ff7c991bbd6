#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class ManualTimerLoop;

// A run-loop timer of the main thread. It is paused and resumed by moving its next fire
// date: to the distant past it ticks at once and then every interval, to the distant
// future it stops ticking; it stays valid until invalidated. While a ManualTimerLoop lives
// (tests), it runs on that loop's virtual time instead of the event loop.
class Timer : public QObject
{
    Q_OBJECT

public:
    enum class FireDate { DistantPast, DistantFuture };

    // Scheduled at once: the first tick comes one interval after creation.
    Timer(double intervalSeconds, bool repeats, std::function<void()> action,
          QObject* parent = nullptr);
    ~Timer() override;

    // Runs `action` once after `delaySeconds`, unless `context` is gone by then.
    static void singleShot(double delaySeconds, QObject* context, std::function<void()> action);

    void setFireDate(FireDate when);
    // Runs the action now; the schedule of a repeating timer is unchanged, a one-shot
    // timer becomes invalid.
    void fire();
    void invalidate();

    bool isValid() const { return m_valid; }
    bool isScheduled() const;
    bool repeats() const { return m_repeats; }
    double timeInterval() const { return m_intervalMs / 1000.0; }

private:
    friend class ManualTimerLoop;
    void arm(qint64 delayMs);
    void disarm();
    void tick();

    qint64 m_intervalMs;
    bool m_repeats;
    bool m_valid = true;
    std::function<void()> m_action;
    QTimer m_timer;
    ManualTimerLoop* m_loop = nullptr;
};
