#include "EventWait.h"

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/location/LocationManager.h"
#include "platform/map/MapView.h"
#include "platform/net/WebView.h"
#include "platform/notify/Haptics.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/share/LocalShareService.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Images.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextField.h"
#include "poll/MyUtil.h"
#include "protocol/ServerScript.h"
#include "screens/ScreenCatalog.h"
#include "screens/account/ViewController.h"
#include "screens/account/ViewControllerDevID.h"
#include "screens/account/ViewControllerLogin.h"
#include "screens/account/ViewControllerRegister.h"
#include "screens/dashboard/AllOfSetPages1.h"
#include "screens/dashboard/AllOfSetPages2.h"
#include "screens/dashboard/AllOfSetPages3.h"
#include "screens/dashboard/AllOfSetPages4.h"
#include "screens/dashboard/AllOfSetPages5.h"
#include "screens/dashboard/SpeedLimit.h"
#include "screens/dashboard/ViewControllerSet.h"
#include "screens/position/AllOfPosPages2.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/profile/AllOfMinePages2.h"
#include "screens/profile/AllOfMinePages3.h"
#include "screens/profile/ViewControllerMine.h"
#include "store/MyBasicInfo.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "support/Widgets.h"
#include "tools/devserver/DeviceServerSimulator.h"
#include "views/WeiLanCustomView.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

// A rider's first day with the app, through the real screens offscreen against the
// simulated device server: binding, registration with the mailed code and an
// avatar, the dashboard's five pages, a speed change whose upload fails, the
// geofence and children mode, both alarms and their acknowledgement, the
// position section with its growing track, a chosen rider and the shared
// picture, the profile with the ranking list and a chosen rider on the map,
// and switching the user at the next start. After each step the settings store and
// the requests the server received (in order, exactly as sent) are checked.
class tst_RiderSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aRidersFirstDay();

private:
    void freshStartOpensBinding();
    void bindingFindsAnUnregisteredDevice();
    void registrationWithCodeAndAvatar();
    void dashboardShowsFivePages();
    void maxSpeedUploadFailsAndRollsBack();
    void geofenceRadiusAndChildrenMode();
    void trackerLeavesTheFence();
    void batteryFallsTo34Volts();
    void positionTrackGrowsAndARiderIsChosen();
    void positionPictureIsShared();
    void rankingAndAChosenRiderOnTheMap();
    void nextStartSwitchesTheUser();

    // Requests received since the last call, as "path?query" (POSTs with their method). The
    // dashboard's 30-second status refresh and the geofence page's map page come and go
    // with the virtual time and the page's reloads; unless asked for they are only counted
    // (and must have exactly their own form).
    QStringList newRequests(bool withBackground = false);
    template <class T> T* top() const { return qobject_cast<T*>(m_storyboard->topScreen()); }
    template <class T> T* page(int index) const;
    // Swipes the dashboard's pager until the page at `index` is the visible one.
    void swipeTo(int index);
    // A location update a minute and a second after the last one.
    void locationUpdateAMinuteLater();
    bool waitForLog(const QString& prefix, int count);
    static QString value(const char* key)
    {
        return MyBasicInfo::GetValue(QString::fromLatin1(key));
    }
    static void pressOnlyAlert(const QString& title);

    static constexpr const char* Devid = "86000002";
    static constexpr const char* Email = "neo@example.com";
    static constexpr double BaseLat = 30.2741;
    static constexpr double BaseLng = 120.1551;

    std::unique_ptr<Log::Quiet> m_quiet;
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<ManualTimerLoop> m_loop;
    std::unique_ptr<DeviceServerSimulator> m_sim;
    std::unique_ptr<LocalNotificationCenter> m_center;
    std::unique_ptr<Haptics> m_haptics;
    std::unique_ptr<LocationManager> m_location;
    std::unique_ptr<LocalShareService> m_share;
    std::unique_ptr<QWidget> m_host;
    Storyboard* m_storyboard = nullptr;
    std::unique_ptr<Log::Capture> m_log;
    QStringList m_segues;
    qsizetype m_seen = 0;
    int m_backgroundRequests = 0;
};

