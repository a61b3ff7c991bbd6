#include "DashboardFixture.h"

#include "platform/Timer.h"
#include "platform/ui/Theme.h"
#include "screens/dashboard/AllOfSetPages2.h"

#include <QtTest>

// The battery page: the full-charge range toggle, the remaining range, the gauges' steps
// towards the charge, and the do-not-disturb switch.
class tst_AllOfSetPages2 : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fx = std::make_unique<DashboardFixture>(); }
    void cleanup() { m_fx.reset(); }

    void fullRangeLoads_data();
    void fullRangeLoads();
    void rangeFollowsTheToggleAtOnce();
    void firstTickReadsTheChargeBeforeAnyStep();
    void gaugesSettleOnTheCharge_data();
    void gaugesSettleOnTheCharge();
    void laterChargeMovesTheGauges();
    void switchStoresTheModeAndStopsTheVibration();
    void switchLooksAsDesigned();
    void ticksOnlyWhileVisible();
    void logoAtTheEndOfTheRingIsWhole();

private:
    AllOfSetPages2* show() { return m_fx->page<AllOfSetPages2>("AllOfSetPages2"); }
    void settle() { m_fx->loop.advance(120 * 30); }

    std::unique_ptr<DashboardFixture> m_fx;
};

void tst_AllOfSetPages2::fullRangeLoads_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("30") << "30"
                        << "45";
    QTest::newRow("45") << "45"
                        << "45";
    QTest::newRow("29") << "29"
                        << "28";
    QTest::newRow("29.9") << "29.9"
                          << "28";
    QTest::newRow("text") << "many"
                          << "28";
    QTest::newRow("default") << "0"
                             << "28";
}

void tst_AllOfSetPages2::fullRangeLoads()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    m_fx->set("powerlichengmax", stored);
    QCOMPARE(show()->powerlichengmax()->text(), shown);
    QCOMPARE(m_fx->value("powerlichengmax"), stored);
}

void tst_AllOfSetPages2::rangeFollowsTheToggleAtOnce()
{
    // 34.5556 V is a charge of one half.
    m_fx->set("power", "34.5556");
    AllOfSetPages2* page = show();
    m_fx->loop.runDue();
    QCOMPARE(page->powerlicheng()->text(), QString("14.0"));
    page->button28()->click();
    QCOMPARE(page->powerlichengmax()->text(), QString("45"));
    QCOMPARE(page->powerlicheng()->text(), QString("22.5"));
    QCOMPARE(m_fx->value("powerlichengmax"), QString("45"));
    page->process28();
    QCOMPARE(page->powerlichengmax()->text(), QString("28"));
    QCOMPARE(page->powerlicheng()->text(), QString("14.0"));
    QCOMPARE(m_fx->value("powerlichengmax"), QString("28"));
}

void tst_AllOfSetPages2::firstTickReadsTheChargeBeforeAnyStep()
{
    m_fx->set("power", "33.5");
    AllOfSetPages2* page = show();
    QCOMPARE(page->TargetProcess(), 1.0f);
    QCOMPARE(page->PowerCustom1()->getPowerProcess(), 0.0f);
    QCOMPARE(page->powerlicheng()->text(), QString());
    m_fx->loop.runDue();
    QCOMPARE(page->TargetProcess(), 0.405f);
    QCOMPARE(page->PowerCustom1()->getPowerProcess(), 0.01f);
    QCOMPARE(page->PowerHuanyuan()->getYuanHuanProcess(), 0.01f);
    QCOMPARE(page->RotateCV()->getMyProcess(), 0.01f);
    QCOMPARE(page->powerlicheng()->text(), QString("11.3"));
    QCOMPARE(page->updatenum(), 33.0f);
}

void tst_AllOfSetPages2::gaugesSettleOnTheCharge_data()
{
    QTest::addColumn<QString>("power");
    QTest::addColumn<float>("ratio");
    QTest::newRow("full") << "42" << 1.0f;
    QTest::newRow("empty") << "20" << 0.0f;
    QTest::newRow("33.5 V") << "33.5" << 0.405f;
}

void tst_AllOfSetPages2::gaugesSettleOnTheCharge()
{
    QFETCH(QString, power);
    QFETCH(float, ratio);
    m_fx->set("power", power);
    AllOfSetPages2* page = show();
    settle();
    QCOMPARE(page->PowerCustom1()->getPowerProcess(), ratio);
    // The half ring's teal arc covers the charge: its empty share is the rest.
    QCOMPARE(page->PowerHuanyuan()->getYuanHuanProcess() + 1.0f, 2.0f - ratio);
    QCOMPARE(page->RotateCV()->getMyProcess(), page->PowerHuanyuan()->getYuanHuanProcess());
}

