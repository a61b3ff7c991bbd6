#include "DashboardFixture.h"

#include "platform/net/WebView.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "poll/MyUtil.h"
#include "screens/dashboard/AllOfSetPages5.h"

#include <QtTest>

using State = PanGestureRecognizer::State;

// The geofence page: the radius bands, the angle it stores, children mode and its images,
// re-anchoring the fence, and the map page it loads.
class tst_AllOfSetPages5 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fx.reset(); }

    void radiusBands_data();
    void radiusBands();
    void releaseAtTheLimitsStoresTheAngle();
    void dragFollowsTheFingerAndCancelStoresNothing();
    void storedAngleLoads_data();
    void storedAngleLoads();
    void childrenModeOffResetsTheRadius();
    void childrenModeOnReanchorsOnlyAtTheNextLoad();
    void loadWithChildrenModeOnMovesTheBase();
    void mapPageAddressAndContent();

private:
    AllOfSetPages5* show() { return m_fx->page<AllOfSetPages5>("AllOfSetPages5"); }
    void drag(AllOfSetPages5* page, State state, double t)
    {
        page->pan()->drive(state, QPointF(t * page->MyWLCView()->width(), 20));
    }

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

void tst_AllOfSetPages5::radiusBands_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<int>("metres");
    QTest::newRow("0") << 0.0f << 30;
    QTest::newRow("15") << 15.0f << 30;
    QTest::newRow("27.5") << 27.5f << 65;
    QTest::newRow("40") << 40.0f << 100;
    QTest::newRow("50") << 50.0f << 300;
    QTest::newRow("60") << 60.0f << 500;
    QTest::newRow("100") << 100.0f << 1000;
    QTest::newRow("100.5") << 100.5f << 1012;
    QTest::newRow("140") << 140.0f << 2000;
    QTest::newRow("152.5") << 152.5f << 2500;
    QTest::newRow("165") << 165.0f << 3000;
    QTest::newRow("170") << 170.0f << 3000;
}

void tst_AllOfSetPages5::radiusBands()
{
    QFETCH(float, angle);
    QFETCH(int, metres);
    QCOMPARE(MyUtil::BanJingOfAngle(angle), metres);
    // The status poll reads the stored angle with the same rule.
    m_fx->set("weilanradio", QString::asprintf("%f", double(angle)));
    QCOMPARE(MyUtil::GetBanJing(), metres);
}

void tst_AllOfSetPages5::releaseAtTheLimitsStoresTheAngle()
{
    AllOfSetPages5* page = show();
    drag(page, State::Began, 0.5);
    drag(page, State::Ended, -0.2);
    QCOMPARE(m_fx->value("weilanradio"), QString("15.000000"));
    QCOMPARE(page->weilanradio()->text(), QString("30"));
    QVERIFY(m_fx->log.contains("保存围栏角度:15.000000"));
    QVERIFY(m_fx->log.contains("加载围栏角度:15.000000"));

    drag(page, State::Ended, 1.0);
    QCOMPARE(m_fx->value("weilanradio"), QString("165.000000"));
    QCOMPARE(page->weilanradio()->text(), QString("3000"));
    QCOMPARE(page->MyWLCView()->getYuanHuanProcess(), 165.0f / 180);

    drag(page, State::Ended, 0.5);
    QCOMPARE(m_fx->value("weilanradio"), QString("90.000000"));
    QCOMPARE(page->weilanradio()->text(), QString("875"));
}

void tst_AllOfSetPages5::dragFollowsTheFingerAndCancelStoresNothing()
{
    m_fx->set("weilanradio", "60");
    AllOfSetPages5* page = show();
    drag(page, State::Began, 0.3);
    QCOMPARE(page->weilanradio()->text(), QString("380"));
    QCOMPARE(page->MyWLCView()->getYuanHuanProcess(), 0.3f);
    drag(page, State::Changed, 0.05);
    QCOMPARE(page->weilanradio()->text(), QString("30"));
    QCOMPARE(page->MyWLCView()->getYuanHuanProcess(), 15.0f / 180);
    drag(page, State::Cancelled, 0.6);
    QCOMPARE(page->weilanradio()->text(), QString("1200"));
    QCOMPARE(m_fx->value("weilanradio"), QString("60"));
    QVERIFY(m_fx->log.matching("保存围栏角度:").isEmpty());
}

