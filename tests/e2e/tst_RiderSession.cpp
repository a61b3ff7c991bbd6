#include "EventWait.h"

#include "platform/ManualTimerLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextField.h"
#include "screens/ScreenCatalog.h"
#include "screens/account/ViewControllerDevID.h"
#include "screens/account/ViewControllerLogin.h"
#include "screens/account/ViewControllerRegister.h"
#include "screens/dashboard/ViewControllerSet.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/profile/ViewControllerMine.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "support/PollHarness.h"
#include "support/Widgets.h"

#include <QtTest>

// A rider's first day with the app, through the real screens offscreen against the simulated
// device server: binding, registration after a failed try, the dashboard's first status
// request, the tracker leaving its fence and the battery falling with both alarms and their
// acknowledgement, the position section with its growing track, the profile's ranking, and
// switching the user at the next start. After each step the store and the requests the
// server received (in order, exactly as sent) are checked; no password is ever logged.
class tst_RiderSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aRidersFirstDay();

private:
    void bindingFindsAnUnregisteredDevice();
    void registrationAfterAFailedTry();
    void trackerLeavesTheFenceAndTheBatteryFalls();
    void positionTrackGrows();
    void profileShowsTheRanking();
    void nextStartSwitchesTheUser();

    // Requests received since the last call, as "path?query" (POSTs with their method). The
    // status poll and the geofence page come and go with the virtual time; unless asked for
    // they are left out.
    QStringList newRequests(bool withBackground = false);
    template <class T> T* top() const { return qobject_cast<T*>(m_storyboard->topScreen()); }
    template <class T> bool waitFor() const
    {
        return EventWait::until([&] { return top<T>() != nullptr; });
    }
    void startApp();
    // Presses `title` on the alert in front and waits for the alert to go.
    static void press(const QString& title);
    static QString value(const char* key) { return PollHarness::value(key); }

    static constexpr const char* Devid = "86000002";
    static constexpr const char* Email = "neo@example.com";

    std::unique_ptr<PollHarness> h;
    std::unique_ptr<ManualTimerLoop> m_loop;
    std::unique_ptr<QWidget> m_host;
    std::unique_ptr<Storyboard> m_storyboard;
    qsizetype m_seen = 0;
};

void tst_RiderSession::init()
{
    h = std::make_unique<PollHarness>(SimulatorOptions{}, Devid, false);
    m_loop = std::make_unique<ManualTimerLoop>(&h->app.clock);
    m_host = std::make_unique<QWidget>();
    m_host->resize(360, 640);
    m_host->show();
    m_seen = 0;
}

void tst_RiderSession::cleanup()
{
    for (AlertController* alert : AlertController::visibleAlerts())
        delete alert;
    m_storyboard.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_host.reset();
    m_loop.reset();
    h.reset();
}

void tst_RiderSession::startApp()
{
    m_storyboard.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_storyboard = std::make_unique<Storyboard>(m_host.get());
    ScreenCatalog::install(*m_storyboard, h->app.delegate->context());
    m_storyboard->start(QString::fromLatin1(ScreenCatalog::FirstScreen));
    // Two seconds of welcome.
    m_loop->advanceSeconds(2);
}

QStringList tst_RiderSession::newRequests(bool withBackground)
{
    const QList<SimRequest> all = h->sim.requests();
    QStringList targets;
    for (qsizetype i = m_seen; i < all.size(); ++i) {
        const QString target = QString::fromLatin1(all.at(i).target);
        if (withBackground ||
            !(target.startsWith(PollHarness::PollScript) || target.startsWith("/TestMap.php?")))
            targets << (all.at(i).method == "GET" ? "" : all.at(i).method + ' ') + target;
    }
    m_seen = all.size();
    return targets;
}

