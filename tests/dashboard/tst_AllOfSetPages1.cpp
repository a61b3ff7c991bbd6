#include "DashboardFixture.h"

#include "screens/dashboard/AllOfSetPages1.h"

#include <QtTest>

// The mileage page: ring and bar targets from the store, the animation steps towards them,
// and the re-read of the store every 33 ticks.
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
    void gaugesStepTowardsTheStoreReadEvery33Ticks();

private:
    std::unique_ptr<DashboardFixture> m_fx;
};

void tst_AllOfSetPages1::ringTarget_data()
{
    QTest::addColumn<QString>("thisWeek");
    QTest::addColumn<double>("lastWeek");
    QTest::addColumn<float>("target");
    QTest::newRow("nothing last week") << "40" << 0.0 << 1.0f;
    QTest::newRow("last week negative") << "40" << -3.0 << 1.0f;
    QTest::newRow("more than last week") << "90" << 60.0 << 1.0f;
    QTest::newRow("negative this week") << "-5" << 60.0 << 0.0f;
    QTest::newRow("leading number") << " 15km" << 60.0 << 0.25f;
}

void tst_AllOfSetPages1::ringTarget()
{
    QFETCH(QString, thisWeek);
    QFETCH(double, lastWeek);
    QFETCH(float, target);
    m_fx->set("benzhoulicheng", thisWeek);
    m_fx->set("shangzhoulicheng", QString::number(lastWeek));
    QCOMPARE(AllOfSetPages1::GetYuanHuanProcess(), target);
}

void tst_AllOfSetPages1::barTarget_data()
{
    QTest::addColumn<QString>("mileage");
    QTest::addColumn<float>("target");
    QTest::newRow("10 km") << "10" << 0.69f;
    QTest::newRow("100 km") << "100" << 1.0f;
    QTest::newRow("negative") << "-4" << 0.0f;
}

void tst_AllOfSetPages1::barTarget()
{
    QFETCH(QString, mileage);
    QFETCH(float, target);
    QCOMPARE(AllOfSetPages1::GetDiTanValue(mileage), target);
}

void tst_AllOfSetPages1::gaugesStepTowardsTheStoreReadEvery33Ticks()
{
    m_fx->set("benzhoulicheng", "30");
    m_fx->set("shangzhoulicheng", "60");
    m_fx->set("day7licheng", "10");
    m_fx->set("todaylicheng", "3.250");
    auto* page = m_fx->page<AllOfSetPages1>("AllOfSetPages1");
    auto* ring = child<YuanHuanCustomView>(page, "MyYuanHuan");
    auto* today = child<DiTanCustomView>(page, "week7");
    QCOMPARE(shown(page, "totaylichengs"), QString());
    // The first tick comes at once and reads the store.
    m_fx->loop.runDue();
    QCOMPARE(shown(page, "totaylichengs"), QString("3.250"));
    QCOMPARE(ring->getYuanHuanProcess(), 0.01f);
    QCOMPARE(today->getDiTanProcess(), 0.01f);
    QCOMPARE(child<DiTanCustomView>(page, "week1")->getDiTanProcess(), 0.0f);

    m_fx->set("benzhoulicheng", "6");
    m_fx->set("day7licheng", "0");
    m_fx->set("todaylicheng", "abc");
    m_fx->loop.advance(32 * 30);
    QCOMPARE(shown(page, "totaylichengs"), QString("3.250"));
    QCOMPARE(ring->getYuanHuanProcess(), 0.33f);
    // The 34th tick reads again: a lower target drops the gauges at once, and they stay.
    m_fx->loop.advance(30);
    QCOMPARE(shown(page, "totaylichengs"), QString("abc"));
    QCOMPARE(ring->getYuanHuanProcess(), 0.1f);
    QCOMPARE(today->getDiTanProcess(), 0.0f);
    m_fx->loop.advance(100 * 30);
    QCOMPARE(ring->getYuanHuanProcess(), 0.1f);
}

QTEST_MAIN(tst_AllOfSetPages1)
#include "tst_AllOfSetPages1.moc"
