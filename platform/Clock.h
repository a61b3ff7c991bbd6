#pragma once

#include <QDateTime>

// The app's one source of "now": the poll throttle, the battery-alarm spacing and
// upload file names read it, so tests move time instead of sleeping.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The wall clock in the local time zone.
class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until it is told to move.
class FakeClock : public Clock
{
public:
    explicit FakeClock(const QDateTime& start = QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)))
        : m_now(start)
    {
    }
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& when) { m_now = when; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};
