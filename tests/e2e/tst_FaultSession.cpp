#include "EventWait.h"

#include "platform/ManualTimerLoop.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenCatalog.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/profile/ViewControllerMine.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "support/PollHarness.h"

#include <QtTest>

// The status poll and the section screens against a device server that answers late, fails,
// talks garbage and drops connections: nothing hangs, nothing piles up, the store always
// holds the last good answer whole, each alarm is raised once and every track point is drawn
// once.
class tst_FaultSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusPollsSurviveAMisbehavingServer();
    void sectionScreensSurviveTheSameServer();

private:
    // Requests out to `script`: sent and not yet answered or failed.
    int inFlight(const QString& script) const { return h->sent(script) - m_finished.value(script); }

    std::unique_ptr<PollHarness> h;
    QHash<QString, int> m_finished;
    int m_pollFailures = 0;
};

void tst_FaultSession::init()
{
    SimulatorOptions misbehaving;
    misbehaving.seed = 11;
    misbehaving.latencyMs = 25;
    misbehaving.failRate = 0.20;
    misbehaving.garbageRate = 0.10;
    misbehaving.dropRate = 0.05;
    h = std::make_unique<PollHarness>(misbehaving);
    h->pollOnLocationUpdates();
    m_finished.clear();
    m_pollFailures = 0;
    connect(h->app.delegate->networkAccessManager(), &QNetworkAccessManager::finished, this,
            [this](QNetworkReply* reply) {
                ++m_finished[reply->url().path()];
                m_pollFailures += reply->url().path() == PollHarness::PollScript &&
                                  reply->error() != QNetworkReply::NoError;
            });
    h->location.injectLocation(PollHarness::BaseLat, PollHarness::BaseLng, 10); // arms the poll
}

void tst_FaultSession::cleanup()
{
    h.reset();
}

void tst_FaultSession::statusPollsSurviveAMisbehavingServer()
{
    constexpr int Rounds = 36;
    constexpr int Burst = 4;
    int mostInFlight = 0;
    for (int round = 0; round < Rounds; ++round) {
        if (round == 12)
            h->sim.setPosition(PollHarness::Devid, PollHarness::north(60), PollHarness::BaseLng);
        if (round == 24)
            h->sim.setPower(PollHarness::Devid, 34.0);
        h->sim.advance(Burst * 61);
        // Several location updates a minute apart, sent before any answer is back.
        for (int i = 0; i < Burst; ++i) {
            h->locationUpdateAMinuteLater();
            mostInFlight = std::max(mostInFlight, inFlight(PollHarness::PollScript));
        }
        QVERIFY2(EventWait::until([&] { return inFlight(PollHarness::PollScript) == 0; }, 30000),
                 "status requests never finished");
        if (const std::optional<StatusRecord> good = h->lastGoodRecord())
            PollHarness::verifyStoreHolds(*good);
        if (round == 11)
            QCOMPARE(h->log.count("围栏报警"), 0);
    }
    // Every tick sent one request; the answers came late, so up to a burst was out, no more.
    QCOMPARE(h->sent(PollHarness::PollScript), Rounds * Burst);
    QCOMPARE(mostInFlight, Burst);
    const int received = int(h->sim.requestsTo(PollHarness::PollScript).size());
    QVERIFY(received >= Rounds * Burst);
    QVERIFY(received <= 2 * Rounds * Burst); // a dropped connection is resent once at most
    // The faults did happen: failures, answers that are not "ok", and good ones.
    int good = 0, bad = 0;
    QVERIFY(h->lastGoodRecord(&good, &bad).has_value());
    QVERIFY(m_pollFailures > 0 && bad > 0 && good > Rounds);

    QCOMPARE(h->log.count("围栏报警"), 1);
    QCOMPARE(h->log.count("电量报警"), 1);
    QTRY_COMPARE(h->center.delivered().size(), 2);
    QCOMPARE(PollHarness::value("shangweilanbaojing"), QStringLiteral("1"));
    for (const QString& upload : h->queries("/TolvarUpdateWeiLan.php"))
        QVERIFY2(upload.endsWith("wlstate=1") || upload.endsWith("wlstate=0"), qPrintable(upload));

    // What reached the disk is the last good record, whole.
    const std::optional<StatusRecord> last = h->lastGoodRecord();
    h->restart();
    PollHarness::verifyStoreHolds(*last);
}

void tst_FaultSession::sectionScreensSurviveTheSameServer()
{
    const QString gps = QStringLiteral("/TolvarGetGpsInfo.php");
    const QString friends = QStringLiteral("/TolvarGetFriendIOS.php");
    const QString ranking = QStringLiteral("/TolvarGetPaiMingIOS.php");
    ManualTimerLoop timers(&h->app.clock);
    QWidget host;
    host.resize(360, 640);
    host.show();
    Storyboard storyboard(&host);
    ScreenCatalog::install(storyboard, h->app.delegate->context());
    auto* pos = qobject_cast<ViewControllerPos*>(storyboard.start("ViewControllerPos"));
    QVERIFY(pos);

    // Ten minutes with the position screen in front: a point a second, the status poll a
    // minute apart, the screen's timers ticking whether or not answers are back.
    int mostInFlight = 0;
    for (int second = 1; second <= 600; ++second) {
        h->sim.advance(1);
        h->sim.setPosition(PollHarness::Devid, PollHarness::BaseLat + second * 1e-5,
                           PollHarness::BaseLng);
        timers.advanceSeconds(1);
        if (second % 61 == 0)
            h->location.injectLocation(PollHarness::BaseLat, PollHarness::BaseLng, 10);
        QCoreApplication::processEvents();
        mostInFlight = std::max({mostInFlight, inFlight(gps), inFlight(friends)});
    }
    const QList<TrackerSimulation::Point> reported = h->sim.track(PollHarness::Devid);
    QVERIFY2(EventWait::until(
                 [&] {
                     timers.advanceSeconds(1);
                     return pos->trackFeed()->lastserverid() == reported.last().serverid &&
                            !pos->nearbyFeed()->NeedDownload();
                 },
                 60000),
             "the position screen never caught up");
    QCOMPARE(mostInFlight, 1);
    QVERIFY(h->sim.requestsTo(gps).size() < 600); // ticks with a request out send nothing
    // Every point drawn once: each answer's line holds its points plus the joint.
    qsizetype drawn = 0;
    for (const MapPolylinePtr& line : pos->overlaysLine())
        drawn += line->pointCount() - 1;
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
    const std::optional<StatusRecord> last = h->lastGoodRecord();
    QVERIFY(last);
    PollHarness::verifyStoreHolds(*last);
}

QTEST_MAIN(tst_FaultSession)
#include "tst_FaultSession.moc"
