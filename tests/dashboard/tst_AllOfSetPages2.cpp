#include "DashboardFixture.h"

#include "platform/ui/Button.h"
#include "platform/ui/Switch.h"
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

    void rangeFollowsTheToggleAtOnce();
    void gaugesStepTowardsTheCharge_data();
    void gaugesStepTowardsTheCharge();
    void chargeIsReadAgainOnThe34thTick();
    void switchStoresTheModeAndStopsTheVibration();
    void logoAtTheEndOfTheRingIsWhole();

private:
    AllOfSetPages2* show() { return m_fx->page<AllOfSetPages2>("AllOfSetPages2"); }
    void settle() { m_fx->loop.advance(120 * 30); }

    std::unique_ptr<DashboardFixture> m_fx;
};

void tst_AllOfSetPages2::rangeFollowsTheToggleAtOnce()
{
    // 34.5556 V is a charge of one half; a stored range under 30 km is the 28 km one.
    m_fx->set("power", "34.5556");
    m_fx->set("powerlichengmax", "29.9");
    AllOfSetPages2* page = show();
    QCOMPARE(shown(page, "powerlichengmax"), QString("28"));
    QCOMPARE(m_fx->value("powerlichengmax"), QString("29.9"));
    m_fx->loop.runDue();
    QCOMPARE(shown(page, "powerlicheng"), QString("14.0"));
    child<Button>(page, "button28")->click();
    QCOMPARE(shown(page, "powerlichengmax"), QString("45"));
    QCOMPARE(shown(page, "powerlicheng"), QString("22.5"));
    QCOMPARE(m_fx->value("powerlichengmax"), QString("45"));
    child<Button>(page, "button28")->click();
    QCOMPARE(shown(page, "powerlichengmax"), QString("28"));
    QCOMPARE(shown(page, "powerlicheng"), QString("14.0"));
    QCOMPARE(m_fx->value("powerlichengmax"), QString("28"));
}

void tst_AllOfSetPages2::gaugesStepTowardsTheCharge_data()
{
    QTest::addColumn<QString>("power");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<QString>("range");
    QTest::newRow("33.5 V") << "33.5" << 0.405f << "18.2";
    QTest::newRow("full") << "42" << 1.0f << "45.0";
    QTest::newRow("empty") << "20" << 0.0f << "0.0";
}

void tst_AllOfSetPages2::gaugesStepTowardsTheCharge()
{
    QFETCH(QString, power);
    QFETCH(float, ratio);
    QFETCH(QString, range);
    m_fx->set("power", power);
    // 30 km and more is the 45 km range.
    m_fx->set("powerlichengmax", "30");
    AllOfSetPages2* page = show();
    auto* cylinder = child<PowerCustomView>(page, "PowerCustom1");
    auto* ring = child<PowerYuanHuanCustomView>(page, "PowerHuanyuan");
    QCOMPARE(shown(page, "powerlicheng"), QString());
    // The first tick reads the charge before its step.
    m_fx->loop.runDue();
    QCOMPARE(shown(page, "powerlicheng"), range);
    QCOMPARE(cylinder->getPowerProcess(), qMin(0.01f, ratio));
    settle();
    QCOMPARE(cylinder->getPowerProcess(), ratio);
    // The half ring's teal arc covers the charge: its empty share is the rest.
    QCOMPARE(ring->getYuanHuanProcess() + 1.0f, 2.0f - ratio);
    QCOMPARE(child<RotateLvCustomView>(page, "RotateCV")->getMyProcess(),
             ring->getYuanHuanProcess());
}

void tst_AllOfSetPages2::chargeIsReadAgainOnThe34thTick()
{
    m_fx->set("power", "42");
    AllOfSetPages2* page = show();
    m_fx->loop.runDue();
    m_fx->set("power", "33.5");
    m_fx->loop.advance(32 * 30);
    QCOMPARE(shown(page, "powerlicheng"), QString("28.0"));
    m_fx->loop.advance(30);
    QCOMPARE(shown(page, "powerlicheng"), QString("11.3"));
    // The half ring, empty at full charge, starts to climb.
    QCOMPARE(child<PowerYuanHuanCustomView>(page, "PowerHuanyuan")->getYuanHuanProcess(), 0.01f);
}

void tst_AllOfSetPages2::switchStoresTheModeAndStopsTheVibration()
{
    // Any number but 0 is on; setting the switch from the store stores nothing.
    m_fx->set("powermiandarao", "2");
    m_fx->set("zhendongcishu", "60");
    auto* quiet = child<Switch>(show(), "switchpower");
    QVERIFY(quiet->isOn());
    QCOMPARE(m_fx->value("powermiandarao"), QString("2"));
    quiet->tap();
    QCOMPARE(m_fx->value("powermiandarao"), QString("0"));
    QCOMPARE(m_fx->value("zhendongcishu"), QString("60"));
    quiet->tap();
    QCOMPARE(m_fx->value("powermiandarao"), QString("1"));
    QCOMPARE(m_fx->value("zhendongcishu"), QString("0"));
    QVERIFY(m_fx->log.contains("取消长时间震动"));
}

void tst_AllOfSetPages2::logoAtTheEndOfTheRingIsWhole()
{
    m_fx->set("power", "42");
    AllOfSetPages2* page = show();
    settle();
    // Full: the logo sits on the ring's left end, its centre on the frame's bottom edge.
    const QRect ring = child<QWidget>(page, "RotateCV")->geometry();
    const qreal logo = ring.width() * 0.09375;
    const QImage shot = page->grab().toImage();
    const QPoint below(qRound(ring.left() + logo / 2), qRound(ring.bottom() + logo / 4));
    QVERIFY(shot.pixelColor(below) != Theme::Page);
    const QPoint beside(qRound(ring.left() + logo * 2), qRound(ring.bottom() + logo / 4));
    QCOMPARE(shot.pixelColor(beside), Theme::Page);
}

QTEST_MAIN(tst_AllOfSetPages2)
#include "tst_AllOfSetPages2.moc"
