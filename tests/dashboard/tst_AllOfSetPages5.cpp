#include "DashboardFixture.h"

#include "platform/net/WebView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Images.h"
#include "screens/dashboard/AllOfSetPages5.h"

#include <QtTest>

// The geofence page: the angle it stores and the radius it shows, children mode and its
// pictures, re-anchoring the fence, and the map page it loads.
class tst_AllOfSetPages5 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fx.reset(); }

    void dialFollowsTheFingerAndReleaseStoresTheAngle();
    void childrenModeResetsTheRadiusAndReanchorsAtTheNextLoad();
    void mapPageAddressAndContent();

private:
    AllOfSetPages5* show() { return m_fx->page<AllOfSetPages5>("AllOfSetPages5"); }
    static QImage picture(QWidget* page) { return child<Button>(page, "childrenbutton")->image(); }

    std::unique_ptr<DashboardFixture> m_fx;
};

void tst_AllOfSetPages5::init()
{
    m_fx = std::make_unique<DashboardFixture>(true);
    m_fx->set("lat", "30.25");
    m_fx->set("lng", "120.5");
    m_fx->set("baselat", "31.0");
    m_fx->set("baselng", "121.0");
}

void tst_AllOfSetPages5::dialFollowsTheFingerAndReleaseStoresTheAngle()
{
    m_fx->set("weilanradio", "60");
    AllOfSetPages5* page = show();
    drag(page, "MyWLCView", State::Began, 0.3);
    QCOMPARE(shown(page, "weilanradio"), QString("380"));
    QCOMPARE(dial(page, "MyWLCView"), 0.3f);
    drag(page, "MyWLCView", State::Changed, 0.05);
    QCOMPARE(shown(page, "weilanradio"), QString("30"));
    QCOMPARE(dial(page, "MyWLCView"), 15.0f / 180);
    drag(page, "MyWLCView", State::Cancelled, 0.6);
    QCOMPARE(shown(page, "weilanradio"), QString("1200"));
    QCOMPARE(m_fx->value("weilanradio"), QString("60"));

    // A release stores the angle, kept within 15 to 165 degrees.
    drag(page, "MyWLCView", State::Ended, -0.2);
    QCOMPARE(m_fx->value("weilanradio"), QString("15.000000"));
    QVERIFY(m_fx->log.contains("保存围栏角度:15.000000"));
    QCOMPARE(shown(page, "weilanradio"), QString("30"));
    drag(page, "MyWLCView", State::Ended, 1.0);
    QCOMPARE(m_fx->value("weilanradio"), QString("165.000000"));
    QCOMPARE(shown(page, "weilanradio"), QString("3000"));
    QCOMPARE(dial(page, "MyWLCView"), 165.0f / 180);
}

void tst_AllOfSetPages5::childrenModeResetsTheRadiusAndReanchorsAtTheNextLoad()
{
    m_fx->set("weilanmode", "1");
    m_fx->set("weilanradio", "170");
    AllOfSetPages5* page = show();
    // A stored angle loads as it is, past the dial's end; loading stores none.
    QCOMPARE(shown(page, "weilanradio"), QString("3000"));
    QCOMPARE(dial(page, "MyWLCView"), 170.0f / 180);
    QCOMPARE(m_fx->value("weilanradio"), QString("170"));
    QCOMPARE(picture(page), Images::named(AllOfSetPages5::ChildrenOnImage));
    // Loading with children mode on moves the fence to the device.
    QCOMPARE(m_fx->value("baselat"), QString("30.25"));
    QCOMPARE(m_fx->value("baselng"), QString("120.5"));

    // Off: the radius goes back to the smallest.
    m_fx->set("baselat", "31.0");
    child<Button>(page, "childrenbutton")->click();
    QCOMPARE(m_fx->value("weilanmode"), QString("0"));
    QCOMPARE(m_fx->value("weilanradio"), QString("15.000000"));
    QCOMPARE(shown(page, "weilanradio"), QString("30"));
    QCOMPARE(dial(page, "MyWLCView"), 15.0f / 180);
    QCOMPARE(picture(page), Images::named(AllOfSetPages5::ChildrenOffImage));
    QVERIFY(child<WebView>(page, "MyWebView")->url().toString().contains("wl=30&"));

    // On again: the fence moves to the device only at the next load.
    child<Button>(page, "childrenbutton")->click();
    QCOMPARE(m_fx->value("weilanmode"), QString("1"));
    QCOMPARE(picture(page), Images::named(AllOfSetPages5::ChildrenOnImage));
    QCOMPARE(m_fx->value("weilanradio"), QString("15.000000"));
    QCOMPARE(m_fx->value("baselat"), QString("31.0"));
    drag(page, "MyWLCView", State::Ended, 0.5);
    QCOMPARE(m_fx->value("baselat"), QString("30.25"));
}

void tst_AllOfSetPages5::mapPageAddressAndContent()
{
    m_fx->set("weilanradio", "60");
    auto* web = child<WebView>(show(), "MyWebView");
    const QString url = web->url().toString();
    QVERIFY(url.startsWith(m_fx->sim->baseUrl().toString() + "/TestMap.php?"));
    QVERIFY(url.endsWith("wl=500&lng=120.500000&lat=30.250000"));
    QVERIFY(!web->bounces());
    QTRY_VERIFY(!web->isLoading());
    QVERIFY(!web->hasFailed());
    QCOMPARE(web->title(), QString("电子围栏 500 m"));
}

QTEST_MAIN(tst_AllOfSetPages5)
#include "tst_AllOfSetPages5.moc"
