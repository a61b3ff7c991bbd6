#include "DashboardFixture.h"

#include "platform/Timer.h"
#include "screens/dashboard/AllOfSetPages1.h"

#include <QtTest>

// The mileage page: ring and bar targets from the store, the animation steps, the re-read
// every 33 ticks and today's mileage as stored.
class tst_AllOfSetPages1 : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fx = std::make_unique<DashboardFixture>(); }
    void cleanup() { m_fx.reset(); }

    void ringTarget_data();
    void ringTarget();
    void barTarget_data();
    void barTarget();
    void firstTickReadsTheTargetsThenEvery33();
    void gaugesRiseByStepsAndDropAtOnce();
    void todaysMileageShowsAsStored();
    void ticksOnlyWhileVisible();

private:
    AllOfSetPages1* show() { return m_fx->page<AllOfSetPages1>("AllOfSetPages1"); }

    std::unique_ptr<DashboardFixture> m_fx;
};

void tst_AllOfSetPages1::ringTarget_data()
{
    QTest::addColumn<QString>("thisWeek");
    QTest::addColumn<QString>("lastWeek");
    QTest::addColumn<float>("target");
    QTest::newRow("last week 0, this week 0") << "0"
                                              << "0" << 1.0f;
    QTest::newRow("last week 0, this week 40") << "40"
                                               << "0" << 1.0f;
    QTest::newRow("last week negative") << "40"
                                        << "-3" << 1.0f;
    QTest::newRow("half") << "30"
                          << "60" << 0.5f;
    QTest::newRow("more than last week") << "90"
                                         << "60" << 1.0f;
    QTest::newRow("negative this week") << "-5"
                                        << "60" << 0.0f;
    QTest::newRow("text that is no number") << "abc"
                                            << "60" << 0.0f;
    QTest::newRow("leading number") << " 15km"
                                    << "60.0" << 0.25f;
}

void tst_AllOfSetPages1::ringTarget()
{
    QFETCH(QString, thisWeek);
    QFETCH(QString, lastWeek);
    QFETCH(float, target);
    m_fx->set("benzhoulicheng", thisWeek);
    m_fx->set("shangzhoulicheng", lastWeek);
    QCOMPARE(AllOfSetPages1::GetYuanHuanProcess(), target);
}

void tst_AllOfSetPages1::barTarget_data()
{
    QTest::addColumn<QString>("mileage");
    QTest::addColumn<float>("target");
    QTest::addColumn<QString>("label");
    QTest::newRow("10 km") << "10" << 0.69f << "2.1";
    QTest::newRow("nothing") << "0" << 0.0f << "0.0";
    QTest::newRow("14.5 km") << "14.5" << 1.0f << "3.0";
    QTest::newRow("100 km") << "100" << 1.0f << "3.0";
    QTest::newRow("negative") << "-4" << 0.0f << "0.0";
    QTest::newRow("text") << "km" << 0.0f << "0.0";
}

void tst_AllOfSetPages1::barTarget()
{
    QFETCH(QString, mileage);
    QFETCH(float, target);
    QFETCH(QString, label);
    const float value = AllOfSetPages1::GetDiTanValue(mileage);
    QCOMPARE(value, target);
    QCOMPARE(DiTanCustomView::labelText(value), label);
}

void tst_AllOfSetPages1::firstTickReadsTheTargetsThenEvery33()
{
    m_fx->set("benzhoulicheng", "30");
    m_fx->set("shangzhoulicheng", "60");
    m_fx->set("day3licheng", "10");
    AllOfSetPages1* page = show();
    QCOMPARE(page->TargetYuanHuanProcess(), 0.0f);
    QCOMPARE(page->updatenum(), 0.0f);
    QCOMPARE(page->timer()->timeInterval(), 0.03);

    m_fx->loop.runDue();
    QCOMPARE(page->TargetYuanHuanProcess(), 0.5f);
    QCOMPARE(page->Targetweek(3), 0.69f);
    QCOMPARE(page->Targetweek(1), 0.0f);
    QCOMPARE(page->updatenum(), 33.0f);

    m_fx->set("benzhoulicheng", "60");
    m_fx->loop.advance(32 * 30);
    QCOMPARE(page->updatenum(), 1.0f);
    QCOMPARE(page->TargetYuanHuanProcess(), 0.5f);
    m_fx->loop.advance(30);
    QCOMPARE(page->TargetYuanHuanProcess(), 1.0f);
    QCOMPARE(page->updatenum(), 33.0f);
}

void tst_AllOfSetPages1::gaugesRiseByStepsAndDropAtOnce()
{
    m_fx->set("benzhoulicheng", "30");
    m_fx->set("shangzhoulicheng", "60");
    m_fx->set("day7licheng", "10");
    AllOfSetPages1* page = show();
    m_fx->loop.runDue();
    QCOMPARE(page->MyYuanHuan()->getYuanHuanProcess(), 0.01f);
    QCOMPARE(page->week(7)->getDiTanProcess(), 0.01f);
    m_fx->loop.advance(9 * 30);
    QCOMPARE(page->MyYuanHuan()->getYuanHuanProcess(), 0.1f);
    // 100 ticks from empty are enough for any target; the gauges then stay on it.
    m_fx->loop.advance(100 * 30);
    QCOMPARE(page->MyYuanHuan()->getYuanHuanProcess(), 0.5f);
    QCOMPARE(page->week(7)->getDiTanProcess(), 0.69f);
    QCOMPARE(page->week(1)->getDiTanProcess(), 0.0f);

    // A lower value drops the gauge in the one tick of the next re-read.
    m_fx->set("benzhoulicheng", "6");
    m_fx->set("day7licheng", "0");
    const float before = page->MyYuanHuan()->getYuanHuanProcess();
    int ticks = 0;
    while (page->MyYuanHuan()->getYuanHuanProcess() == before && ticks < 40) {
        m_fx->loop.advance(30);
        ++ticks;
    }
    QVERIFY(ticks <= 33);
    QCOMPARE(page->MyYuanHuan()->getYuanHuanProcess(), 0.1f);
    QCOMPARE(page->week(7)->getDiTanProcess(), 0.0f);
}

void tst_AllOfSetPages1::todaysMileageShowsAsStored()
{
    m_fx->set("todaylicheng", "3.250");
    AllOfSetPages1* page = show();
    QCOMPARE(page->totaylichengs()->text(), QString());
    m_fx->loop.runDue();
    QCOMPARE(page->totaylichengs()->text(), QString("3.250"));
    m_fx->set("todaylicheng", "abc");
    m_fx->loop.advance(33 * 30);
    QCOMPARE(page->totaylichengs()->text(), QString("abc"));
}

void tst_AllOfSetPages1::ticksOnlyWhileVisible()
{
    AllOfSetPages1* page = show();
    m_fx->loop.advance(3 * 30);
    const float shown = page->MyYuanHuan()->getYuanHuanProcess();
    QCOMPARE(shown, 0.04f);
    DashboardFixture::setAppeared(page, false);
    QVERIFY(!page->timer()->isScheduled());
    m_fx->loop.advanceSeconds(10);
    QCOMPARE(page->MyYuanHuan()->getYuanHuanProcess(), shown);
    DashboardFixture::setAppeared(page, true);
    m_fx->loop.runDue();
    QCOMPARE(page->MyYuanHuan()->getYuanHuanProcess(), 0.05f);
    QVERIFY(page->timer()->isValid());
}

QTEST_MAIN(tst_AllOfSetPages1)
#include "tst_AllOfSetPages1.moc"
