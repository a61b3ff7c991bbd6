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
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNmeaPositionInfoSource>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Patience = 20000;
const QDateTime Start(QDate(2026, 3, 5), QTime(14, 7, 9));

struct Fix
{
    double latitude, longitude, accuracy;
};

// Every fix the manager reports, kept until the manager is gone.
QList<Fix>* record(LocationManager& manager)
{
    auto* fixes = new QList<Fix>;
    QObject::connect(&manager, &LocationManager::didUpdateLocation, &manager,
                     [fixes](double lat, double lng, double a) { fixes->append({lat, lng, a}); });
    QObject::connect(&manager, &QObject::destroyed, [fixes] { delete fixes; });
    return fixes;
}

// A position source driven by hand.
class FakeSource : public QGeoPositionInfoSource
{
public:
    FakeSource() : QGeoPositionInfoSource(nullptr) {}
    QGeoPositionInfo lastKnownPosition(bool) const override { return {}; }
    PositioningMethods supportedPositioningMethods() const override { return AllPositioningMethods; }
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

const QString ThreeFixes = QStringLiteral(LVXING_TEST_DATA "/route/three_fixes.nmea");

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
    QImage thumb(20, 20, QImage::Format_RGB32);
    thumb.fill(Qt::green);
    MediaMessage message;
    message.setThumbImage(thumb, "touxiang1.png");
    ImageObject object;
    object.setImageData(png);
    message.setMediaObject(object);
    SendMessageRequest request;
    request.setMessage(message);
    request.setScene(SendMessageRequest::SceneTimeline);
    return request;
}

} // namespace

// The services under the screens: timers, in-app and local notifications, positions and
// sharing.
class tst_PlatformServices : public QObject
{
    Q_OBJECT

private slots:
    void timersTickInTimeOrder();
    void timerPausedResumedAndInvalidated();
    void singleShotNeedsItsContext();
    void timerRunsOnTheEventLoopWithoutAManualLoop();
    void notificationsByNameAndOwner();
    void observersChangingTheCentreDuringDelivery();
    void locationFromASourceAndAfterStop();
    void replayLoopsAndFallsBackToTheDemoRide();
    void localNotificationsScheduleAndCancel();
    void dueAlarmGoesToTheAppInFrontAndToTheTrayBehind();
    void registrationAndActivityAreReported();
    void shareWritesPictureAndDescription();
    void shareFailureIsReportedAsFailure();
};

void tst_PlatformServices::timersTickInTimeOrder()
{
    FakeClock clock;
    const QDateTime start = clock.now();
    ManualTimerLoop loop(&clock);
    QStringList order;
    Timer slow(1.0, true, [&] { order << QString::number(start.msecsTo(clock.now())); });
    Timer fast(0.4, true, [&] { order << "fast"; });
    loop.advance(399);
    QVERIFY(order.isEmpty());
    loop.advance(1601);
    QCOMPARE(order, QStringList({"fast", "fast", "1000", "fast", "fast", "2000", "fast"}));
    QCOMPARE(start.msecsTo(clock.now()), 2000);
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
    QVERIFY(timer.isValid());
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

    int once = 0;
    Timer oneShot(1.0, false, [&] { ++once; });
    loop.advanceSeconds(5);
    QCOMPARE(once, 1);
    QVERIFY(!oneShot.isValid());
}

void tst_PlatformServices::singleShotNeedsItsContext()
{
    ManualTimerLoop loop;
    QObject context;
    auto* gone = new QObject;
    int calls = 0;
    Timer::singleShot(2.0, &context, [&] { ++calls; });
    Timer::singleShot(1.0, gone, [&] { calls += 100; });
    delete gone;
    loop.advanceSeconds(10);
    QCOMPARE(calls, 1);
    QCOMPARE(loop.armedCount(), 0);
}

void tst_PlatformServices::timerRunsOnTheEventLoopWithoutAManualLoop()
{
    int ticks = 0;
    Timer timer(3600.0, true, [&] { ++ticks; });
    timer.setFireDate(Timer::FireDate::DistantPast);
    QTRY_COMPARE_WITH_TIMEOUT(ticks, 1, Patience);
    timer.setFireDate(Timer::FireDate::DistantFuture);
    QVERIFY(!timer.isScheduled());
}