void tst_RiderSession::init()
{
    m_quiet = std::make_unique<Log::Quiet>();
    m_app = std::make_unique<TestApp>();
    m_app->clock.set(QDateTime(QDate(2026, 3, 5), QTime(9, 0), Qt::UTC));
    m_loop = std::make_unique<ManualTimerLoop>(&m_app->clock);
    m_sim = std::make_unique<DeviceServerSimulator>();
    QVERIFY(m_sim->listen() != 0);
    m_sim->setPosition(Devid, BaseLat, BaseLng);
    m_sim->setPower(Devid, 40.0);
    m_center = std::make_unique<LocalNotificationCenter>();
    m_haptics = std::make_unique<Haptics>();
    m_location = std::make_unique<LocationManager>();
    // Only the updates this test injects reach the status poll.
    m_location->setReplayFile(QStringLiteral("/nonexistent/route.nmea"));
    AppDelegate* delegate = m_app->delegate.get();
    delegate->setServerUrl(m_sim->baseUrl().toString());
    delegate->setNotificationCenter(m_center.get());
    delegate->setHaptics(m_haptics.get());
    delegate->setLocationManager(m_location.get());
    m_share = std::make_unique<LocalShareService>();
    m_share->setOutboxFolder(m_app->dir.filePath("outbox"));
    m_share->setClock(&m_app->clock);
    delegate->setShare(m_share.get());
    SpeedLimit::of(SpeedLimit::Kind::MaxSpeed).reset();
    SpeedLimit::of(SpeedLimit::Kind::LightSpeed).reset();
    m_host = std::make_unique<QWidget>();
    m_host->resize(360, 640);
    m_host->show();
    m_storyboard = new Storyboard(m_host.get());
    ScreenCatalog::install(*m_storyboard, m_app->delegate->context());
    connect(m_storyboard, &Storyboard::seguePerformed, this,
            [this](const QString& id, Screen*) { m_segues.append(id); });
    m_log = std::make_unique<Log::Capture>();
    m_seen = 0;
    m_segues.clear();
}

void tst_RiderSession::cleanup()
{
    for (AlertController* alert : AlertController::visibleAlerts())
        delete alert;
    delete m_storyboard;
    m_storyboard = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_log.reset();
    m_host.reset();
    m_app.reset();
    m_location.reset();
    m_share.reset();
    m_haptics.reset();
    m_center.reset();
    m_loop.reset();
    m_sim.reset();
    m_quiet.reset();
}

QStringList tst_RiderSession::newRequests(bool withBackground)
{
    static const QRegularExpression fencePage(
        QStringLiteral("^/TestMap\\.php\\?wl=\\d+&lng=\\d+\\.\\d{6}&lat=\\d+\\.\\d{6}$"));
    const QString statusPoll = QStringLiteral("/TolvarGetEveryThingTimerIOS.php?devid=") + Devid;
    const QList<SimRequest> all = m_sim->requests();
    QStringList targets;
    for (qsizetype i = m_seen; i < all.size(); ++i) {
        const SimRequest& request = all.at(i);
        const QString target = QString::fromLatin1(request.target);
        const bool background = target == statusPoll || fencePage.match(target).hasMatch();
        if (background && !withBackground) {
            ++m_backgroundRequests;
            continue;
        }
        if (request.method != "GET")
            targets << QString::fromLatin1(request.method) + ' ' + target;
        else
            targets << target;
    }
    m_seen = all.size();
    return targets;
}

template <class T> T* tst_RiderSession::page(int index) const
{
    auto* set = top<ViewControllerSet>();
    return set ? child<T>(set, qPrintable(QStringLiteral("AllOfSetPages%1").arg(index + 1)))
               : nullptr;
}

void tst_RiderSession::swipeTo(int index)
{
    auto* set = top<ViewControllerSet>();
    auto* pager = child<PageViewController>(set, "pageViewController");
    QList<Screen*> pages;
    for (int i = 0; i < ViewControllerSet::PageCount; ++i)
        pages << page<Screen>(i);
    while (pages.indexOf(pager->visiblePage()) != index) {
        const bool forward = pages.indexOf(pager->visiblePage()) < index;
        QVERIFY(pager->beginSwipe(forward ? PageViewController::NavigationDirection::Forward
                                          : PageViewController::NavigationDirection::Reverse));
        pager->updateSwipe(0.6);
        pager->endSwipe(true);
    }
    QCOMPARE(child<PageControl>(set, "pageControl")->currentPage(), index);
}

void tst_RiderSession::locationUpdateAMinuteLater()
{
    m_loop->advanceSeconds(61);
    m_location->injectLocation(BaseLat, BaseLng, 10);
}

bool tst_RiderSession::waitForLog(const QString& prefix, int count)
{
    return EventWait::until([&] { return m_log->matching(prefix).size() >= count; });
}

