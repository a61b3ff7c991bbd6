#include "EventWait.h"
#include "LongRide.h"

#include "platform/ManualTimerLoop.h"
#include "platform/map/MapView.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenCatalog.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/profile/ViewControllerMine.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "support/PollHarness.h"

#include <QtTest>

// Long sessions on virtual time. The status poll and the section screens against a device
// server that answers late, fails, talks garbage and drops connections: nothing hangs, nothing
// piles up, the store always holds the last good answer whole, each alarm is raised once and
// every track point is drawn once. And a whole day of riding (86,400 points, one a second)
// through the position screen: every point drawn once, the line unbroken, the marks where the
// track puts them and the store on the last position.
namespace {

MapCoordinate narrowed(double lat, double lng)
{
    // The screen reads the six-decimal texts as single precision.
    return {double(QString::number(lat, 'f', 6).toFloat()),
            double(QString::number(lng, 'f', 6).toFloat())};
}

} // namespace

class tst_LongSessions : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { m_h.reset(); }
    void statusPollsSurviveAMisbehavingServer();
    void sectionScreensSurviveTheSameServer();
    void aDayOfTrackThroughThePositionScreen();

private:
    // The harness over a server that answers late, fails, talks garbage and drops
    // connections, its status poll armed.
    void startMisbehaving();
    // Requests out to `script`: sent and not yet answered or failed.
    int inFlight(const QString& script) const
    {
        return m_h->sent(script) - m_finished.value(script);
    }

    std::unique_ptr<PollHarness> m_h;
    QHash<QString, int> m_finished;
    int m_pollFailures = 0;
};

void tst_LongSessions::startMisbehaving()
{
    SimulatorOptions misbehaving;
    misbehaving.seed = 11;
    misbehaving.latencyMs = 25;
    misbehaving.failRate = 0.20;
    misbehaving.garbageRate = 0.10;
    misbehaving.dropRate = 0.05;
    m_h = std::make_unique<PollHarness>(misbehaving);
    m_h->pollOnLocationUpdates();
    m_finished.clear();
    m_pollFailures = 0;
    connect(m_h->app.delegate->networkAccessManager(), &QNetworkAccessManager::finished, this,
            [this](QNetworkReply* reply) {
                ++m_finished[reply->url().path()];
                m_pollFailures += reply->url().path() == PollHarness::PollScript &&
                                  reply->error() != QNetworkReply::NoError;
            });
    m_h->location.injectLocation(PollHarness::BaseLat, PollHarness::BaseLng, 10); // arms the poll
}

void tst_LongSessions::statusPollsSurviveAMisbehavingServer()
{
    startMisbehaving();
    constexpr int Rounds = 36;
    constexpr int Burst = 4;
    int mostInFlight = 0;
    for (int round = 0; round < Rounds; ++round) {
        if (round == 12)
            m_h->sim.setPosition(PollHarness::Devid, PollHarness::north(60), PollHarness::BaseLng);
        if (round == 24)
            m_h->sim.setPower(PollHarness::Devid, 34.0);
        m_h->sim.advance(Burst * 61);
        // Several location updates a minute apart, sent before any answer is back.
        for (int i = 0; i < Burst; ++i) {
            m_h->locationUpdateAMinuteLater();
            mostInFlight = std::max(mostInFlight, inFlight(PollHarness::PollScript));
        }
        QVERIFY2(EventWait::until([&] { return inFlight(PollHarness::PollScript) == 0; }, 30000),
                 "status requests never finished");
        if (const std::optional<StatusRecord> good = m_h->lastGoodRecord())
            PollHarness::verifyStoreHolds(*good);
        if (round == 11)
            QCOMPARE(m_h->log.count("围栏报警"), 0);
    }
    // Every tick sent one request; the answers came late, so up to a burst was out, no more.
    QCOMPARE(m_h->sent(PollHarness::PollScript), Rounds * Burst);
    QCOMPARE(mostInFlight, Burst);
    const int received = int(m_h->sim.requestsTo(PollHarness::PollScript).size());
    QVERIFY(received >= Rounds * Burst);
    QVERIFY(received <= 2 * Rounds * Burst); // a dropped connection is resent once at most
    // The faults did happen: failures, answers that are not "ok", and good ones.
    int good = 0, bad = 0;
    QVERIFY(m_h->lastGoodRecord(&good, &bad).has_value());
    QVERIFY(m_pollFailures > 0 && bad > 0 && good > Rounds);

    QCOMPARE(m_h->log.count("围栏报警"), 1);
    QCOMPARE(m_h->log.count("电量报警"), 1);
    QTRY_COMPARE(m_h->center.delivered().size(), 2);
    QCOMPARE(PollHarness::value("shangweilanbaojing"), QStringLiteral("1"));
    for (const QString& upload : m_h->queries("/TolvarUpdateWeiLan.php"))
        QVERIFY2(upload.endsWith("wlstate=1") || upload.endsWith("wlstate=0"), qPrintable(upload));

    // What reached the disk is the last good record, whole.
    const std::optional<StatusRecord> last = m_h->lastGoodRecord();
    m_h->restart();
    PollHarness::verifyStoreHolds(*last);
}

