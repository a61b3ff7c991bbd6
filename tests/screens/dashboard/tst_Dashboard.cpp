#include "support/ScreenHarness.h"

#include "platform/Localized.h"
#include "platform/net/WebView.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Switch.h"
#include "platform/ui/Theme.h"
#include "screens/dashboard/AllOfSetPages1.h"
#include "screens/dashboard/AllOfSetPages2.h"
#include "screens/dashboard/AllOfSetPages3.h"
#include "screens/dashboard/AllOfSetPages4.h"
#include "screens/dashboard/AllOfSetPages5.h"
#include "screens/dashboard/SpeedLimit.h"
#include "views/DiTanCustomView.h"
#include "views/HalfDialView.h"
#include "views/PowerCustomView.h"
#include "views/PowerYuanHuanCustomView.h"
#include "views/RotateLvCustomView.h"
#include "views/YuanHuanCustomView.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>

using State = PanGestureRecognizer::State;
using Outcome = SpeedLimit::Outcome;

namespace {

const char* const Speed = "/TolvarUpdateSpeed.php";

// The rider's finger on the dial named `dial`, at t of its width (0 its left edge, 1 its right).
void drag(QWidget* page, const char* dial, State state, double t)
{
    const int width = child<QWidget>(page, dial)->width();
    child<PanGestureRecognizer>(page, "pan")->drive(state, QPointF(t * width, 40));
}

// Where the dial named `name` points, 0 to 1 along it.
float dial(QWidget* page, const char* name)
{
    return child<HalfDialView>(page, name)->getYuanHuanProcess();
}

SpeedLimit& limit(SpeedLimit::Kind kind = SpeedLimit::Kind::MaxSpeed)
{
    return SpeedLimit::of(kind);
}

} // namespace

// The dashboard section and its five pages: the mileage and battery gauges, the two speed
// limits with their uploads and roll-backs, the geofence, and the section's pager, tabs and
// refresh.
class tst_Dashboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { h.reset(); }

    void ringTarget_data() { H::table("dashboard", "ring"); }
    void ringTarget();
    void barTarget_data() { H::table("dashboard", "bar"); }
    void barTarget();
    void mileageGaugesStepTowardsTheStoreReadEvery33Ticks();
    void batteryControlsStoreAtOnce();
    void chargeGaugesStepTowardsTheCharge_data() { H::table("dashboard", "charge"); }
    void chargeGaugesStepTowardsTheCharge();
    void fullBatteryShowsTheLogoWholeAndReadsTheChargeEvery33Ticks();
    void fenceDialFollowsTheFingerAndReleaseStoresTheAngle();
    void childrenModeResetsTheRadiusAndReanchorsAtTheNextLoad();

    void speedLimitConfirmsOnlyWhatTheNewestUploadDecides();
    void maxSpeedSnaps_data() { H::table("dashboard", "max speed snaps"); }
    void maxSpeedSnaps();
    void storedMaxSpeedLoads_data() { H::table("dashboard", "stored max speed"); }
    void storedMaxSpeedLoads();
    void lightSpeedAlongTheDial_data() { H::table("dashboard", "light speed"); }
    void lightSpeedAlongTheDial();
    void releaseStoresAndSendsBothLimits();
    void speedFailureRestoresTheAcceptedValue();
    void lightSpeedFailureLeavesTheMaximumSpeed();
    void quickSecondDragThatFailsFallsBackToTheFirst();

    void pagerSwipesAndDotsGoThroughTheFivePages();
    void onlyTheVisiblePageTicksAndTabsLeaveTheSection();
    void refreshRunsAtOnceThenEvery30SecondsWhileOnScreen();

private:
    Screen* section()
    {
        m_set = h->storyboard->start("ViewControllerSet");
        return m_set;
    }
    PageViewController* pager() const
    {
        return child<PageViewController>(m_set, "pageViewController");
    }
    PageControl* dots() const { return child<PageControl>(m_set, "pageControl"); }
    Screen* page(int number) const
    {
        return child<Screen>(m_set, qPrintable(QStringLiteral("AllOfSetPages%1").arg(number)));
    }
    void tapDot(int dot, int offset) { dots()->tapAt(dots()->dotCentre(dot).x() + offset); }
    int refreshesSent() const
    {
        return int(h->log
                       .matching("urlString = " + h->sim.baseUrl().toString() +
                                 "/TolvarGetEveryThingTimerIOS.php")
                       .size());
    }

    std::optional<H> h;
    QPointer<Screen> m_set;
};