void tst_AllOfSetPages5::storedAngleLoads_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<float>("position");
    QTest::newRow("0") << "0"
                       << "30" << 0.0f;
    QTest::newRow("170") << "170"
                         << "3000" << 170.0f / 180;
    QTest::newRow("text") << "far"
                          << "30" << 0.0f;
    QTest::newRow("97.300003") << "97.300003"
                               << "966" << 97.300003f / 180;
}

void tst_AllOfSetPages5::storedAngleLoads()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(float, position);
    m_fx->set("weilanradio", stored);
    AllOfSetPages5* page = show();
    QCOMPARE(page->weilanradio()->text(), shown);
    QCOMPARE(page->MyWLCView()->getYuanHuanProcess() + 1.0f, position + 1.0f);
    QCOMPARE(m_fx->log.matching("加载围栏角度:"), QStringList({"加载围栏角度:" + stored}));
    // Loading stores nothing.
    QCOMPARE(m_fx->value("weilanradio"), stored);
}

void tst_AllOfSetPages5::childrenModeOffResetsTheRadius()
{
    m_fx->set("weilanmode", "1");
    m_fx->set("weilanradio", "140.000000");
    AllOfSetPages5* page = show();
    QCOMPARE(page->weilanradio()->text(), QString("2000"));
    QCOMPARE(page->childrenImageName(), QString("childern.png"));
    page->childrenbutton()->click();
    QCOMPARE(m_fx->value("weilanmode"), QString("0"));
    QCOMPARE(m_fx->value("weilanradio"), QString("15.000000"));
    QCOMPARE(page->weilanradio()->text(), QString("30"));
    QCOMPARE(page->MyWLCView()->getYuanHuanProcess(), 15.0f / 180);
    QCOMPARE(page->childrenImageName(), QString("childernp.png"));
    QVERIFY(m_fx->log.contains("保存围栏角度:15.000000"));
    QCOMPARE(m_fx->log.lines().mid(m_fx->log.lines().size() - 2),
             QStringList({"sweilanmode:0", "imagename:childernp.png"}));
    QVERIFY(page->MyWebView()->url().toString().contains("wl=30&"));
}

void tst_AllOfSetPages5::childrenModeOnReanchorsOnlyAtTheNextLoad()
{
    m_fx->set("weilanradio", "60");
    AllOfSetPages5* page = show();
    QCOMPARE(page->childrenImageName(), QString("childernp.png"));
    page->processchildren();
    QCOMPARE(m_fx->value("weilanmode"), QString("1"));
    QCOMPARE(page->childrenImageName(), QString("childern.png"));
    QCOMPARE(page->weilanradio()->text(), QString("500"));
    QCOMPARE(m_fx->value("weilanradio"), QString("60"));
    QCOMPARE(m_fx->value("baselat"), QString("31.0"));
    QCOMPARE(m_fx->value("baselng"), QString("121.0"));

    // The next finished drag reloads the page, which moves the fence to the device.
    drag(page, State::Ended, 0.5);
    QCOMPARE(m_fx->value("baselat"), QString("30.25"));
    QCOMPARE(m_fx->value("baselng"), QString("120.5"));
    QVERIFY(m_fx->log.contains("sweilanmode:1"));
    QVERIFY(m_fx->log.contains("imagename:childern.png"));
}

void tst_AllOfSetPages5::loadWithChildrenModeOnMovesTheBase()
{
    m_fx->set("weilanmode", "1");
    AllOfSetPages5* page = show();
    QCOMPARE(page->childrenImageName(), QString("childern.png"));
    QCOMPARE(m_fx->value("baselat"), QString("30.25"));
    QCOMPARE(m_fx->value("baselng"), QString("120.5"));
}

void tst_AllOfSetPages5::mapPageAddressAndContent()
{
    m_fx->set("weilanradio", "60");
    AllOfSetPages5* page = show();
    WebView* web = page->MyWebView();
    const QString url = web->url().toString();
    QVERIFY(url.startsWith(m_fx->sim->baseUrl().toString() + "/TestMap.php?"));
    QVERIFY(url.endsWith("wl=500&lng=120.500000&lat=30.250000"));
    QVERIFY(!web->bounces());
    QTRY_VERIFY(!web->isLoading());
    QVERIFY(!web->hasFailed());
    QCOMPARE(web->title(), QString("电子围栏 500 m"));
    QCOMPARE(web->pictureCount(), 1);
    QCOMPARE(m_fx->sim->requestsTo("/TestMap.php").last().query,
             QByteArray("wl=500&lng=120.500000&lat=30.250000"));
}

QTEST_MAIN(tst_AllOfSetPages5)
#include "tst_AllOfSetPages5.moc"