void tst_LongSessions::sectionScreensSurviveTheSameServer()
{
    startMisbehaving();
    const QString gps = QStringLiteral("/TolvarGetGpsInfo.php");
    const QString friends = QStringLiteral("/TolvarGetFriendIOS.php");
    const QString ranking = QStringLiteral("/TolvarGetPaiMingIOS.php");
    ManualTimerLoop timers(&m_h->app.clock);
    QWidget host;
    host.resize(360, 640);
    host.show();
    Storyboard storyboard(&host);
    ScreenCatalog::install(storyboard, m_h->app.delegate->context());
    auto* pos = qobject_cast<ViewControllerPos*>(storyboard.start("ViewControllerPos"));
    QVERIFY(pos);

    // Ten minutes with the position screen in front: a point a second, the status poll a
    // minute apart, the screen's timers ticking whether or not answers are back.
    int mostInFlight = 0;
    for (int second = 1; second <= 600; ++second) {
        m_h->sim.advance(1);
        m_h->sim.setPosition(PollHarness::Devid, PollHarness::BaseLat + second * 1e-5,
                             PollHarness::BaseLng);
        timers.advanceSeconds(1);
        if (second % 61 == 0)
            m_h->location.injectLocation(PollHarness::BaseLat, PollHarness::BaseLng, 10);
        QCoreApplication::processEvents();
        mostInFlight = std::max({mostInFlight, inFlight(gps), inFlight(friends)});
    }
    const QList<TrackerSimulation::Point> reported = m_h->sim.track(PollHarness::Devid);
    QVERIFY2(EventWait::until(
                 [&] {
                     timers.advanceSeconds(1);
                     return pos->trackFeed()->lastserverid() == reported.last().serverid &&
                            !pos->nearbyFeed()->NeedDownload();
                 },
                 60000),
             "the position screen never caught up");
    QCOMPARE(mostInFlight, 1);
    QVERIFY(m_h->sim.requestsTo(gps).size() < 600); // ticks with a request out send nothing
    // Every point drawn once: each answer's line holds its points plus the joint.
    qsizetype drawn = 0;
    for (const MapPolyline& line : pos->overlaysLine())
        drawn += line.pointCount() - 1;
    QCOMPARE(drawn, reported.size());
    // No mark twice: one per standing report, plus the start and the stop mark.
    const auto standing = std::count_if(reported.begin(), reported.end(),
                                        [](const auto& point) { return point.state == 2; });
    QCOMPARE(pos->blackpoint().size(), qsizetype(standing + 2));
    QCOMPARE(MyFriendInfo::GetCount(), pos->array_lvyou().size());

    // The profile section asks for the ranking until a list arrives, one request at a time.
    pos->tapPageMine();
    auto* mine = qobject_cast<ViewControllerMine*>(storyboard.topScreen());
    QVERIFY(mine);
    mostInFlight = 0;
    QVERIFY(EventWait::until(
        [&] {
            timers.advanceSeconds(1);
            mostInFlight = std::max(mostInFlight, inFlight(ranking));
            return MyPaiMingInfo::GetCount() > 0 && !mine->rankingFeed()->isRequestInFlight();
        },
        60000));
    QCOMPARE(mostInFlight, 1);
    QVERIFY(EventWait::until([&] { return inFlight(PollHarness::PollScript) == 0; }, 30000));
    const std::optional<StatusRecord> last = m_h->lastGoodRecord();
    QVERIFY(last);
    PollHarness::verifyStoreHolds(*last);
}

void tst_LongSessions::aDayOfTrackThroughThePositionScreen()
{
    constexpr int Day = 24 * 3600;
    // The simulator runs ahead of the app: each batch is one full track answer.
    constexpr int Batch = 500;
    using H = PollHarness;
    m_h = std::make_unique<PollHarness>();
    PollHarness& h = *m_h;
    h.pollOnLocationUpdates();
    h.location.injectLocation(H::BaseLat, H::BaseLng, 10); // arms the status poll
    ManualTimerLoop timers(&h.app.clock);
    PositionOnPhone phone(h.app.delegate->context());
    ViewControllerPos* screen = phone.screen();
    const TrackFeed* track = screen->trackFeed();
    // The track so far (the morning's standing reports) comes in the first answer.
    const qint64 before = h.sim.track(H::Devid).last().serverid;
    timers.runDue();
    QVERIFY(EventWait::until([&] { return track->lastserverid() == before; }));
    const MapCoordinate start = screen->blackpoint().coordinate(0);

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
    const MapPolylineList& lines = screen->overlaysLine();
    QCOMPARE(lines.size(), batches + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QCOMPARE(lines.at(i).coordinate(0),
                 lines.at(i - 1).coordinate(lines.at(i - 1).pointCount() - 1));
        const int points = i + 1 < lines.size() || Day % Batch == 0 ? Batch : Day % Batch;
        QCOMPARE(lines.at(i).pointCount(), qsizetype(points + 1));
    }
    const MapCoordinate last = narrowed(ride.latAt(Day), ride.lngAt(Day));
    QCOMPARE(screen->lastposlat(), float(last.latitude));
    QCOMPARE(screen->lastposlng(), float(last.longitude));
    // The line keeps the coordinates as read: within a hair of the texts.
    const MapCoordinate end = lines.last().coordinate(lines.last().pointCount() - 1);
    QVERIFY(std::abs(end.latitude - last.latitude) < 1e-9);
    QVERIFY(std::abs(end.longitude - last.longitude) < 1e-9);
    // A held tracker reports "standing" points: each has its black mark, plus start and stop.
    QCOMPARE(screen->blackpoint().size(), qsizetype(before + Day + 2));
    QCOMPARE(screen->blackpoint().coordinate(0), start);
    QCOMPARE(screen->blackpoint().coordinate(screen->StopAnnotation()), last);
    // The ride leaves the fence once and never comes back: one alarm.
    QCOMPARE(h.log.count("围栏报警"), 1);
    QTRY_COMPARE(h.center.delivered().size(), 1);
    QCOMPARE(h.log.count("电量报警"), 0);
}

QTEST_MAIN(tst_LongSessions)
#include "tst_LongSessions.moc"