void tst_Dashboard::init()
{
    limit(SpeedLimit::Kind::MaxSpeed).reset();
    limit(SpeedLimit::Kind::LightSpeed).reset();
    h.emplace();
    H::set("maxspeed", "20");
    H::set("lightspeed", "12");
}

void tst_Dashboard::ringTarget()
{
    H::set("benzhoulicheng", H::value("thisWeek"));
    H::set("shangzhoulicheng", H::value("lastWeek"));
    QCOMPARE(AllOfSetPages1::GetYuanHuanProcess(), float(H::cell("target").toDouble()));
}

void tst_Dashboard::barTarget()
{
    QCOMPARE(AllOfSetPages1::GetDiTanValue(H::value("mileage")),
             float(H::cell("target").toDouble()));
}

void tst_Dashboard::mileageGaugesStepTowardsTheStoreReadEvery33Ticks()
{
    H::set("benzhoulicheng", "30");
    H::set("shangzhoulicheng", "60");
    H::set("day7licheng", "10");
    H::set("todaylicheng", "3.250");
    auto* page = h->page<AllOfSetPages1>();
    auto* ring = child<YuanHuanCustomView>(page, "MyYuanHuan");
    auto* today = child<DiTanCustomView>(page, "week7");
    QCOMPARE(H::text(page, "totaylichengs"), QString());
    // The first tick comes at once and reads the store.
    h->loop.runDue();
    QCOMPARE(H::text(page, "totaylichengs"), QString("3.250"));
    QCOMPARE(ring->getYuanHuanProcess(), 0.01f);
    QCOMPARE(today->getDiTanProcess(), 0.01f);
    QCOMPARE(child<DiTanCustomView>(page, "week1")->getDiTanProcess(), 0.0f);

    H::set("benzhoulicheng", "6");
    H::set("day7licheng", "0");
    H::set("todaylicheng", "abc");
    h->loop.advance(32 * 30);
    QCOMPARE(H::text(page, "totaylichengs"), QString("3.250"));
    QCOMPARE(ring->getYuanHuanProcess(), 0.33f);
    // The 34th tick reads again: a lower target drops the gauges at once, and they stay.
    h->loop.advance(30);
    QCOMPARE(H::text(page, "totaylichengs"), QString("abc"));
    QCOMPARE(ring->getYuanHuanProcess(), 0.1f);
    QCOMPARE(today->getDiTanProcess(), 0.0f);
    h->loop.advance(100 * 30);
    QCOMPARE(ring->getYuanHuanProcess(), 0.1f);
}

void tst_Dashboard::batteryControlsStoreAtOnce()
{
    // 34.5556 V is a charge of one half; a stored range under 30 km is the 28 km one.
    H::set("power", "34.5556");
    H::set("powerlichengmax", "29.9");
    // Any number but 0 is on; setting the switch from the store stores nothing.
    H::set("powermiandarao", "2");
    H::set("zhendongcishu", "60");
    auto* page = h->page<AllOfSetPages2>();
    QCOMPARE(H::text(page, "powerlichengmax"), QString("28"));
    QCOMPARE(H::setting("powerlichengmax"), QString("29.9"));
    h->loop.runDue();
    QCOMPARE(H::text(page, "powerlicheng"), QString("14.0"));
    for (const char* range : {"45", "28"}) {
        H::tap(page, "button28");
        QCOMPARE(H::text(page, "powerlichengmax"), QString(range));
        QCOMPARE(H::setting("powerlichengmax"), QString(range));
    }
    QCOMPARE(H::text(page, "powerlicheng"), QString("14.0"));
    H::tap(page, "button28");
    QCOMPARE(H::text(page, "powerlicheng"), QString("22.5"));

    // The do-not-disturb switch; turning it on stops the vibration.
    auto* quiet = child<Switch>(page, "switchpower");
    QVERIFY(quiet->isOn());
    QCOMPARE(H::setting("powermiandarao"), QString("2"));
    quiet->tap();
    QCOMPARE(H::settings({"powermiandarao", "zhendongcishu"}), (QStringList{"0", "60"}));
    quiet->tap();
    QCOMPARE(H::settings({"powermiandarao", "zhendongcishu"}), (QStringList{"1", "0"}));
}

