#include "platform/Clock.h"
#include "platform/ManualTimerLoop.h"
#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/location/LocationManager.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/share/LocalShareService.h"
#include "platform/share/SendMessageRequest.h"
#include "platform/ui/TrayNotificationPresenter.h"

#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNmeaPositionInfoSource>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Patience = 20000;
const QDateTime Start(QDate(2026, 3, 5), QTime(14, 7, 9));
const QString ThreeFixes = QStringLiteral(LVXING_TEST_DATA "/route/three_fixes.nmea");

// Every fix the manager reports, as {latitude, longitude, accuracy}.
std::shared_ptr<QList<QList<double>>> record(LocationManager& manager)
{
    auto fixes = std::make_shared<QList<QList<double>>>();
    QObject::connect(&manager, &LocationManager::didUpdateLocation, &manager,
                     [fixes](double lat, double lng, double a) {
                         fixes->append({lat, lng, a});
                     });
    return fixes;
}

// A position source driven by hand.
struct FakeSource : QGeoPositionInfoSource
{
    FakeSource() : QGeoPositionInfoSource(nullptr) {}
    QGeoPositionInfo lastKnownPosition(bool) const override { return {}; }
    PositioningMethods supportedPositioningMethods() const override
    {
        return AllPositioningMethods;
    }
    int minimumUpdateInterval() const override { return 0; }
    Error error() const override { return NoError; }
    void startUpdates() override { running = true; }
    void stopUpdates() override { running = false; }
    void requestUpdate(int) override {}
    void deliver(double lat, double lng, double accuracy = -1)
    {
        QGeoPositionInfo info(QGeoCoordinate(lat, lng), QDateTime::currentDateTimeUtc());
        if (accuracy >= 0)
            info.setAttribute(QGeoPositionInfo::HorizontalAccuracy, accuracy);
        emit positionUpdated(info);
    }
    bool running = false;
};

LocalNotification alarm(const QDateTime& when, const QString& body)
{
    LocalNotification n;
    n.fireDate = when;
    n.alertBody = body;
    n.applicationIconBadgeNumber = 1;
    n.userInfo.insert(QStringLiteral("key"), body + " message");
    return n;
}

SendMessageRequest imageRequest(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    MediaMessage message;
    message.setThumbImage(picture.scaled(20, 20), "touxiang1.png");
    ImageObject object;
    object.setImageData(png);
    message.setMediaObject(object);
    SendMessageRequest request;
    request.setMessage(message);
    request.setScene(SendMessageRequest::SceneTimeline);
    return request;
}

} // namespace

// The services under the screens: timers, in-app and local notifications,
// positions and sharing.
class tst_PlatformServices : public QObject
{
    Q_OBJECT

private slots:
    void timersTickInTimeOrder();
    void timerPausedResumedAndInvalidated();
    void timerRunsOnTheEventLoopWithoutAManualLoop();
    void notificationsByNameAndOwner();
    void locationFromASourceAndAfterStop();
    void replayLoopsAndFallsBackToTheDemoRide();
    void localNotificationsScheduleAndCancel();
    void dueAlarmGoesToTheAppInFrontAndToTheTrayBehind();
    void shareWritesPictureAndDescription();
};

void tst_PlatformServices::timersTickInTimeOrder()
{
    FakeClock clock;
    const QDateTime start = clock.now();
    ManualTimerLoop loop(&clock);
    QStringList order;
    Timer slow(1.0, true, [&] { order << QString::number(start.msecsTo(clock.now())); });
    Timer fast(0.4, true, [&] { order << "fast"; });
    QObject context;
    auto* gone = new QObject;
    Timer::singleShot(0.5, &context, [&] { order << "once"; });
    Timer::singleShot(0.5, gone, [&] { order << "gone"; });
    delete gone;
    loop.advance(399);
    QVERIFY(order.isEmpty());
    loop.advance(1601);
    QCOMPARE(order, QStringList({"fast", "once", "fast", "1000", "fast", "fast", "2000", "fast"}));
    QCOMPARE(loop.armedCount(), 2);
}

void tst_PlatformServices::timerPausedResumedAndInvalidated()
{
    ManualTimerLoop loop;
    int ticks = 0;
    Timer* self = nullptr;
    Timer timer(1.0, true, [&] {
        if (++ticks == 3)
            self->setFireDate(Timer::FireDate::DistantFuture); // from inside its own action
    });
    self = &timer;
    loop.advanceSeconds(3600);
    QCOMPARE(ticks, 3);
    timer.setFireDate(Timer::FireDate::DistantPast); // at once, then every interval
    loop.runDue();
    QCOMPARE(ticks, 4);
    loop.advance(999);
    QCOMPARE(ticks, 4);
    loop.advance(1);
    QCOMPARE(ticks, 5);
    timer.invalidate();
    timer.setFireDate(Timer::FireDate::DistantPast);
    timer.fire();
    loop.advanceSeconds(10);
    QCOMPARE(ticks, 5);
    Timer oneShot(1.0, false, [&] { ++ticks; });
    loop.advanceSeconds(5);
    QCOMPARE(ticks, 6);
    QVERIFY(!oneShot.isValid());
}