void tst_RiderSession::pressOnlyAlert(const QString& title)
{
    AlertController* alert = AlertController::topAlert();
    QVERIFY(alert);
    QVERIFY(alert->pressAction(title));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_RiderSession::aRidersFirstDay()
{
    using Step = void (tst_RiderSession::*)();
    const Step steps[] = {
        &tst_RiderSession::freshStartOpensBinding,
        &tst_RiderSession::bindingFindsAnUnregisteredDevice,
        &tst_RiderSession::registrationWithCodeAndAvatar,
        &tst_RiderSession::dashboardShowsFivePages,
        &tst_RiderSession::maxSpeedUploadFailsAndRollsBack,
        &tst_RiderSession::geofenceRadiusAndChildrenMode,
        &tst_RiderSession::trackerLeavesTheFence,
        &tst_RiderSession::batteryFallsTo34Volts,
        &tst_RiderSession::positionTrackGrowsAndARiderIsChosen,
        &tst_RiderSession::positionPictureIsShared,
        &tst_RiderSession::rankingAndAChosenRiderOnTheMap,
        &tst_RiderSession::nextStartSwitchesTheUser,
    };
    // Each step builds on the one before: the first failure ends the day.
    for (const Step step : steps) {
        (this->*step)();
        if (QTest::currentTestFailed())
            return;
    }
}

void tst_RiderSession::freshStartOpensBinding()
{
    m_storyboard->start(QString::fromLatin1(ScreenCatalog::FirstScreen));
    for (const QString& key : MyUtil::SettingsKeys())
        QCOMPARE(MyBasicInfo::GetValue(key), QStringLiteral("0"));
    QVERIFY(m_location->isUpdating());
    m_loop->advanceSeconds(2);
    QVERIFY(top<ViewControllerDevID>());
    QCOMPARE(m_segues, QStringList{"GoToDevID"});
    QCOMPARE(newRequests(), QStringList());
}

void tst_RiderSession::bindingFindsAnUnregisteredDevice()
{
    auto* binding = top<ViewControllerDevID>();
    child<TextField>(binding, "TextFieldDevID")->setText(Devid);
    binding->tapPageConnect();
    m_loop->advanceSeconds(
        ViewControllerDevID::PaintTicks * ViewControllerDevID::PaintIntervalSeconds + 0.1);
    QVERIFY(EventWait::until([&] { return top<ViewControllerRegister>() != nullptr; }));
    QCOMPARE(m_segues.last(), QStringLiteral("GoToRegister"));
    QCOMPARE(value("devid"), QString::fromLatin1(Devid));
    QCOMPARE(newRequests(), QStringList{"/TolvarDevId.php?devid=86000002&wd=mirt"});
}

void tst_RiderSession::registrationWithCodeAndAvatar()
{
    auto* form = top<ViewControllerRegister>();
    // The avatar is cropped, clipped round and uploaded at once.
    QImage picture(300, 300, QImage::Format_RGB32);
    picture.fill(QColor(30, 140, 200));
    form->didFinishPickingImage(picture);
    QVERIFY(EventWait::until([] { return value("touxiangpath").startsWith("http"); }));
    QVERIFY2(value("touxiangpath").startsWith(m_sim->baseUrl().toString() + "/touxiang/"),
             qPrintable(value("touxiangpath")));
    QCOMPARE(newRequests(), QStringList{"POST /TolvarUploadPic.php?devid=86000002"});
    // Named by the clock: two seconds of welcome and three of connecting after 09:00.
    QCOMPARE(m_sim->requestsTo("/TolvarUploadPic.php").first().parts.first().fileName,
             QByteArray("ios20260305090005.png"));

    // The mailed code proves the address.
    child<TextField>(form, "useremail")->setText(Email);
    const int answers = int(m_log->matching("htmlstr = ").size());
    child<Button>(form, "VcodeButton")->click();
    QVERIFY(waitForLog("htmlstr = ", answers + 1));
    QCoreApplication::processEvents();
    AlertController* dialog = AlertController::topAlert();
    QVERIFY(dialog);
    const QString code = m_sim->lastCodeFor(Email);
    QCOMPARE(code.size(), 4);
    dialog->textFields().first()->setText(code);
    dialog->pressAction(QStringLiteral("确定"));
    QCOMPARE(AlertController::topAlert()->message(), QStringLiteral("验证成功!"));
    pressOnlyAlert(QStringLiteral("确定"));
    QCOMPARE(newRequests(),
             QStringList{"/TolvarSendEmailVCodeIOS.php?code=" + code + "&email=" + Email});

    child<TextField>(form, "username")->setText("neo01");
    child<TextField>(form, "userpwd")->setText("pass&1");
    child<TextField>(form, "userweixin")->setText("neowx");
    // A first try that the server fails: the error line carries no password.
    m_sim->addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarRegisterIOS.php"));
    const int errors = int(m_log->matching("error = ").size());
    child<Button>(form, "RegisterButton")->click();
    QVERIFY(waitForLog("error = ", errors + 1));
    pressOnlyAlert(QStringLiteral("确定"));
    newRequests();
    child<Button>(form, "RegisterButton")->click();
    QVERIFY(EventWait::until([&] { return top<ViewControllerSet>() != nullptr; }));
    QCOMPARE(m_segues.last(), QStringLiteral("GoToSet"));
    QCOMPARE(newRequests(),
             QStringList{"/TolvarRegisterIOS.php?devid=86000002&username=neo01&pwd=pass%261"
                         "&email=neo@example.com&weixin=neowx"});
    QCOMPARE(value("localusername"), QStringLiteral("neo01"));
    QCOMPARE(value("localpwd"), QStringLiteral("pass&1"));
    QCOMPARE(m_sim->device(Devid).username, QStringLiteral("neo01"));
    // The registration answer's record, the geofence settings included.
    QCOMPARE(value("lat"), QStringLiteral("30.274100"));
    QCOMPARE(value("power"), QStringLiteral("40.0"));
    QVERIFY(value("weilanradio") != "0");
}

void tst_RiderSession::dashboardShowsFivePages()
{
    auto* set = top<ViewControllerSet>();
    auto* pager = child<PageViewController>(set, "pageViewController");
    // The dashboard asks for the device's state as it appears, then every 30 seconds.
    m_loop->runDue();
    QVERIFY(EventWait::until([&] { return m_sim->requests().size() > m_seen; }));
    QCOMPARE(newRequests(true), QStringList{"/TolvarGetEveryThingTimerIOS.php?devid=86000002"});
    // Its answer is in before the rider touches anything (it carries the speeds too).
    const QString answered = ServerScript::getEveryThing().answerLine(QString());
    QVERIFY(EventWait::until([&] { return m_log->matching(answered).size() == 1; }));
    QCOMPARE(pager->visiblePage(), page<Screen>(0));
    for (int i = 1; i < ViewControllerSet::PageCount; ++i) {
        QVERIFY(pager->beginSwipe(PageViewController::NavigationDirection::Forward));
        pager->updateSwipe(0.6);
        pager->endSwipe(true);
        QCOMPARE(pager->visiblePage(), page<Screen>(i));
        QCOMPARE(child<PageControl>(set, "pageControl")->currentPage(), i);
        QVERIFY(pager->visiblePage()->isViewLoaded());
        QVERIFY(!pager->visiblePage()->grab().isNull());
    }
    QVERIFY(!pager->beginSwipe(PageViewController::NavigationDirection::Forward));
    // The geofence page shows the server's fence page for the stored radius and base.
    QVERIFY(EventWait::until([&] { return m_sim->requests().size() > m_seen; }));
    QCOMPARE(newRequests(true),
             QStringList{QStringLiteral("/TestMap.php?wl=%1&lng=120.155098&lat=30.274099")
                             .arg(MyUtil::GetBanJing())});
    QVERIFY(page<AllOfSetPages1>(0) && page<AllOfSetPages2>(1) && page<AllOfSetPages3>(2) &&
            page<AllOfSetPages4>(3) && page<AllOfSetPages5>(4));
}

void tst_RiderSession::maxSpeedUploadFailsAndRollsBack()
{
    swipeTo(2);
    auto* speed = page<AllOfSetPages3>(2);
    const QString before = value("maxspeed");
    const QString light = value("lightspeed");
    const int width = child<QWidget>(speed, "MyMaxSpeedCView")->width();
    auto* pan = child<PanGestureRecognizer>(speed, "pan");
    // Accepted first, then a change whose upload fails.
    pan->drive(PanGestureRecognizer::State::Began, QPointF(0.5 * width, 40));
    pan->drive(PanGestureRecognizer::State::Ended, QPointF(2.0 * width, 40));
    const QString first = value("maxspeed");
    QVERIFY2(first != before, qPrintable(before + " -> " + first));
    QVERIFY(EventWait::until([&] {
        return SpeedLimit::of(SpeedLimit::Kind::MaxSpeed).confirmed() == first.toLongLong();
    }));
    m_sim->addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarUpdateSpeed.php"));
    pan->drive(PanGestureRecognizer::State::Began, QPointF(0.5 * width, 40));
    pan->drive(PanGestureRecognizer::State::Ended, QPointF(-1.0 * width, 40));
    QVERIFY(value("maxspeed") != first);
    QVERIFY(EventWait::until([] { return AlertController::topAlert() != nullptr; }));
    QCOMPARE(AlertController::topAlert()->message(), QStringLiteral("网络访问出错,速度设置失败!"));
    pressOnlyAlert(QStringLiteral("确定"));
    QCOMPARE(value("maxspeed"), first);
    QCOMPARE(child<QLabel>(speed, "maxspeedlicheng")->text(), first);
    QCOMPARE(m_sim->device(Devid).maxspeed, first);
    const QStringList requests = newRequests();
    QVERIFY2(requests.size() == 2, qPrintable(requests.join(" | ")));
    QCOMPARE(requests.at(0),
             "/TolvarUpdateSpeed.php?devid=86000002&maxspeed=" + first + "&lightspeed=" + light);
    QVERIFY(requests.at(1).startsWith("/TolvarUpdateSpeed.php?devid=86000002&maxspeed="));
    QVERIFY(!requests.at(1).contains("maxspeed=" + first + "&"));
}

void tst_RiderSession::geofenceRadiusAndChildrenMode()
{
    swipeTo(4);
    auto* fence = page<AllOfSetPages5>(4);
    // The smallest radius: 30 m.
    child<PanGestureRecognizer>(fence, "pan")
        ->drive(PanGestureRecognizer::State::Ended, QPointF(0, 20));
    QCOMPARE(child<QLabel>(fence, "weilanradio")->text(), QStringLiteral("30"));
    QCOMPARE(MyUtil::GetBanJing(), 30);
    // The registration answer switched children mode on; off and on again.
    QCOMPARE(value("weilanmode"), QStringLiteral("1"));
    child<Button>(fence, "childrenbutton")->click();
    QCOMPARE(value("weilanmode"), QStringLiteral("0"));
    QCOMPARE(child<Button>(fence, "childrenbutton")->image(),
             Images::named(AllOfSetPages5::ChildrenOffImage));
    child<Button>(fence, "childrenbutton")->click();
    QCOMPARE(value("weilanmode"), QStringLiteral("1"));
    QCOMPARE(MyUtil::GetBanJing(), 30);
    QCOMPARE(child<Button>(fence, "childrenbutton")->image(),
             Images::named(AllOfSetPages5::ChildrenOnImage));
    QVERIFY(child<WebView>(fence, "MyWebView")->url().toString().contains("wl=30&"));
    // Both stay on the phone: only the fence page is fetched again, for the new radius.
    QVERIFY(EventWait::until(
        [&] { return m_sim->requestsTo("/TestMap.php").last().query.startsWith("wl=30&"); }));
    QCOMPARE(newRequests(), QStringList());
}

void tst_RiderSession::trackerLeavesTheFence()
{
    // The first location update of the run arms the poll; the next, a minute on, polls.
    m_location->injectLocation(BaseLat, BaseLng, 10);
    m_sim->setPosition(Devid, BaseLat + 60.0 / 111319.49, BaseLng);
    locationUpdateAMinuteLater();
    QVERIFY(EventWait::until([&] { return m_log->count("围栏报警") == 1; }));
    QCOMPARE(value("zhendongcishu"), QStringLiteral("60"));
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("1"));
    QVERIFY(EventWait::until([&] { return m_center->delivered().size() == 1; }));
    QCOMPARE(m_center->delivered().first().alertBody, QStringLiteral("围栏报警"));
    QVERIFY(
        EventWait::until([&] { return m_sim->requestsTo("/TolvarUpdateWeiLan.php").size() == 1; }));
    const QStringList requests = newRequests();
    QVERIFY2(requests == QStringList{"/TolvarUpdateWeiLan.php?devid=86000002&wlstate=1"},
             qPrintable(requests.join(" | ")));

    // Each location update plays one vibration until the rider looks.
    m_location->injectLocation(BaseLat, BaseLng, 10);
    m_location->injectLocation(BaseLat, BaseLng, 10);
    QCOMPARE(m_haptics->playCount(Haptics::VibrateSound), 2);
    QCOMPARE(value("zhendongcishu"), QStringLiteral("58"));
    m_center->setApplicationActive(true);
    QVERIFY(EventWait::until([] { return value("zhendongcishu") == "0"; }));
    QVERIFY(m_center->scheduledLocalNotifications().isEmpty());
    QCOMPARE(m_center->applicationIconBadgeNumber(), 0);
    m_location->injectLocation(BaseLat, BaseLng, 10);
    QCOMPARE(m_haptics->playCount(Haptics::VibrateSound), 2);
    m_center->setApplicationActive(false);

    // Still outside, the tracker loses its fix for a poll: no second alarm after it.
    const int tested = int(m_log->matching("需要检测报警.最新lng").size());
    m_sim->setPosition(Devid, 0, 0);
    locationUpdateAMinuteLater();
    QVERIFY(waitForLog("无需检测报警.没有最新位置", 1));
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("1"));
    m_sim->setPosition(Devid, BaseLat + 60.0 / 111319.49, BaseLng);
    locationUpdateAMinuteLater();
    QVERIFY(waitForLog("需要检测报警.最新lng", tested + 1));
    QCOMPARE(m_log->count("围栏报警"), 1);
    QCOMPARE(m_center->delivered().size(), 1);
}