void tst_PlatformServices::notificationsByNameAndOwner()
{
    NotificationCenter centre;
    QStringList heard;
    auto* page = new QObject;
    QObject sender;
    const int token = centre.addObserver("n", [&](const Notification& n) {
        heard << "a" + n.userInfo.value("row").toString() + (n.object == &sender ? "s" : "");
    });
    centre.addObserver("other", [&](const Notification&) { heard << "x"; });
    centre.addObserver("n", [&](const Notification&) { heard << "b"; }, page);
    centre.addObserver("m", [&](const Notification&) { heard << "c"; }, page);
    centre.post("n", &sender, {{"row", 3}});
    QCOMPARE(heard, QStringList({"a3s", "b"}));
    heard.clear();
    centre.removeObserver(token);
    centre.removeObserver(page, "n");
    centre.post("n");
    centre.post("m");
    QCOMPARE(heard, QStringList({"c"}));
    heard.clear();
    delete page; // an owner gone takes its observers along
    centre.post("m");
    QVERIFY(heard.isEmpty());
    QCOMPARE(centre.observerCount(), 1);
}

void tst_PlatformServices::observersChangingTheCentreDuringDelivery()
{
    NotificationCenter centre;
    QStringList heard;
    int second = 0;
    centre.addObserver("n", [&](const Notification&) {
        heard << "first";
        centre.removeObserver(second);
        centre.addObserver("n", [&](const Notification&) { heard << "late"; });
    });
    second = centre.addObserver("n", [&](const Notification&) { heard << "second"; });
    centre.addObserver("n", [&](const Notification&) { heard << "third"; });
    centre.post("n");
    QCOMPARE(heard, QStringList({"first", "third"}));
    heard.clear();
    centre.post("n");
    QCOMPARE(heard, QStringList({"first", "third", "late"}));
}

void tst_PlatformServices::locationFromASourceAndAfterStop()
{
    LocationManager manager;
    QList<Fix>* fixes = record(manager);
    auto* nmea = new QNmeaPositionInfoSource(QNmeaPositionInfoSource::SimulationMode);
    auto* file = new QFile(ThreeFixes, nmea);
    QVERIFY(file->open(QIODevice::ReadOnly));
    nmea->setUserEquivalentRangeError(2.5);
    nmea->setDevice(file);
    manager.setSource(nmea);
    manager.startUpdatingLocation();
    QTRY_VERIFY_WITH_TIMEOUT(!fixes->isEmpty(), Patience);
    // 30°16.4460' N, 120°09.3060' E with an HDOP of 1.0.
    QCOMPARE(fixes->first().latitude, 30.2741);
    QCOMPARE(fixes->first().longitude, 120.1551);
    QCOMPARE(fixes->first().accuracy, 5.0);

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
    source->deliver(30.7, 120.7); // no accuracy reads as -1
    source->deliver(91.0, 0.0, 1.0); // no such place: dropped
    handDriven.injectLocation(-33.8688, -151.2093, 8.0);
    QCOMPARE(fixes->size(), 3);
    QCOMPARE(fixes->at(0).latitude, 30.5);
    QCOMPARE(fixes->at(1).latitude, 30.7);
    QCOMPARE(fixes->at(1).accuracy, -1.0);
    QCOMPARE(fixes->at(2).longitude, -151.2093);
}