void tst_Dashboard::chargeGaugesStepTowardsTheCharge()
{
    const float ratio = H::cell("ratio").toDouble();
    H::set("power", H::value("power"));
    // 30 km and more is the 45 km range.
    H::set("powerlichengmax", "30");
    auto* page = h->page<AllOfSetPages2>();
    auto* cylinder = child<PowerCustomView>(page, "PowerCustom1");
    auto* ring = child<PowerYuanHuanCustomView>(page, "PowerHuanyuan");
    QCOMPARE(H::text(page, "powerlicheng"), QString());
    // The first tick reads the charge before its step.
    h->loop.runDue();
    QCOMPARE(H::text(page, "powerlicheng"), H::value("range"));
    QCOMPARE(cylinder->getPowerProcess(), qMin(0.01f, ratio));
    h->loop.advance(120 * 30);
    QCOMPARE(cylinder->getPowerProcess(), ratio);
    // The half ring's teal arc covers the charge: its empty share is the rest.
    QCOMPARE(ring->getYuanHuanProcess() + 1.0f, 2.0f - ratio);
    QCOMPARE(child<RotateLvCustomView>(page, "RotateCV")->getMyProcess(),
             ring->getYuanHuanProcess());
}

void tst_Dashboard::fullBatteryShowsTheLogoWholeAndReadsTheChargeEvery33Ticks()
{
    H::set("power", "42");
    auto* page = h->page<AllOfSetPages2>();
    h->loop.advance(120 * 30);
    // Full: the logo sits on the ring's left end, its centre on the frame's bottom edge.
    const QRect ring = child<QWidget>(page, "RotateCV")->geometry();
    const qreal logo = ring.width() * 0.09375;
    const QImage shot = page->grab().toImage();
    const QPoint below(qRound(ring.left() + logo / 2), qRound(ring.bottom() + logo / 4));
    QVERIFY(shot.pixelColor(below) != Theme::Page);
    const QPoint beside(qRound(ring.left() + logo * 2), qRound(ring.bottom() + logo / 4));
    QCOMPARE(shot.pixelColor(beside), Theme::Page);

    // Reads came with ticks 1, 34, ... 100; the 133rd reads the new charge.
    H::set("power", "33.5");
    h->loop.advance(11 * 30);
    QCOMPARE(H::text(page, "powerlicheng"), QString("28.0"));
    h->loop.advance(30);
    QCOMPARE(H::text(page, "powerlicheng"), QString("11.3"));
    // The half ring, empty at full charge, starts to climb.
    QCOMPARE(child<PowerYuanHuanCustomView>(page, "PowerHuanyuan")->getYuanHuanProcess(), 0.01f);
}

void tst_Dashboard::fenceDialFollowsTheFingerAndReleaseStoresTheAngle()
{
    H::set("weilanradio", "60");
    auto* page = h->page<AllOfSetPages5>();
    drag(page, "MyWLCView", State::Began, 0.3);
    QCOMPARE(H::text(page, "weilanradio"), QString("380"));
    QCOMPARE(dial(page, "MyWLCView"), 0.3f);
    drag(page, "MyWLCView", State::Changed, 0.05);
    QCOMPARE(H::text(page, "weilanradio"), QString("30"));
    QCOMPARE(dial(page, "MyWLCView"), 15.0f / 180);
    drag(page, "MyWLCView", State::Cancelled, 0.6);
    QCOMPARE(H::text(page, "weilanradio"), QString("1200"));
    QCOMPARE(H::setting("weilanradio"), QString("60"));

    // A release stores the angle, kept within 15 to 165 degrees.
    drag(page, "MyWLCView", State::Ended, -0.2);
    QCOMPARE(H::setting("weilanradio"), QString("15.000000"));
    QCOMPARE(H::text(page, "weilanradio"), QString("30"));
    drag(page, "MyWLCView", State::Ended, 1.0);
    QCOMPARE(H::setting("weilanradio"), QString("165.000000"));
    QCOMPARE(H::text(page, "weilanradio"), QString("3000"));
    QCOMPARE(dial(page, "MyWLCView"), 165.0f / 180);
}