void tst_RiderSession::batteryFallsTo34Volts()
{
    m_sim->setPower(Devid, 34.0);
    locationUpdateAMinuteLater();
    QVERIFY(EventWait::until([&] { return m_log->count("电量报警") == 1; }));
    QVERIFY(EventWait::until([&] { return m_center->delivered().size() == 2; }));
    QCOMPARE(m_center->delivered().last().alertBody, QStringLiteral("电量报警"));
    QCOMPARE(value("power"), QStringLiteral("34.0"));
    QCOMPARE(value("powertwohour"),
             m_app->clock.now().toLocalTime().toString("yyyy-MM-dd HH:mm:ss"));
    // A minute later the alarm is not raised again, nor the fence's.
    const QString answered = ServerScript::getEveryThing().answerLine(QString());
    const qsizetype before = m_log->matching(answered).size();
    locationUpdateAMinuteLater();
    QVERIFY(EventWait::until([&] { return m_log->matching(answered).size() > before; }));
    QCOMPARE(m_log->count("电量报警"), 1);
    QCOMPARE(m_log->count("围栏报警"), 1);
    QCOMPARE(m_center->delivered().size(), 2);
    // The server's 1 was put back to 0 by the first poll still outside; nothing else went out.
    QVERIFY(
        EventWait::until([&] { return m_sim->requestsTo("/TolvarUpdateWeiLan.php").size() == 2; }));
    QCOMPARE(newRequests(), QStringList{"/TolvarUpdateWeiLan.php?devid=86000002&wlstate=0"});
}

