#include "EventWait.h"
#include "LongRide.h"
#include "TrackFollower.h"

#include "platform/Log.h"
#include "platform/location/LocationManager.h"
#include "platform/notify/Haptics.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "poll/MyUtil.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtTest>

// A whole day of riding: the tracker reports a point every second for 24
// simulated hours (86,400 points) while the status poll and the track poll run;
// the ride finishes with every point received once and the store on the last
// position.
class tst_LongRide : public QObject
{
    Q_OBJECT

private slots:
    void aDayOfTrackThroughBothPolls();

private:
    static constexpr const char* Devid = "86000001";
    static constexpr double BaseLat = 30.2741;
    static constexpr double BaseLng = 120.1551;
};

void tst_LongRide::aDayOfTrackThroughBothPolls()
{
    constexpr int Day = 24 * 3600;
    // The simulator runs ahead of the app: each batch is one track answer's worth.
    constexpr int Batch = 500;
    Log::Quiet quiet;
    DeviceServerSimulator sim;
    QVERIFY(sim.listen() != 0);
    sim.setPosition(Devid, BaseLat, BaseLng);
    sim.setPower(Devid, 40.0);
    sim.setBanlvstate(Devid, 3);
    LocalNotificationCenter center;
    Haptics haptics;
    LocationManager location;
    TestApp app;
    app.delegate->setServerUrl(sim.baseUrl().toString());
    app.delegate->setNotificationCenter(&center);
    app.delegate->setHaptics(&haptics);
    int polls = 0;
    connect(app.delegate->networkAccessManager(), &QNetworkAccessManager::finished, this,
            [&polls](QNetworkReply* reply) {
                if (reply->url().path() == QLatin1String("/TolvarGetEveryThingTimerIOS.php"))
                    ++polls;
            });
    connect(&location, &LocationManager::didUpdateLocation, this, [] { MyUtil::GetEveryThing(); });
    MyUtil::InitMyDateBase();
    MyBasicInfo::SetValue("devid", Devid);
    Log::Capture log;
    location.injectLocation(BaseLat, BaseLng, 10);

    LongRide ride(sim, Devid, BaseLat, BaseLng);
    TrackFollower follower(Devid);
    const qint64 before = sim.track(Devid).last().serverid;
    // The track so far (the standing reports of the morning) fits one answer.
    QVERIFY(follower.tick());
    QVERIFY(EventWait::until([&] { return !follower.inFlight(); }));
    QCOMPARE(follower.lastServerId(), before);
    int batches = 0;
    while (ride.elapsed() < Day) {
        ride.ride(std::min(Batch, Day - ride.elapsed()));
        ++batches;
        app.clock.advance(Batch);
        location.injectLocation(BaseLat, BaseLng, 10);
        QVERIFY(follower.tick());
        const qint64 newest = sim.track(Devid, follower.lastServerId()).last().serverid;
        QVERIFY(EventWait::until([&] { return !follower.inFlight() && polls == batches; }));
        QCOMPARE(follower.lastServerId(), newest);
        QCOMPARE(MyBasicInfo::GetValue("lat"), QString::number(ride.latAt(ride.elapsed()), 'f', 6));
    }

    QCOMPARE(batches, (Day + Batch - 1) / Batch);
    QCOMPARE(follower.failures(), 0);
    QCOMPARE(follower.stalePoints(), 0);
    const QList<TrackPoint>& points = follower.points();
    QCOMPARE(points.last().serverid.toLongLong() - before, qint64(Day));
    qsizetype first = points.size() - Day;
    QCOMPARE(points.at(first).serverid.toLongLong(), before + 1);
    for (qsizetype i = first + 1; i < points.size(); ++i)
        QCOMPARE(points.at(i).serverid.toLongLong(), points.at(i - 1).serverid.toLongLong() + 1);
    QCOMPARE(points.last().lat, QString::number(ride.latAt(Day), 'f', 6));
    QCOMPARE(points.last().lng, QString::number(ride.lngAt(Day), 'f', 6));
    QCOMPARE(MyBasicInfo::GetValue("lng"), points.last().lng);
    // The ride leaves the fence once and never comes back: one alarm.
    QCOMPARE(log.count("围栏报警"), 1);
    QTRY_COMPARE(center.delivered().size(), 1);
    QCOMPARE(log.count("电量报警"), 0);
}

QTEST_GUILESS_MAIN(tst_LongRide)
#include "tst_LongRide.moc"