void tst_PlatformServices::timerRunsOnTheEventLoopWithoutAManualLoop()
{
    int ticks = 0;
    Timer timer(3600.0, true, [&] { ++ticks; });
    timer.setFireDate(Timer::FireDate::DistantPast);
    QTRY_COMPARE_WITH_TIMEOUT(ticks, 1, Patience);
}

void tst_PlatformServices::notificationsByNameAndOwner()
{
    NotificationCenter centre;
    QStringList heard;
    auto* page = new QObject;
    QObject sender;
    int second = 0;
    const int first = centre.addObserver("n", [&](const Notification& n) {
        heard << "a" + n.userInfo.value("row").toString() + (n.object == &sender ? "s" : "");
        centre.removeObserver(second); // observers may change the centre while it delivers
        centre.addObserver("n", [&](const Notification&) { heard << "late"; });
    });
    second = centre.addObserver("n", [&](const Notification&) { heard << "second"; });
    centre.addObserver("other", [&](const Notification&) { heard << "x"; });
    centre.addObserver(
        "n", [&](const Notification&) { heard << "b"; }, page);
    centre.addObserver(
        "m", [&](const Notification&) { heard << "c"; }, page);
    centre.post("n", &sender, {{"row", 3}});
    QCOMPARE(heard, QStringList({"a3s", "b"}));
    heard.clear();
    centre.removeObserver(first);
    centre.removeObserver(page, "n");
    centre.post("n");
    centre.post("m");
    QCOMPARE(heard, QStringList({"late", "c"}));
    heard.clear();
    delete page; // an owner gone takes its observers along
    centre.post("m");
    QVERIFY(heard.isEmpty());
    QCOMPARE(centre.observerCount(), 2);
}

void tst_PlatformServices::locationFromASourceAndAfterStop()
{
    LocationManager manager;
    auto fixes = record(manager);
    auto* nmea = new QNmeaPositionInfoSource(QNmeaPositionInfoSource::SimulationMode);
    auto* file = new QFile(ThreeFixes, nmea);
    QVERIFY(file->open(QIODevice::ReadOnly));
    nmea->setUserEquivalentRangeError(2.5);
    nmea->setDevice(file);
    manager.setSource(nmea);
    manager.startUpdatingLocation();
    QTRY_VERIFY_WITH_TIMEOUT(!fixes->isEmpty(), Patience);
    // 30°16.4460' N, 120°09.3060' E with an HDOP of 1.0.
    QCOMPARE(fixes->first()[0], 30.2741);
    QCOMPARE(fixes->first()[1], 120.1551);
    QCOMPARE(fixes->first()[2], 5.0);

    LocationManager handDriven;
    fixes = record(handDriven);
    auto* source = new FakeSource;
    handDriven.setSource(source);
    handDriven.startUpdatingLocation();
    source->deliver(30.5, 120.5, 4.0);
    handDriven.stopUpdatingLocation();
    QVERIFY(!source->running);
    source->deliver(30.6, 120.6, 4.0); // queued before the stop: dropped
    handDriven.startUpdatingLocation();
    QVERIFY(source->running);
    source->deliver(30.7, 120.7);    // no accuracy reads as -1
    source->deliver(91.0, 0.0, 1.0); // no such place: dropped
    handDriven.injectLocation(-33.8688, -151.2093, 8.0);
    QCOMPARE(*fixes, (QList<QList<double>>{
                         {30.5, 120.5, 4.0}, {30.7, 120.7, -1.0}, {-33.8688, -151.2093, 8.0}}));
}

void tst_PlatformServices::replayLoopsAndFallsBackToTheDemoRide()
{
    LocationManager manager;
    auto fixes = record(manager);
    manager.setReplayFile(ThreeFixes);
    manager.setReplayRestartDelay(20);
    manager.startUpdatingLocation();
    QTRY_VERIFY_WITH_TIMEOUT(fixes->size() >= 7, Patience);
    QList<double> accuracies; // three fixes (HDOP 1.0, 1.4, 2.0), then from the start again
    for (int i = 0; i < 7; ++i)
        accuracies.append(fixes->at(i)[2]);
    QCOMPARE(accuracies, (QList<double>{5.0, 7.0, 10.0, 5.0, 7.0, 10.0, 5.0}));

    // The test runner hides the platform's position plugins, as on a machine
    // without GPS.
    LocationManager demo;
    fixes = record(demo);
    demo.startUpdatingLocation();
    QCOMPARE(demo.replaying(), QString::fromLatin1(LocationManager::DemoRoute));
    QTRY_VERIFY_WITH_TIMEOUT(!fixes->isEmpty(), Patience);
    QVERIFY(qAbs(fixes->first()[0] - 30.2741) < 0.001);

    LocationManager missing;
    missing.setReplayFile(QStringLiteral("/nonexistent/route.nmea"));
    missing.startUpdatingLocation();
    QCOMPARE(missing.replaying(), QString());
}