void tst_RiderSession::positionTrackGrowsAndARiderIsChosen()
{
    top<ViewControllerSet>()->tapPagePos();
    auto* pos = top<ViewControllerPos>();
    QVERIFY(pos);
    QCOMPARE(m_segues.last(), QStringLiteral("SetToPos"));
    // Both one-second timers fire as the screen appears: the whole track and the riders,
    // sent in the same tick over two connections, so they may arrive either way round.
    m_loop->runDue();
    QVERIFY(EventWait::until([&] {
        return pos->trackFeed()->lastserverid() > 0 && !pos->nearbyFeed()->NeedDownload();
    }));
    QStringList appeared = newRequests();
    appeared.sort();
    QCOMPARE(appeared, QStringList({"/TolvarGetFriendIOS.php?devid=86000002",
                                    "/TolvarGetGpsInfo.php?devid=86000002&sid=0"}));
    const qint64 first = pos->trackFeed()->lastserverid();
    QCOMPARE(first, m_sim->track(Devid).last().serverid);
    QCOMPARE(pos->overlaysLine().size(), 1);
    QVERIFY(pos->StopAnnotation());
    QVERIFY(MyFriendInfo::GetCount() > 0);
    QCOMPARE(MyFriendInfo::GetCount(), pos->array_lvyou().size());

    // The tracker moves on; the next tick asks for what came after the last point.
    for (int i = 1; i <= 3; ++i) {
        m_sim->advance(1);
        m_sim->setPosition(Devid, BaseLat + 60.0 / 111319.49 + i * 1e-4, BaseLng);
    }
    m_loop->advanceSeconds(1);
    QVERIFY(EventWait::until([&] { return pos->trackFeed()->lastserverid() == first + 3; }));
    QCOMPARE(newRequests(),
             QStringList{"/TolvarGetGpsInfo.php?devid=86000002&sid=" + QString::number(first)});
    QCOMPARE(pos->overlaysLine().size(), 2);
    QCOMPARE(pos->overlaysLine().last()->pointCount(), 4);
    QCOMPARE(pos->lastposlat(),
             QString::number(BaseLat + 60.0 / 111319.49 + 3e-4, 'f', 6).toFloat());

    // Swiping to the riders page shows the riders; choosing one fills the card.
    PageViewController* pager = child<PageViewController>(pos, "pageViewController");
    QVERIFY(pager->beginSwipe(PageViewController::NavigationDirection::Forward));
    pager->endSwipe(true);
    QCOMPARE(child<QLabel>(pos, "mylabel")->text(), QStringLiteral("周围驴友"));
    QCOMPARE(child<MapView>(pos, "mapView")->overlays().size(), 0);
    child<MapView>(pos, "mapView")->finishAnimations();
    const MapPointAnnotationPtr rider = pos->array_lvyou().first();
    child<MapView>(pos, "mapView")->selectAnnotation(rider, false);
    auto* card = pos->findChild<AllOfPosPages2*>();
    QVERIFY(child<QLabel>(card, "username")->text().contains(rider->subtitle()));
    QVERIFY(child<QLabel>(card, "paiming")->text().contains(rider->title()));
}

