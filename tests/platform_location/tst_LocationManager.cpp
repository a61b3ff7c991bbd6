#include "platform/location/LocationManager.h"

#include <QNmeaPositionInfoSource>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <optional>

// Where the location updates come from and what each one carries.
class tst_LocationManager : public QObject
{
    Q_OBJECT

private slots:
    void switchesKeepWhatWasSet();
    void injectedSourceDeliversCoordinatesAndAccuracy();
    void stopEndsUpdatesUntilStartedAgain();
    void replayLoopsBackToTheFirstFix();
    void withoutPlatformSourceTheDemoRideReplays();
    void missingReplayFileIsLoggedNotFatal();

private:
    static QString shortRoute()
    {
        return QStringLiteral(LVXING_TEST_DATA "/route/three_fixes.nmea");
    }
};

namespace {

struct Update
{
    double latitude;
    double longitude;
    double accuracy;
    bool onMainThread;
};

QList<Update>* record(LocationManager& manager)
{
    auto* updates = new QList<Update>;
    QObject::connect(
        &manager, &LocationManager::didUpdateLocation, &manager,
        [updates](double lat, double lng, double accuracy) {
            updates->append({lat, lng, accuracy, QThread::currentThread() == qApp->thread()});
        });
    QObject::connect(&manager, &QObject::destroyed, [updates] { delete updates; });
    return updates;
}

// A position source the test drives by hand.
class FakeSource : public QGeoPositionInfoSource
{
public:
    FakeSource() : QGeoPositionInfoSource(nullptr) {}
    QGeoPositionInfo lastKnownPosition(bool) const override { return {}; }
    PositioningMethods supportedPositioningMethods() const override
    {
        return SatellitePositioningMethods;
    }
    int minimumUpdateInterval() const override { return 0; }
    Error error() const override { return NoError; }
    void startUpdates() override { running = true; }
    void stopUpdates() override { running = false; }
    void requestUpdate(int) override {}
    void deliver(double lat, double lng, std::optional<double> accuracy)
    {
        QGeoPositionInfo info(QGeoCoordinate(lat, lng), QDateTime::currentDateTimeUtc());
        if (accuracy)
            info.setAttribute(QGeoPositionInfo::HorizontalAccuracy, *accuracy);
        emit positionUpdated(info);
    }

    bool running = false;
};

QNmeaPositionInfoSource* nmeaSource(const QString& path)
{
    auto* source = new QNmeaPositionInfoSource(QNmeaPositionInfoSource::SimulationMode);
    auto* file = new QFile(path, source);
    file->open(QIODevice::ReadOnly);
    source->setUserEquivalentRangeError(2.5);
    source->setDevice(file);
    return source;
}

} // namespace

void tst_LocationManager::switchesKeepWhatWasSet()
{
    LocationManager manager;
    QVERIFY(manager.pausesLocationUpdatesAutomatically());
    QVERIFY(!manager.allowsBackgroundLocationUpdates());
    manager.setPausesLocationUpdatesAutomatically(false);
    manager.setAllowsBackgroundLocationUpdates(true);
    QVERIFY(!manager.pausesLocationUpdatesAutomatically());
    QVERIFY(manager.allowsBackgroundLocationUpdates());
    QVERIFY(!manager.isUpdating());
}

void tst_LocationManager::injectedSourceDeliversCoordinatesAndAccuracy()
{
    LocationManager manager;
    QList<Update>* updates = record(manager);
    manager.setSource(nmeaSource(shortRoute()));
    manager.startUpdatingLocation();
    QTRY_VERIFY(!updates->isEmpty());
    // 30°16.4460' N, 120°09.3060' E with an HDOP of 1.0.
    const Update first = updates->first();
    QCOMPARE(first.latitude, 30.2741);
    QCOMPARE(first.longitude, 120.1551);
    QCOMPARE(first.accuracy, 5.0);
    QVERIFY(first.onMainThread);

    manager.injectLocation(-33.8688, -151.2093, 8.0);
    QCOMPARE(updates->last().latitude, -33.8688);
    QCOMPARE(updates->last().longitude, -151.2093);
    QCOMPARE(updates->last().accuracy, 8.0);
}

void tst_LocationManager::stopEndsUpdatesUntilStartedAgain()
{
    LocationManager manager;
    QList<Update>* updates = record(manager);
    auto* source = new FakeSource;
    manager.setSource(source);
    manager.startUpdatingLocation();
    QVERIFY(source->running);
    source->deliver(30.5, 120.5, 4.0);
    manager.stopUpdatingLocation();
    QVERIFY(!source->running);
    QVERIFY(!manager.isUpdating());
    // A fix the source had already queued when it was stopped is not delivered.
    source->deliver(30.6, 120.6, 4.0);
    manager.startUpdatingLocation();
    QVERIFY(source->running);
    source->deliver(30.7, 120.7, std::nullopt);
    source->deliver(91.0, 0.0, 1.0);
    QCOMPARE(updates->size(), 2);
    QCOMPARE(updates->at(0).latitude, 30.5);
    QCOMPARE(updates->at(1).latitude, 30.7);
    // No accuracy in the fix reads as -1, and an invalid coordinate is dropped.
    QCOMPARE(updates->at(1).accuracy, -1.0);
}

void tst_LocationManager::replayLoopsBackToTheFirstFix()
{
    LocationManager manager;
    QList<Update>* updates = record(manager);
    manager.setReplayFile(shortRoute());
    manager.setReplayRestartDelay(20);
    manager.startUpdatingLocation();
    QTRY_VERIFY(updates->size() >= 7);
    QList<double> accuracies;
    for (const Update& update : *updates)
        accuracies.append(update.accuracy);
    // Three fixes (HDOP 1.0, 1.4, 2.0), then the route again from its start.
    QCOMPARE(accuracies.mid(0, 7), (QList<double>{5.0, 7.0, 10.0, 5.0, 7.0, 10.0, 5.0}));
    QCOMPARE(updates->at(3).latitude, updates->at(0).latitude);
    QVERIFY(updates->at(2).latitude > updates->at(1).latitude);
}

void tst_LocationManager::withoutPlatformSourceTheDemoRideReplays()
{
    // Inside the test runner the platform's position plugins are hidden, as on
    // a machine without a GPS.
    LocationManager manager;
    QList<Update>* updates = record(manager);
    manager.startUpdatingLocation();
    QCOMPARE(manager.replaying(), QString::fromLatin1(LocationManager::DemoRoute));
    QTRY_VERIFY(!updates->isEmpty());
    const Update first = updates->first();
    QVERIFY(qAbs(first.latitude - 30.2741) < 0.001);
    QVERIFY(qAbs(first.longitude - 120.1551) < 0.001);
    QVERIFY(first.accuracy > 0);
}

void tst_LocationManager::missingReplayFileIsLoggedNotFatal()
{
    LocationManager manager;
    QList<Update>* updates = record(manager);
    manager.setReplayFile(QStringLiteral("/nonexistent/route.nmea"));
    manager.startUpdatingLocation();
    QCOMPARE(manager.replaying(), QString());
    manager.injectLocation(30.0, 120.0, 3.0);
    QCOMPARE(updates->size(), 1);
}

QTEST_GUILESS_MAIN(tst_LocationManager)
#include "tst_LocationManager.moc"