void tst_PlatformServices::localNotificationsScheduleAndCancel()
{
    QDateTime now = Start;
    LocalNotificationCenter center;
    center.setNow([&now] { return now; });
    center.scheduleLocalNotification(alarm(Start.addSecs(60), "a"));
    const LocalNotification b = center.scheduleLocalNotification(alarm(Start.addSecs(60), "b"));
    center.scheduleLocalNotification(alarm(Start.addSecs(30), "c"));
    center.scheduleLocalNotification(alarm(Start.addSecs(-5), "overdue"));
    center.cancelLocalNotification(b);
    center.deliverDue();
    QCOMPARE(center.delivered().size(), 1);
    QCOMPARE(center.scheduledLocalNotifications().first().alertBody, QStringLiteral("a"));
    now = Start.addSecs(29);
    center.deliverDue();
    QCOMPARE(center.delivered().size(), 1);
    now = Start.addSecs(30);
    center.deliverDue();
    QCOMPARE(center.delivered().last().alertBody, QStringLiteral("c"));
    center.cancelAllLocalNotifications();
    now = Start.addSecs(3600);
    center.deliverDue();
    QCOMPARE(center.delivered().size(), 2);

    QSignalSpy answered(&center, &LocalNotificationCenter::didRegisterUserNotificationSettings);
    center.registerUserNotificationSettings(LocalNotificationCenter::Alert);
    QCOMPARE(answered.size(), 0); // answered from the event loop
    QVERIFY(answered.wait(Patience));
    QSignalSpy active(&center, &LocalNotificationCenter::applicationDidBecomeActive);
    for (bool state : {true, true, false, true})
        center.setApplicationActive(state);
    QCOMPARE(active.size(), 2);
}

void tst_PlatformServices::dueAlarmGoesToTheAppInFrontAndToTheTrayBehind()
{
    LocalNotificationCenter center;
    center.setNow([] { return Start; });
    TrayNotificationPresenter tray(&center);
    QSignalSpy presented(&center, &LocalNotificationCenter::presentLocalNotification);
    QSignalSpy received(&center, &LocalNotificationCenter::didReceiveLocalNotification);
    tray.setApplicationState(Qt::ApplicationActive);
    center.scheduleLocalNotification(alarm(Start, "电量报警"));
    QCOMPARE(received.size(),
             0); // due at once, but delivered from the event loop
    QVERIFY(received.wait(Patience));
    QCOMPARE(presented.size(), 0);
    QCOMPARE(center.applicationIconBadgeNumber(),
             0); // in front the app sets the badge
    QCOMPARE(tray.lastTitle(), QString());

    tray.setApplicationState(Qt::ApplicationHidden);
    center.scheduleLocalNotification(alarm(Start, "围栏报警"));
    QVERIFY(presented.wait(Patience));
    QCOMPARE(received.size(), 1);
    QCOMPARE(center.applicationIconBadgeNumber(), 1);
    QCOMPARE(tray.lastTitle(), QStringLiteral("围栏报警"));
    QCOMPARE(tray.lastMessage(), QStringLiteral("围栏报警 message"));
}

void tst_PlatformServices::shareWritesPictureAndDescription()
{
    QTemporaryDir dir;
    FakeClock clock;
    clock.set(QDateTime(QDate(2026, 12, 6), QTime(10, 15, 2)));
    LocalShareService share;
    QVERIFY(!share.registerApp("wx0F3A9C57E21B6D48"));
    QVERIFY(!share.registerApp("wx0f3a9c57e21b6d4"));
    QVERIFY(share.registerApp("wx0f3a9c57e21b6d48"));
    share.setOutboxFolder(dir.filePath("outbox"));
    share.setClock(&clock);
    QImage picture(32, 48, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(share.sendReq(imageRequest(picture)));
    const QString first = share.lastSentFile();
    QCOMPARE(QFileInfo(first).fileName(), QString("share-20261206-101502.json"));
    QFile file(first);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QVariantMap sent = QJsonDocument::fromJson(file.readAll()).object().toVariantMap();
    QCOMPARE(sent["scene"].toInt(), 1);
    QCOMPARE(sent["thumbnail"].toString(), QString("touxiang1.png"));
    QCOMPARE(sent["imageSize"].toList(), QVariantList({32, 48}));
    QCOMPARE(sent["time"].toString(), QString("2026-12-06T10:15:02"));
    const QImage written(QDir(dir.filePath("outbox")).filePath(sent["image"].toString()));
    QCOMPARE(written.pixelColor(3, 3), QColor(Qt::blue));
    QVERIFY(share.sendReq(imageRequest(picture))); // the same second: both kept
    QVERIFY(share.lastSentFile() != first);
    QCOMPARE(QDir(dir.filePath("outbox")).entryList({"*.json", "*.png"}).size(), 4);

    share.setOutboxFolder(first + "/outbox"); // under a plain file
    QVERIFY(!share.sendReq(imageRequest(picture)));
}

QTEST_MAIN(tst_PlatformServices)
#include "tst_PlatformServices.moc"