void tst_RiderSession::press(const QString& title)
{
    QVERIFY(EventWait::until([] { return AlertController::topAlert() != nullptr; }));
    QVERIFY(AlertController::topAlert()->pressAction(title));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_RiderSession::aRidersFirstDay()
{
    using Step = void (tst_RiderSession::*)();
    const Step steps[] = {
        &tst_RiderSession::bindingFindsAnUnregisteredDevice,
        &tst_RiderSession::registrationAfterAFailedTry,
        &tst_RiderSession::trackerLeavesTheFenceAndTheBatteryFalls,
        &tst_RiderSession::positionTrackGrows,
        &tst_RiderSession::profileShowsTheRanking,
        &tst_RiderSession::nextStartSwitchesTheUser,
    };
    // Each step builds on the one before: the first failure ends the day.
    for (const Step step : steps) {
        (this->*step)();
        if (QTest::currentTestFailed())
            return;
    }
}

void tst_RiderSession::bindingFindsAnUnregisteredDevice()
{
    startApp();
    auto* binding = top<ViewControllerDevID>();
    QVERIFY(binding);
    QCOMPARE(newRequests(), QStringList());
    child<TextField>(binding, "TextFieldDevID")->setText(Devid);
    binding->tapPageConnect();
    m_loop->advanceSeconds(
        ViewControllerDevID::PaintTicks * ViewControllerDevID::PaintIntervalSeconds + 0.1);
    QVERIFY(waitFor<ViewControllerRegister>());
    QCOMPARE(value("devid"), QString::fromLatin1(Devid));
    QCOMPARE(newRequests(), QStringList{"/TolvarDevId.php?devid=86000002&wd=mirt"});
}

void tst_RiderSession::registrationAfterAFailedTry()
{
    auto* form = top<ViewControllerRegister>();
    // The mailed code proves the address.
    child<TextField>(form, "useremail")->setText(Email);
    child<Button>(form, "VcodeButton")->click();
    QVERIFY(EventWait::until([] { return AlertController::topAlert() != nullptr; }));
    AlertController::topAlert()->textFields().first()->setText(h->sim.lastCodeFor(Email));
    press(QStringLiteral("确定"));
    press(QStringLiteral("确定")); // "验证成功!"
    newRequests();

    child<TextField>(form, "username")->setText("neo01");
    child<TextField>(form, "userpwd")->setText("pass&1");
    child<TextField>(form, "userweixin")->setText("neowx");
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarRegisterIOS.php"));
    child<Button>(form, "RegisterButton")->click();
    press(QStringLiteral("确定"));
    QVERIFY(top<ViewControllerRegister>());
    child<Button>(form, "RegisterButton")->click();
    QVERIFY(waitFor<ViewControllerSet>());
    const QString registration = "/TolvarRegisterIOS.php?devid=86000002&username=neo01&pwd="
                                 "pass%261&email=neo@example.com&weixin=neowx";
    QCOMPARE(newRequests(), QStringList(2, registration));
    QCOMPARE(value("localusername"), QStringLiteral("neo01"));
    QCOMPARE(value("localpwd"), QStringLiteral("pass&1"));
    QCOMPARE(h->sim.device(Devid).username, QStringLiteral("neo01"));
    QCOMPARE(value("power"), QStringLiteral("40.0"));

    // The dashboard asks for the device's state as it appears.
    m_loop->runDue();
    QVERIFY(EventWait::until([&] { return h->sim.requests().size() > m_seen; }));
    QCOMPARE(newRequests(true), QStringList{"/TolvarGetEveryThingTimerIOS.php?devid=86000002"});
}

void tst_RiderSession::trackerLeavesTheFenceAndTheBatteryFalls()
{
    // The first location update of the run arms the poll; the next, a minute on, polls and
    // takes the tracker's place as the base of the fence. Then the tracker leaves.
    h->location.injectLocation(PollHarness::BaseLat, PollHarness::BaseLng, 10);
    h->locationUpdateAMinuteLater();
    QVERIFY(EventWait::until([&] { return h->pollsFinished == 2; }));
    h->sim.setPosition(Devid, PollHarness::north(5000), PollHarness::BaseLng);
    h->locationUpdateAMinuteLater();
    QVERIFY(EventWait::until([&] { return h->center.delivered().size() == 1; }));
    QCOMPARE(h->log.count("围栏报警"), 1);
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("1"));
    QVERIFY(
        EventWait::until([&] { return h->sim.requestsTo("/TolvarUpdateWeiLan.php").size() == 1; }));
    QCOMPARE(newRequests(), QStringList{"/TolvarUpdateWeiLan.php?devid=86000002&wlstate=1"});

    // Each location update plays one vibration until the rider looks.
    h->location.injectLocation(PollHarness::BaseLat, PollHarness::BaseLng, 10);
    QCOMPARE(h->haptics.playCount(Haptics::VibrateSound), 1);
    h->center.setApplicationActive(true);
    QCOMPARE(value("zhendongcishu"), QStringLiteral("0"));
    QCOMPARE(h->center.applicationIconBadgeNumber(), 0);
    h->center.setApplicationActive(false);

    // The battery falls: one alarm, and a minute later neither alarm again.
    h->sim.setPower(Devid, 34.0);
    h->locationUpdateAMinuteLater();
    QVERIFY(EventWait::until([&] { return h->center.delivered().size() == 2; }));
    QCOMPARE(h->log.count("电量报警"), 1);
    QCOMPARE(value("power"), QStringLiteral("34.0"));
    const int polls = h->pollsFinished;
    h->locationUpdateAMinuteLater();
    QVERIFY(EventWait::until([&] { return h->pollsFinished > polls; }));
    QCOMPARE(h->log.count("电量报警") + h->log.count("围栏报警"), 2);
    QCOMPARE(h->center.delivered().size(), 2);
    QVERIFY(
        EventWait::until([&] { return h->sim.requestsTo("/TolvarUpdateWeiLan.php").size() == 2; }));
    // The server's 1 went back to 0 on the first poll still outside; nothing else went out.
    QCOMPARE(newRequests(), QStringList{"/TolvarUpdateWeiLan.php?devid=86000002&wlstate=0"});
}