void tst_RiderSession::positionPictureIsShared()
{
    auto* pos = top<ViewControllerPos>();
    child<MapView>(pos, "mapView")->finishAnimations();
    child<Button>(pos, "shareButton")->click();
    const QString sent = m_share->lastSentFile();
    QVERIFY(!sent.isEmpty());
    QFile file(sent);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject message = QJsonDocument::fromJson(file.readAll()).object();
    const QImage picture(QFileInfo(sent).dir().filePath(message["image"].toString()));
    QCOMPARE(picture.size(), m_host->size());
    // Sharing stays on the phone: no request.
    QCOMPARE(newRequests(), QStringList());
}

void tst_RiderSession::rankingAndAChosenRiderOnTheMap()
{
    top<ViewControllerPos>()->tapPageMine();
    auto* mine = top<ViewControllerMine>();
    QVERIFY(mine);
    QCOMPARE(m_segues.last(), QStringLiteral("PosToMine"));
    // The weekly ranking is asked for as the section appears and kept in the cache.
    m_loop->runDue();
    QVERIFY(EventWait::until([&] {
        return MyPaiMingInfo::GetCount() > 0 && !mine->rankingFeed()->isRequestInFlight();
    }));
    QCOMPARE(newRequests(), QStringList{"/TolvarGetPaiMingIOS.php"});
    // Once riders are listed the next ask waits an hour of ticks: a minute asks nothing.
    m_loop->advanceSeconds(60);
    QCOMPARE(newRequests(), QStringList());

    // The ranking list; choosing the third rider shows that rider on the map page.
    PageViewController* pager = child<PageViewController>(mine, "pageViewController");
    QVERIFY(pager->beginSwipe(PageViewController::NavigationDirection::Forward));
    pager->endSwipe(true);
    auto* list = qobject_cast<AllOfMinePages2*>(pager->visiblePage());
    QVERIFY(list);
    QCOMPARE(list->numberOfRowsInSection(child<TableView>(list, "tableView"), 0),
             MyPaiMingInfo::GetCount());
    list->didSelectRowAtIndexPath(child<TableView>(list, "tableView"), 2);
    QCOMPARE(value("cellindex"), QStringLiteral("3"));
    auto* map = qobject_cast<AllOfMinePages3*>(pager->visiblePage());
    QVERIFY(EventWait::until([&] { return pager->visiblePage() == map; }, 5000));
    const QList<RiderInfo> third = MyPaiMingInfo::GetValue(QStringLiteral("3"));
    QCOMPARE(third.size(), 1);
    QVERIFY(child<QLabel>(map, "username")->text().contains(third.first().username));
    QCOMPARE(map->poslat(), third.first().lat.toFloat());
    QCOMPARE(map->poslng(), third.first().lng.toFloat());
    QCOMPARE(child<MapView>(map, "mapView")->annotations().size(), 1);
    QVERIFY(!map->grab().isNull());

    // An hour on, the third rider has dropped out and everyone below moved up: the list
    // and the map show who holds each rank now.
    QByteArray ranking = "[";
    for (int rank = 1, count = MyPaiMingInfo::GetCount(); rank <= count; ++rank) {
        if (rank == 3)
            continue;
        const RiderInfo rider = MyPaiMingInfo::GetValue(QString::number(rank)).first();
        ranking +=
            QStringLiteral(R"(%1{"username":"%2","level":"%3","levelname":"%4",)"
                           R"("paiming":"%5","touxiangpath":"","lat":"%6","lng":"%7"})")
                .arg(ranking.size() > 1 ? "," : "", rider.username, rider.level, rider.levelname,
                     QString::number(rank < 3 ? rank : rank - 1), rider.lat, rider.lng)
                .toUtf8();
    }
    const QString fourth = MyPaiMingInfo::GetValue(QStringLiteral("4")).first().username;
    m_sim->addFault(SimFault::raw(ranking + "]", "/TolvarGetPaiMingIOS.php"));
    const int rows = MyPaiMingInfo::GetCount();
    m_loop->advanceSeconds(3600);
    QVERIFY(EventWait::until([&] { return MyPaiMingInfo::GetCount() == rows - 1; }));
    QCOMPARE(MyPaiMingInfo::GetValue(QStringLiteral("3")).size(), 1);
    QCOMPARE(MyPaiMingInfo::GetValue(QStringLiteral("3")).first().username, fourth);
    QCOMPARE(list->numberOfRowsInSection(child<TableView>(list, "tableView"), 0), rows - 1);
    list->didSelectRowAtIndexPath(child<TableView>(list, "tableView"), 2);
    QVERIFY(
        EventWait::until([&] { return child<QLabel>(map, "username")->text().contains(fourth); }));
    newRequests();
}