void tst_Dashboard::childrenModeResetsTheRadiusAndReanchorsAtTheNextLoad()
{
    H::set("lat", "30.25");
    H::set("lng", "120.5");
    H::set("baselat", "31.0");
    H::set("weilanmode", "1");
    H::set("weilanradio", "170");
    auto* page = h->page<AllOfSetPages5>();
    const auto picture = [page] { return child<Button>(page, "childrenbutton")->image(); };
    // A stored angle loads as it is, past the dial's end; loading stores none.
    QCOMPARE(H::text(page, "weilanradio"), QString("3000"));
    QCOMPARE(dial(page, "MyWLCView"), 170.0f / 180);
    QCOMPARE(H::setting("weilanradio"), QString("170"));
    QCOMPARE(picture(), Images::named(AllOfSetPages5::ChildrenOnImage));
    // Loading with children mode on moves the fence to the device.
    QCOMPARE(H::settings({"baselat", "baselng"}), (QStringList{"30.25", "120.5"}));

    // Off: the radius goes back to the smallest.
    H::set("baselat", "31.0");
    H::tap(page, "childrenbutton");
    QCOMPARE(H::settings({"weilanmode", "weilanradio"}), (QStringList{"0", "15.000000"}));
    QCOMPARE(H::text(page, "weilanradio"), QString("30"));
    QCOMPARE(dial(page, "MyWLCView"), 15.0f / 180);
    QCOMPARE(picture(), Images::named(AllOfSetPages5::ChildrenOffImage));
    // The map page shows the fence around the device.
    QCOMPARE(child<WebView>(page, "MyWebView")->url().toString(),
             h->sim.baseUrl().toString() + "/TestMap.php?wl=30&lng=120.500000&lat=30.250000");

    // On again: the fence moves to the device only at the next load.
    H::tap(page, "childrenbutton");
    QCOMPARE(H::settings({"weilanmode", "weilanradio", "baselat"}),
             (QStringList{"1", "15.000000", "31.0"}));
    QCOMPARE(picture(), Images::named(AllOfSetPages5::ChildrenOnImage));
    drag(page, "MyWLCView", State::Ended, 0.5);
    QCOMPARE(H::setting("baselat"), QString("30.25"));
}

void tst_Dashboard::speedLimitConfirmsOnlyWhatTheNewestUploadDecides()
{
    limit().load(20);
    const quint64 first = limit().send(25);
    const quint64 second = limit().send(30);
    QCOMPARE(limit().failed(first), Outcome::Nothing);
    QCOMPARE(limit().accepted(second), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(30));
    // A late acceptance of an older upload does not override a newer one.
    const quint64 third = limit().send(15);
    const quint64 fourth = limit().send(20);
    QCOMPARE(limit().accepted(fourth), Outcome::Nothing);
    QCOMPARE(limit().accepted(third), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(20));

    // A page loaded during an upload reads the value already stored, not yet taken.
    quint64 ticket = limit().send(30);
    limit().load(30);
    QCOMPARE(limit().confirmed(), qint64(20));
    QCOMPARE(limit().failed(ticket), Outcome::RestoreAndAlert);
    QCOMPARE(limit().confirmed(), qint64(20));

    // An answer is taken once.
    limit().load(20);
    ticket = limit().send(30);
    QCOMPARE(limit().accepted(ticket), Outcome::Nothing);
    QCOMPARE(limit().failed(ticket), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(30));
    // Tickets from before a reset cannot pass for new ones.
    limit().reset();
    QCOMPARE(limit().accepted(ticket), Outcome::Nothing);
    QCOMPARE(limit().failed(ticket), Outcome::Nothing);
    QVERIFY(limit().send(15) > ticket);
}