void tst_PlatformServices::replayLoopsAndFallsBackToTheDemoRide()
{
    LocationManager manager;
    QList<Fix>* fixes = record(manager);
    manager.setReplayFile(ThreeFixes);
    manager.setReplayRestartDelay(20);
    manager.startUpdatingLocation();
    QTRY_VERIFY_WITH_TIMEOUT(fixes->size() >= 7, Patience);
    QList<double> accuracies; // three fixes (HDOP 1.0, 1.4, 2.0), then from the start again
    for (const Fix& fix : *fixes)
        accuracies.append(fix.accuracy);
    QCOMPARE(accuracies.mid(0, 7), (QList<double>{5.0, 7.0, 10.0, 5.0, 7.0, 10.0, 5.0}));

    // The test runner hides the platform's position plugins, as on a machine without GPS.
    LocationManager demo;
    fixes = record(demo);
    demo.startUpdatingLocation();
    QCOMPARE(demo.replaying(), QString::fromLatin1(LocationManager::DemoRoute));
    QTRY_VERIFY_WITH_TIMEOUT(!fixes->isEmpty(), Patience);
    QVERIFY(qAbs(fixes->first().latitude - 30.2741) < 0.001);

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
    const LocalNotification a = center.scheduleLocalNotification(alarm(Start.addSecs(60), "a"));
    const LocalNotification b = center.scheduleLocalNotification(alarm(Start.addSecs(60), "b"));
    center.scheduleLocalNotification(alarm(Start.addSecs(30), "c"));
    center.scheduleLocalNotification(alarm(Start.addSecs(-5), "overdue"));
    QVERIFY(a.id != b.id);
    center.cancelLocalNotification(b);
    center.deliverDue();
    QCOMPARE(center.delivered().size(), 1);
    QCOMPARE(center.delivered().first().alertBody, QStringLiteral("overdue"));
    QCOMPARE(center.scheduledLocalNotifications().size(), 2);
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
    QCOMPARE(received.size(), 0); // due at once, but delivered from the event loop
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, Patience);
    QCOMPARE(presented.size(), 0);
    QCOMPARE(center.applicationIconBadgeNumber(), 0); // in front the app sets the badge
    QCOMPARE(tray.lastTitle(), QString());

    tray.setApplicationState(Qt::ApplicationHidden);
    center.scheduleLocalNotification(alarm(Start, "围栏报警"));
    QTRY_COMPARE_WITH_TIMEOUT(presented.size(), 1, Patience);
    QCOMPARE(received.size(), 1);
    QCOMPARE(center.applicationIconBadgeNumber(), 1);
    QCOMPARE(tray.lastTitle(), QStringLiteral("围栏报警"));
    QCOMPARE(tray.lastMessage(), QStringLiteral("围栏报警 message"));
    QVERIFY(center.scheduledLocalNotifications().isEmpty());
}

void tst_PlatformServices::registrationAndActivityAreReported()
{
    LocalNotificationCenter center;
    QSignalSpy answered(&center, &LocalNotificationCenter::didRegisterUserNotificationSettings);
    const int types = LocalNotificationCenter::Alert | LocalNotificationCenter::Badge;
    center.registerUserNotificationSettings(types);
    QCOMPARE(answered.size(), 0);
    QVERIFY(answered.wait(Patience));
    QCOMPARE(answered.first().first().toInt(), types);

    QSignalSpy active(&center, &LocalNotificationCenter::applicationDidBecomeActive);
    center.setApplicationActive(true);
    center.setApplicationActive(true);
    center.setApplicationActive(false);
    center.setApplicationActive(true);
    QCOMPARE(active.size(), 2);
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
    const QJsonObject sent = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(sent["scene"].toInt(), 1);
    QCOMPARE(sent["thumbnail"].toString(), QString("touxiang1.png"));
    QCOMPARE(sent["thumbnailSize"].toArray(), (QJsonArray{20, 20}));
    QCOMPARE(sent["imageSize"].toArray(), (QJsonArray{32, 48}));
    QCOMPARE(sent["time"].toString(), QString("2026-12-06T10:15:02"));
    const QImage written(QDir(dir.filePath("outbox")).filePath(sent["image"].toString()));
    QCOMPARE(written.pixelColor(3, 3), QColor(Qt::blue));
    // A second send within the same second keeps both.
    QVERIFY(share.sendReq(imageRequest(picture)));
    QVERIFY(share.lastSentFile() != first);
    QCOMPARE(QDir(dir.filePath("outbox")).entryList({"*.json"}).size(), 2);
    QCOMPARE(QDir(dir.filePath("outbox")).entryList({"*.png"}).size(), 2);
}

void tst_PlatformServices::shareFailureIsReportedAsFailure()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    LocalShareService share;
    share.setOutboxFolder(dir.filePath("file/outbox")); // under a plain file
    QVERIFY(!share.sendReq(imageRequest(QImage(4, 4, QImage::Format_RGB32))));
    QVERIFY(share.lastSentFile().isEmpty());
}

QTEST_MAIN(tst_PlatformServices)
#include "tst_PlatformServices.moc"
