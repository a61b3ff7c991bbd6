#include "EventWait.h"
#include "LongRide.h"

#include "platform/ManualTimerLoop.h"
#include "platform/map/MapView.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenCatalog.h"
#include "screens/position/ViewControllerPos.h"
#include "support/PollHarness.h"
#include "support/Widgets.h"

#include <QtTest>

// A whole day of riding: the tracker reports a point every second for 24
// simulated hours (86,400 points) while the position screen's one-second track
// poll and the status poll run on virtual time. The ride finishes with every
// point drawn once, the line unbroken, the marks where the track puts them and
// the store on the last position.
class tst_LongRide : public QObject
{
    Q_OBJECT

private slots:
    void aDayOfTrackThroughThePositionScreen();
};

namespace {

MapCoordinate narrowed(double lat, double lng)
{
    // The screen reads the six-decimal texts as single precision.
    return {double(QString::number(lat, 'f', 6).toFloat()),
            double(QString::number(lng, 'f', 6).toFloat())};
}

} // namespace

void tst_LongRide::aDayOfTrackThroughThePositionScreen()
{
    constexpr int Day = 24 * 3600;
    // The simulator runs ahead of the app: each batch is one full track answer.
    constexpr int Batch = 500;
    using H = PollHarness;
    PollHarness h;
    h.pollOnLocationUpdates();
    h.location.injectLocation(H::BaseLat, H::BaseLng, 10); // arms the status poll
    ManualTimerLoop timers(&h.app.clock);
    QWidget host;
    host.resize(360, 640);
    host.show();
    Storyboard storyboard(&host);
    ScreenCatalog::install(storyboard, h.app.delegate->context());
    auto* screen = storyboard.instantiate<ViewControllerPos>("ViewControllerPos");
    screen->setParent(&host);
    screen->setBaseGeometry(QRect(0, 0, 360, 640));
    screen->show();
    screen->loadViewIfNeeded();
    screen->beginAppearanceTransition(true);
    screen->endAppearanceTransition();
    const TrackFeed* track = screen->trackFeed();
    // The track so far (the morning's standing reports) comes in the first answer.
    const qint64 before = h.sim.track(H::Devid).last().serverid;
    timers.runDue();
    QVERIFY(EventWait::until([&] { return track->lastserverid() == before; }));
    const MapCoordinate start = screen->blackpoint().first()->coordinate();

    LongRide ride(h.sim, H::Devid, H::BaseLat, H::BaseLng);
    int batches = 0;
    while (ride.elapsed() < Day) {
        ride.ride(std::min(Batch, Day - ride.elapsed()));
        ++batches;
        const qint64 newest = h.sim.track(H::Devid, track->lastserverid()).last().serverid;
        timers.advance(qint64(Batch) * 1000);
        h.location.injectLocation(H::BaseLat, H::BaseLng, 10);
        QVERIFY(EventWait::until(
            [&] { return track->lastserverid() == newest && h.pollsFinished == batches; }));
        QCOMPARE(H::value("lat"), QString::number(ride.latAt(ride.elapsed()), 'f', 6));
    }
    // The next tick moves the stop mark to the last point and finds nothing new.
    timers.advance(1000);
    QVERIFY(EventWait::until([&] { return h.log.count("htmlstr = []") == 1; }));

    QCOMPARE(batches, (Day + Batch - 1) / Batch);
    QCOMPARE(track->lastserverid() - before, qint64(Day));
    // One request at a time, each for the points after the last one drawn.
    const QList<SimRequest> requests = h.sim.requestsTo("/TolvarGetGpsInfo.php");
    QCOMPARE(requests.size(), batches + 2);
    QCOMPARE(requests.first().query, QByteArray("devid=86000001&sid=0"));
    QCOMPARE(requests.at(1).query, "devid=86000001&sid=" + QByteArray::number(before));
    QCOMPARE(requests.last().query, "devid=86000001&sid=" + QByteArray::number(before + Day));
    // One line per answer, each starting where the one before ended.
    const QList<MapPolylinePtr>& lines = screen->overlaysLine();
    QCOMPARE(lines.size(), batches + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QCOMPARE(lines.at(i)->coordinate(0),
                 lines.at(i - 1)->coordinate(lines.at(i - 1)->pointCount() - 1));
        const int points = i + 1 < lines.size() || Day % Batch == 0 ? Batch : Day % Batch;
        QCOMPARE(lines.at(i)->pointCount(), qsizetype(points + 1));
    }
    const MapCoordinate last = narrowed(ride.latAt(Day), ride.lngAt(Day));
    QCOMPARE(screen->lastposlat(), float(last.latitude));
    QCOMPARE(screen->lastposlng(), float(last.longitude));
    // The line keeps projected points: back in degrees it is within a hair of the texts.
    const MapCoordinate end = lines.last()->coordinate(lines.last()->pointCount() - 1);
    QVERIFY(std::abs(end.latitude - last.latitude) < 1e-9);
    QVERIFY(std::abs(end.longitude - last.longitude) < 1e-9);
    // A held tracker reports "standing" points: each has its black mark, plus start and stop.
    QCOMPARE(screen->blackpoint().size(), qsizetype(before + Day + 2));
    QCOMPARE(screen->blackpoint().first()->coordinate(), start);
    QCOMPARE(screen->StopAnnotation()->coordinate(), last);
    QCOMPARE(child<MapView>(screen, "mapView")->overlays().size(), lines.size());
    QCOMPARE(H::value("lng"), QString::number(ride.lngAt(Day), 'f', 6));
    // The ride leaves the fence once and never comes back: one alarm.
    QCOMPARE(h.log.count("围栏报警"), 1);
    QTRY_COMPARE(h.center.delivered().size(), 1);
    QCOMPARE(h.log.count("电量报警"), 0);
    QVERIFY(!screen->grab().isNull());
}

QTEST_MAIN(tst_LongRide)
#include "tst_LongRide.moc"