void tst_Dashboard::maxSpeedSnaps()
{
    QCOMPARE(AllOfSetPages3::snap(H::cell("t").toDouble()), H::cell("speed").toInteger());
}

void tst_Dashboard::storedMaxSpeedLoads()
{
    H::set("maxspeed", H::value("stored"));
    auto* page = h->page<AllOfSetPages3>();
    QCOMPARE(dial(page, "MyMaxSpeedCView"), float(H::cell("degrees").toInt()) / 180);
    QCOMPARE(H::text(page, "maxspeedlicheng"), H::value("stored"));
}

void tst_Dashboard::lightSpeedAlongTheDial()
{
    auto* page = h->page<AllOfSetPages4>();
    drag(page, "MyLightCView", State::Began, H::cell("t").toDouble());
    QCOMPARE(H::text(page, "slightspeed"), H::value("speed"));
    QCOMPARE(dial(page, "MyLightCView"), float(H::cell("degrees").toInt()) / 180);
}

void tst_Dashboard::releaseStoresAndSendsBothLimits()
{
    // The dial follows the finger beyond its ends; until a release the label keeps the
    // stored limit and nothing is sent.
    auto* max = h->page<AllOfSetPages3>();
    drag(max, "MyMaxSpeedCView", State::Began, 1.25);
    QCOMPARE(dial(max, "MyMaxSpeedCView"), 1.25f);
    drag(max, "MyMaxSpeedCView", State::Cancelled, -0.5);
    QCOMPARE(dial(max, "MyMaxSpeedCView"), -0.5f);
    QCOMPARE(H::text(max, "maxspeedlicheng"), QString("20"));
    QCOMPARE(H::setting("maxspeed"), QString("20"));
    QCOMPARE(h->sentCount(), 0);

    drag(max, "MyMaxSpeedCView", State::Began, 0.5);
    drag(max, "MyMaxSpeedCView", State::Ended, 0.95);
    QCOMPARE(H::text(max, "maxspeedlicheng"), QString("30"));
    QCOMPARE(dial(max, "MyMaxSpeedCView"), AllOfSetPages3::positionFor(30));
    QCOMPARE(H::setting("maxspeed"), QString("30"));
    QCOMPARE(limit().confirmed(), qint64(20));
    QVERIFY(h->awaitAnswers(1));
    QCOMPARE(h->lastQuery(Speed), QByteArray("devid=86000001&maxspeed=30&lightspeed=12"));
    QCOMPARE(limit().confirmed(), qint64(30));
    QCOMPARE(h->sim.device("86000001").maxspeed, QString("30"));

    auto* light = h->page<AllOfSetPages4>();
    drag(light, "MyLightCView", State::Began, 0.2);
    drag(light, "MyLightCView", State::Ended, 0.5);
    QCOMPARE(H::setting("lightspeed"), QString("17"));
    QVERIFY(h->awaitAnswers(2));
    QCOMPARE(h->lastQuery(Speed), QByteArray("devid=86000001&maxspeed=30&lightspeed=17"));
    QCOMPARE(limit(SpeedLimit::Kind::LightSpeed).confirmed(), qint64(17));
    QVERIFY(!H::alert());
}

void tst_Dashboard::speedFailureRestoresTheAcceptedValue()
{
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, Speed));
    auto* page = h->page<AllOfSetPages3>();
    drag(page, "MyMaxSpeedCView", State::Ended, 0.9);
    QCOMPARE(H::setting("maxspeed"), QString("30"));
    QCOMPARE(H::awaitAlert(), QString("网络访问出错,速度设置失败!"));
    QCOMPARE(H::setting("maxspeed"), QString("20"));
    QCOMPARE(H::text(page, "maxspeedlicheng"), QString("20"));
    QCOMPARE(dial(page, "MyMaxSpeedCView"), AllOfSetPages3::positionFor(20));
    H::closeAlert();

    // The rider reading English gets the alert in English.
    QVERIFY(Localized::install(*qApp, "en"));
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, Speed));
    drag(page, "MyMaxSpeedCView", State::Ended, 0.9);
    const QString english = H::awaitAlert();
    Localized::uninstall();
    QCOMPARE(english, QString("Network error, the speed was not set!"));
}