void tst_RiderSession::positionTrackGrows()
{
    top<ViewControllerSet>()->tapPagePos();
    auto* pos = top<ViewControllerPos>();
    QVERIFY(pos);
    // Both one-second feeds ask as the screen appears: the whole track and the riders, over
    // two connections, so they may arrive either way round.
    m_loop->runDue();
    QVERIFY(EventWait::until([&] {
        return pos->trackFeed()->lastserverid() > 0 && !pos->nearbyFeed()->NeedDownload();
    }));
    QStringList appeared = newRequests();
    appeared.sort();
    QCOMPARE(appeared, QStringList({"/TolvarGetFriendIOS.php?devid=86000002",
                                    "/TolvarGetGpsInfo.php?devid=86000002&sid=0"}));
    const qint64 first = pos->trackFeed()->lastserverid();
    QCOMPARE(first, h->sim.track(Devid).last().serverid);
    QCOMPARE(pos->overlaysLine().size(), 1);
    QCOMPARE(MyFriendInfo::GetCount(), pos->array_lvyou().size());
    QVERIFY(pos->array_lvyou().size() > 0);

    // The tracker moves on; the next tick asks for what came after the last point.
    for (int i = 1; i <= 3; ++i) {
        h->sim.advance(1);
        h->sim.setPosition(Devid, PollHarness::north(5000 + 10 * i), PollHarness::BaseLng);
    }
    m_loop->advanceSeconds(1);
    QVERIFY(EventWait::until([&] { return pos->trackFeed()->lastserverid() == first + 3; }));
    QCOMPARE(newRequests(),
             QStringList{"/TolvarGetGpsInfo.php?devid=86000002&sid=" + QString::number(first)});
    QCOMPARE(pos->overlaysLine().size(), 2);
    QCOMPARE(pos->overlaysLine().last().pointCount(), 4);
    QCOMPARE(pos->lastposlat(), QString::number(PollHarness::north(5030), 'f', 6).toFloat());
}

void tst_RiderSession::profileShowsTheRanking()
{
    top<ViewControllerPos>()->tapPageMine();
    auto* mine = top<ViewControllerMine>();
    QVERIFY(mine);
    // The weekly ranking is asked for as the section appears and kept in the cache.
    m_loop->runDue();
    QVERIFY(EventWait::until([&] {
        return MyPaiMingInfo::GetCount() > 0 && !mine->rankingFeed()->isRequestInFlight();
    }));
    QCOMPARE(newRequests(), QStringList{"/TolvarGetPaiMingIOS.php"});
    // Once riders are listed the next ask waits an hour of ticks: a minute asks nothing.
    m_loop->advanceSeconds(60);
    QCOMPARE(newRequests(), QStringList());
}

void tst_RiderSession::nextStartSwitchesTheUser()
{
    // The next start finds the device registered and opens the login screen.
    startApp();
    QVERIFY(waitFor<ViewControllerLogin>());
    QCOMPARE(newRequests(), QStringList{"/TolvarDevId.php?devid=86000002&wd=mirt"});
    auto* login = top<ViewControllerLogin>();
    QCOMPARE(child<TextField>(login, "TextUserName")->text(), QStringLiteral("neo01"));
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarLoginIOS.php"));
    child<TextField>(login, "TextPwd")->setText("wrong&pw");
    child<Button>(login, "LoginButton")->click();
    press(QStringLiteral("确定"));
    newRequests();

    // Switching the user empties the store and the fresh welcome screen routes to binding.
    login->tapPageTouXiang();
    press(QStringLiteral("切换"));
    QCOMPARE(value("devid"), QStringLiteral("0"));
    QCOMPARE(value("localusername"), QStringLiteral("0"));
    m_loop->advanceSeconds(2);
    QVERIFY(waitFor<ViewControllerDevID>());
    QCOMPARE(newRequests(), QStringList());
    // Registration, a failed registration, a failed login and the settings dumps of every
    // start: no password in any line of the day.
    const QString log = h->log.lines().join('\n');
    for (const char* secret : {"pass&1", "pass%261", "wrong&pw", "wrong%26pw"})
        QVERIFY2(!log.contains(QLatin1String(secret)), secret);
}

QTEST_MAIN(tst_RiderSession)
#include "tst_RiderSession.moc"
