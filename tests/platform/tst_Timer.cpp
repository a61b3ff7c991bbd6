#include "platform/Clock.h"
#include "platform/ManualTimerLoop.h"
#include "platform/Timer.h"

#include <QTest>

class tst_Timer : public QObject
{
    Q_OBJECT

private slots:
    void repeatsAtItsInterval();
    void resumedFiresAtOnceThenAtInterval();
    void pausedNeverFiresAndStaysValid();
    void fireAndInvalidate();
    void singleShotRunsOnceUnlessItsContextIsGone();
    void ticksInTimeOrderAcrossTimers();
    void actionMayPauseItsOwnTimer();
    void movesTheFakeClockAlong();
    void runsOnTheEventLoopWithoutAManualLoop();
};

void tst_Timer::repeatsAtItsInterval()
{
    ManualTimerLoop loop;
    int ticks = 0;
    Timer timer(0.1, true, [&] { ++ticks; });
    loop.advance(99);
    QCOMPARE(ticks, 0);
    loop.advance(1);
    QCOMPARE(ticks, 1);
    loop.advanceSeconds(3.0);
    QCOMPARE(ticks, 31);
}

void tst_Timer::resumedFiresAtOnceThenAtInterval()
{
    ManualTimerLoop loop;
    int ticks = 0;
    Timer timer(1.0, true, [&] { ++ticks; });
    loop.advance(400);
    timer.setFireDate(Timer::FireDate::DistantPast);
    loop.runDue();
    QCOMPARE(ticks, 1);
    loop.advance(999);
    QCOMPARE(ticks, 1);
    loop.advance(1);
    QCOMPARE(ticks, 2);
}

void tst_Timer::pausedNeverFiresAndStaysValid()
{
    ManualTimerLoop loop;
    int ticks = 0;
    Timer timer(0.03, true, [&] { ++ticks; });
    timer.setFireDate(Timer::FireDate::DistantFuture);
    loop.advanceSeconds(3600);
    QCOMPARE(ticks, 0);
    QVERIFY(timer.isValid());
    QVERIFY(!timer.isScheduled());
    timer.setFireDate(Timer::FireDate::DistantPast);
    loop.advance(30 * 32);
    QCOMPARE(ticks, 33);
}

void tst_Timer::fireAndInvalidate()
{
    ManualTimerLoop loop;
    int ticks = 0;
    Timer repeating(1.0, true, [&] { ++ticks; });
    repeating.fire();
    QCOMPARE(ticks, 1);
    QVERIFY(repeating.isScheduled());
    repeating.invalidate();
    repeating.setFireDate(Timer::FireDate::DistantPast);
    repeating.fire();
    loop.advanceSeconds(10);
    QCOMPARE(ticks, 1);
    QVERIFY(!repeating.isValid());

    int once = 0;
    Timer oneShot(1.0, false, [&] { ++once; });
    loop.advanceSeconds(5);
    QCOMPARE(once, 1);
    QVERIFY(!oneShot.isValid());
}

void tst_Timer::singleShotRunsOnceUnlessItsContextIsGone()
{
    ManualTimerLoop loop;
    QObject context;
    int calls = 0;
    Timer::singleShot(2.0, &context, [&] { ++calls; });
    loop.advance(1999);
    QCOMPARE(calls, 0);
    loop.advance(1);
    QCOMPARE(calls, 1);
    loop.advanceSeconds(10);
    QCOMPARE(calls, 1);

    auto* gone = new QObject;
    Timer::singleShot(1.0, gone, [&] { ++calls; });
    delete gone;
    loop.advanceSeconds(2);
    QCOMPARE(calls, 1);
    QCOMPARE(loop.armedCount(), 0);
}

void tst_Timer::ticksInTimeOrderAcrossTimers()
{
    ManualTimerLoop loop;
    QStringList order;
    Timer slow(1.0, true, [&] { order << "slow"; });
    Timer fast(0.4, true, [&] { order << "fast"; });
    loop.advanceSeconds(2.0);
    QCOMPARE(order, QStringList({"fast", "fast", "slow", "fast", "fast", "slow", "fast"}));
}

void tst_Timer::actionMayPauseItsOwnTimer()
{
    ManualTimerLoop loop;
    int ticks = 0;
    Timer* self = nullptr;
    Timer timer(0.1, true, [&] {
        if (++ticks == 3)
            self->setFireDate(Timer::FireDate::DistantFuture);
    });
    self = &timer;
    loop.advanceSeconds(5);
    QCOMPARE(ticks, 3);
}

void tst_Timer::movesTheFakeClockAlong()
{
    FakeClock clock;
    const QDateTime start = clock.now();
    ManualTimerLoop loop(&clock);
    QList<qint64> seen;
    Timer timer(1.0, true, [&] { seen << start.msecsTo(clock.now()); });
    loop.advance(2500);
    QCOMPARE(seen, QList<qint64>({1000, 2000}));
    QCOMPARE(start.msecsTo(clock.now()), 2500);
}

void tst_Timer::runsOnTheEventLoopWithoutAManualLoop()
{
    QVERIFY(ManualTimerLoop::current() == nullptr);
    int ticks = 0;
    Timer timer(3600.0, true, [&] { ++ticks; });
    QVERIFY(timer.isScheduled());
    timer.setFireDate(Timer::FireDate::DistantPast);
    for (int i = 0; i < 100 && ticks == 0; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(ticks, 1);
    timer.setFireDate(Timer::FireDate::DistantFuture);
    QVERIFY(!timer.isScheduled());
}

QTEST_GUILESS_MAIN(tst_Timer)
#include "tst_Timer.moc"