void tst_AllOfSetPages2::laterChargeMovesTheGauges()
{
    m_fx->set("power", "42");
    AllOfSetPages2* page = show();
    settle();
    m_fx->set("power", "33.5");
    m_fx->loop.advance(33 * 30);
    // The cylinder drops at once; the half ring climbs 0.01 a tick from empty.
    QCOMPARE(page->PowerCustom1()->getPowerProcess(), 0.405f);
    QVERIFY(page->PowerHuanyuan()->getYuanHuanProcess() > 0.0f);
    QVERIFY(page->PowerHuanyuan()->getYuanHuanProcess() <= 0.34f);
    settle();
    m_fx->set("power", "42");
    m_fx->loop.advance(33 * 30);
    QCOMPARE(page->PowerHuanyuan()->getYuanHuanProcess() + 1.0f, 1.0f);
    QVERIFY(page->PowerCustom1()->getPowerProcess() < 0.75f);
}

void tst_AllOfSetPages2::switchStoresTheModeAndStopsTheVibration()
{
    m_fx->set("zhendongcishu", "60");
    AllOfSetPages2* page = show();
    QVERIFY(!page->switchpower()->isOn());
    page->switchpower()->tap();
    QVERIFY(page->switchpower()->isOn());
    QCOMPARE(m_fx->value("powermiandarao"), QString("1"));
    QCOMPARE(m_fx->value("zhendongcishu"), QString("0"));
    QVERIFY(m_fx->log.lines().indexOf("1") >= 0);
    QVERIFY(m_fx->log.lines().indexOf("取消长时间震动") > m_fx->log.lines().indexOf("1"));

    m_fx->set("zhendongcishu", "59");
    page->switchpower()->tap();
    QCOMPARE(m_fx->value("powermiandarao"), QString("0"));
    QCOMPARE(m_fx->value("zhendongcishu"), QString("59"));
    QCOMPARE(m_fx->log.count("0"), 1);
    QCOMPARE(m_fx->log.count("取消长时间震动"), 1);
}

void tst_AllOfSetPages2::switchLooksAsDesigned()
{
    m_fx->set("powermiandarao", "2");
    AllOfSetPages2* page = show();
    Switch* quiet = page->switchpower();
    QVERIFY(quiet->isOn());
    QCOMPARE(quiet->scale(), 1.25);
    QCOMPARE(quiet->trackRect().size(), QSizeF(51 * 1.25, 31 * 1.25));
    // Setting it from the store is no change by the rider: nothing was stored.
    QCOMPARE(m_fx->value("powermiandarao"), QString("2"));
}

void tst_AllOfSetPages2::ticksOnlyWhileVisible()
{
    m_fx->set("power", "42");
    AllOfSetPages2* page = show();
    m_fx->loop.advance(4 * 30);
    QCOMPARE(page->PowerCustom1()->getPowerProcess(), 0.05f);
    DashboardFixture::setAppeared(page, false);
    m_fx->loop.advanceSeconds(3);
    QCOMPARE(page->PowerCustom1()->getPowerProcess(), 0.05f);
    DashboardFixture::setAppeared(page, true);
    m_fx->loop.runDue();
    QCOMPARE(page->PowerCustom1()->getPowerProcess(), 0.06f);
}

void tst_AllOfSetPages2::logoAtTheEndOfTheRingIsWhole()
{
    m_fx->set("power", "42");
    AllOfSetPages2* page = show();
    settle();
    QCOMPARE(page->RotateCV()->getMyProcess(), 0.0f);
    // Full: the logo sits on the ring's left end, its centre on the frame's bottom edge.
    const QRect ring = page->RotateCV()->geometry();
    const qreal logo = ring.width() * 0.09375;
    const QImage shot = page->grab().toImage();
    const QPoint below(qRound(ring.left() + logo / 2), qRound(ring.bottom() + logo / 4));
    QVERIFY(shot.pixelColor(below) != Theme::Page);
    const QPoint beside(qRound(ring.left() + logo * 2), qRound(ring.bottom() + logo / 4));
    QCOMPARE(shot.pixelColor(beside), Theme::Page);
}

QTEST_MAIN(tst_AllOfSetPages2)
#include "tst_AllOfSetPages2.moc"