void tst_RiderSession::nextStartSwitchesTheUser()
{
    // The next start finds the device registered and opens the login screen.
    delete m_storyboard;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_storyboard = new Storyboard(m_host.get());
    ScreenCatalog::install(*m_storyboard, m_app->delegate->context());
    connect(m_storyboard, &Storyboard::seguePerformed, this,
            [this](const QString& id, Screen*) { m_segues.append(id); });
    m_storyboard->start(QString::fromLatin1(ScreenCatalog::FirstScreen));
    m_loop->advanceSeconds(2);
    QVERIFY(EventWait::until([&] { return top<ViewControllerLogin>() != nullptr; }));
    QCOMPARE(m_segues.last(), QStringLiteral("WelcomGoToLogin"));
    const QStringList requests = newRequests();
    QVERIFY2(requests == QStringList{"/TolvarDevId.php?devid=86000002&wd=mirt"},
             qPrintable(requests.join(" | ")));
    auto* login = top<ViewControllerLogin>();
    QCOMPARE(child<TextField>(login, "TextUserName")->text(), QStringLiteral("neo01"));
    m_sim->addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarLoginIOS.php"));
    child<TextField>(login, "TextPwd")->setText("wrong&pw");
    const int errors = int(m_log->matching("error = ").size());
    child<Button>(login, "LoginButton")->click();
    QVERIFY(waitForLog("error = ", errors + 1));
    pressOnlyAlert(QStringLiteral("确定"));
    newRequests();

    login->tapPageTouXiang();
    pressOnlyAlert(QStringLiteral("切换"));
    QCOMPARE(m_segues.last(), QStringLiteral("LoginGoToWelcom"));
    // The local database is empty again and the fresh welcome screen routes to binding.
    QCOMPARE(value("devid"), QStringLiteral("0"));
    QCOMPARE(value("localusername"), QStringLiteral("0"));
    m_loop->advanceSeconds(2);
    QVERIFY(EventWait::until([&] { return top<ViewControllerDevID>() != nullptr; }));
    QCOMPARE(m_segues.last(), QStringLiteral("GoToDevID"));
    QCOMPARE(newRequests(), QStringList());
    // Registration, a failed registration, a failed login and the settings dumps of
    // every start: no password in any line of the day.
    const QString log = m_log->lines().join('\n');
    for (const char* secret : {"pass&1", "pass%261", "wrong&pw", "wrong%26pw"})
        QVERIFY2(!log.contains(QLatin1String(secret)), secret);
}

QTEST_MAIN(tst_RiderSession)
#include "tst_RiderSession.moc"