void tst_Dashboard::lightSpeedFailureLeavesTheMaximumSpeed()
{
    h->sim.addFault(SimFault::of(SimFault::Kind::Drop, Speed, -1));
    // A stored light speed loads as it is, past the dial's end.
    H::set("lightspeed", "40");
    auto* page = h->page<AllOfSetPages4>();
    QCOMPARE(dial(page, "MyLightCView"), 315.0f / 180);
    QCOMPARE(limit(SpeedLimit::Kind::LightSpeed).confirmed(), qint64(40));
    drag(page, "MyLightCView", State::Ended, 0.9);
    QCOMPARE(H::setting("lightspeed"), QString("24"));
    QVERIFY(!H::awaitAlert().isEmpty());
    QCOMPARE(H::settings({"lightspeed", "maxspeed"}), (QStringList{"40", "20"}));
    QCOMPARE(H::text(page, "slightspeed"), QString("40"));
    QCOMPARE(dial(page, "MyLightCView"), 315.0f / 180);
}

void tst_Dashboard::quickSecondDragThatFailsFallsBackToTheFirst()
{
    // The first upload is answered late, the second fails at once: the server holds 25.
    h->sim.addFault(SimFault::delay(1500, Speed));
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, Speed));
    QPointer<AllOfSetPages3> page = h->page<AllOfSetPages3>();
    drag(page, "MyMaxSpeedCView", State::Ended, 0.7);
    QVERIFY(H::waitFor([&] { return h->sim.requestsTo(Speed).size() == 1; }));
    drag(page, "MyMaxSpeedCView", State::Ended, 0.9);
    QVERIFY(h->awaitAnswers(1));
    // The failure puts back what the server had accepted so far.
    QCOMPARE(H::setting("maxspeed"), QString("20"));
    QCOMPARE(AlertController::visibleAlerts().size(), 1);
    QVERIFY(h->awaitAnswers(2));
    QCOMPARE(limit().confirmed(), qint64(25));
    QCOMPARE(H::setting("maxspeed"), QString("25"));
    QCOMPARE(H::text(page, "maxspeedlicheng"), QString("25"));
    QCOMPARE(dial(page, "MyMaxSpeedCView"), AllOfSetPages3::positionFor(25));
    QCOMPARE(AlertController::visibleAlerts().size(), 1);

    // An answer after the page is gone still puts the store back.
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, Speed));
    drag(page, "MyMaxSpeedCView", State::Ended, 0.9);
    delete page;
    QVERIFY(h->awaitAnswers(3));
    QCOMPARE(H::setting("maxspeed"), QString("25"));
}

void tst_Dashboard::pagerSwipesAndDotsGoThroughTheFivePages()
{
    section();
    QCOMPARE(pager()->visiblePage(), page(1));
    QVERIFY(!pager()->beginSwipe(Direction::Reverse));
    QVERIFY(pager()->beginSwipe(Direction::Forward));
    QCOMPARE(dots()->currentPage(), 1);
    pager()->endSwipe(true);
    // A page first shown by a swipe shows everything it made while loading.
    for (const char* name : {"switchpower", "PowerCustom1", "powerlichengmax"})
        QVERIFY2(child<QWidget>(page(2), name)->isVisible(), name);
    // The dot moves with the swipe's start and is not put back when it is cancelled.
    QVERIFY(pager()->beginSwipe(Direction::Forward));
    pager()->endSwipe(false);
    QCOMPARE(pager()->visiblePage(), page(2));
    QCOMPARE(dots()->currentPage(), 2);
    QVERIFY(pager()->beginSwipe(Direction::Reverse));
    QCOMPARE(dots()->currentPage(), 0);
    pager()->endSwipe(false);
    for (int number = 3; number <= 5; ++number) {
        QVERIFY(pager()->beginSwipe(Direction::Forward));
        pager()->endSwipe(true);
        QCOMPARE(pager()->visiblePage(), page(number));
    }
    QVERIFY(!pager()->beginSwipe(Direction::Forward));

    // A tap beside the current dot pages one step that way, unanimated; past the end, nowhere.
    tapDot(4, 10);
    QCOMPARE(pager()->visiblePage(), page(5));
    tapDot(4, -10);
    QCOMPARE(pager()->visiblePage(), page(4));
    QCOMPARE(pager()->lastDirection(), Direction::Reverse);
    QVERIFY(!pager()->lastAnimated());
    tapDot(3, 10);
    QCOMPARE(pager()->visiblePage(), page(5));
    QCOMPARE(pager()->lastDirection(), Direction::Forward);
}

void tst_Dashboard::onlyTheVisiblePageTicksAndTabsLeaveTheSection()
{
    h->storyboard->registerScreen<Screen>("ViewControllerPos");
    h->storyboard->registerScreen<Screen>("ViewControllerMine");
    section();
    auto* ring = child<YuanHuanCustomView>(page(1), "MyYuanHuan");
    H::set("power", "42");
    h->loop.advance(5 * 30);
    // Ticks at 0, 30, ... 150: the ring climbs towards its full target.
    QCOMPARE(ring->getYuanHuanProcess(), 0.06f);
    tapDot(0, 10);
    auto* cylinder = child<PowerCustomView>(page(2), "PowerCustom1");
    h->loop.advance(4 * 30);
    QCOMPARE(ring->getYuanHuanProcess(), 0.06f);
    QCOMPARE(cylinder->getPowerProcess(), 0.05f);
    // Back on screen it ticks at once.
    tapDot(1, -10);
    h->loop.runDue();
    QCOMPARE(ring->getYuanHuanProcess(), 0.07f);
    h->loop.advance(10 * 30);
    QCOMPARE(cylinder->getPowerProcess(), 0.05f);

    // A tab leaves the section, which goes with its pages.
    QPointer<Screen> mileage = page(1);
    H::tap(m_set, "PosImage");
    QCOMPARE(h->segues.size(), 1);
    QCOMPARE(h->storyboard->topScreen()->identifier(), QString("ViewControllerPos"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_set.isNull() && mileage.isNull());
    // Back in a new section, the profile tab leads on.
    H::tap(section(), "MineImage");
    QCOMPARE(h->storyboard->topScreen()->identifier(), QString("ViewControllerMine"));
}

void tst_Dashboard::refreshRunsAtOnceThenEvery30SecondsWhileOnScreen()
{
    QSignalSpy answers(h->app.delegate->networkAccessManager(), &QNetworkAccessManager::finished);
    section();
    h->loop.runDue();
    QCOMPARE(refreshesSent(), 1);
    // The answer is stored, and raises no alarm.
    QVERIFY(H::waitFor([&] { return answers.count() == 1; }));
    QCOMPARE(H::setting("maxspeed"), h->sim.device("86000001").maxspeed);
    QCOMPARE(H::setting("zhendongcishu"), QString("0"));
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarGetEveryThingTimerIOS.php"));
    h->loop.advance(29990);
    QCOMPARE(refreshesSent(), 1);
    h->loop.advance(10);
    QCOMPARE(refreshesSent(), 2);
    h->loop.advanceSeconds(60);
    QCOMPARE(refreshesSent(), 4);
    // A refresh that fails says nothing.
    QVERIFY(H::waitFor([&] { return answers.count() == 4; }));
    QVERIFY(!H::alert());

    // Hidden (another screen over it) it sends nothing; back on screen it refreshes at once.
    H::setAppeared(m_set, false);
    h->loop.advanceSeconds(120);
    QCOMPARE(refreshesSent(), 4);
    H::setAppeared(m_set, true);
    h->loop.runDue();
    QCOMPARE(refreshesSent(), 5);
}

QTEST_MAIN(tst_Dashboard)
#include "tst_Dashboard.moc"
