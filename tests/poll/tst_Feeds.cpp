#include "platform/ManualTimerLoop.h"
#include "poll/NearbyFeed.h"
#include "poll/RankingFeed.h"
#include "poll/TrackFeed.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "support/ListAnswers.h"
#include "support/PollHarness.h"

#include <QtTest>

// The one-second feeds against the simulated device server: what each asks for, what it
// keeps and reports of each answer, and one request at a time however slow the server.
class tst_Feeds : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void trackAsksAfterTheHighestServerId();
    void trackPointsWithoutAPositionOnlyAdvanceTheId();
    void ridersAskedForUntilAnAnswerListsSome();
    void ridersReplaceTheCache();
    void rankingReplacesTheCacheAndAsksAgainAfterAnHourOfTicks();
    void rankingEmptyBrokenFailedOrDroppedAnswersAskAgainNextTick();
    void slowServerGetsOneRequestAtATime();
    void pauseHoldsTheTicksAndAnAnswerOutlivesItsFeed();

private:
    // The next answer of `script` is exactly `body`.
    void answer(const char* script, const QByteArray& body)
    {
        h->sim.addFault(SimFault::raw(body, QString::fromLatin1(script)));
    }
    void tick() { m_loop->advance(1000); }

    static constexpr const char* GpsScript = "/TolvarGetGpsInfo.php";
    static constexpr const char* FriendScript = "/TolvarGetFriendIOS.php";
    static constexpr const char* RankingScript = "/TolvarGetPaiMingIOS.php";
    static QString devid() { return QString::fromLatin1(PollHarness::Devid); }
    DeviceServer* server() { return &h->app.delegate->deviceServer(); }

    std::unique_ptr<PollHarness> h;
    std::unique_ptr<ManualTimerLoop> m_loop;
};

void tst_Feeds::init()
{
    h = std::make_unique<PollHarness>();
    m_loop = std::make_unique<ManualTimerLoop>(&h->app.clock);
}

void tst_Feeds::cleanup()
{
    m_loop.reset();
    h.reset();
}

void tst_Feeds::trackAsksAfterTheHighestServerId()
{
    answer(GpsScript, ListAnswers::track({{"10", "30.1", "120.2"}, {"12", "30.2", "120.3"}}));
    answer(GpsScript, ListAnswers::track({{"5", "30.3", "120.4"}, {"7", "30.4", "120.5"}}));
    TrackFeed feed(server(), devid);
    QSignalSpy points(&feed, &TrackFeed::pointsArrived);
    feed.resume();
    m_loop->runDue();
    QVERIFY(points.wait());
    QCOMPARE(feed.lastserverid(), 12);
    tick();
    QVERIFY(points.wait());
    // Lower ids are still points of the track, but the next request asks after 12.
    QCOMPARE(points.last().at(0).value<QList<TrackPoint>>().size(), 2);
    QCOMPARE(feed.lastserverid(), 12);
    tick();
    QTRY_COMPARE(
        h->queries(GpsScript),
        QStringList({"devid=86000001&sid=0", "devid=86000001&sid=12", "devid=86000001&sid=12"}));
}

void tst_Feeds::trackPointsWithoutAPositionOnlyAdvanceTheId()
{
    // No fix, then a southern, western ride (real), then a text that is no number.
    answer(GpsScript, ListAnswers::track({{"1", "0", "0"},
                                          {"2", "-33.45", "-70.66"},
                                          {"3", "abc", "-70.7"},
                                          {"4", "-33.46", "-70.67"}}));
    answer(GpsScript, ListAnswers::track({{"5", "0", "0"}}));
    TrackFeed feed(server(), devid);
    QSignalSpy points(&feed, &TrackFeed::pointsArrived);
    feed.resume();
    m_loop->runDue();
    QVERIFY(points.wait());
    const QList<TrackPoint> placed = points.first().at(0).value<QList<TrackPoint>>();
    QCOMPARE(placed.size(), 2);
    QCOMPARE(placed.first().serverid, QString("2"));
    QCOMPARE(placed.last().serverid, QString("4"));
    QCOMPARE(feed.lastserverid(), 4);
    // An answer with no position at all is not reported.
    tick();
    QTRY_COMPARE(feed.lastserverid(), 5);
    QCOMPARE(points.size(), 1);
}

void tst_Feeds::ridersAskedForUntilAnAnswerListsSome()
{
    answer(FriendScript, "[]");
    answer(FriendScript, "not json");
    answer(FriendScript,
           ListAnswers::riders({{"rider1", "3", "新手", "1", "", "30.3", "120.4", "w1"},
                                {"rider2", "12", "骑士", "2", "", "30.4", "120.5", "w2"}}));
    NearbyFeed feed(server(), devid);
    QSignalSpy riders(&feed, &NearbyFeed::ridersArrived);
    feed.resume();
    m_loop->runDue();
    for (int empty = 0; empty < 2; ++empty) {
        QTRY_VERIFY(!feed.isRequestInFlight());
        QVERIFY(feed.NeedDownload());
        tick();
    }
    QVERIFY(riders.wait());
    QVERIFY(!feed.NeedDownload());
    QCOMPARE(riders.first().at(0).value<QList<RiderInfo>>().size(), 2);
    tick();
    tick();
    QCOMPARE(h->queries(FriendScript), QStringList(3, "devid=86000001"));
    QCOMPARE(riders.size(), 1);
}

void tst_Feeds::ridersReplaceTheCache()
{
    answer(FriendScript,
           ListAnswers::riders({{"x", "3", "新手", "1", "", "30.3", "120.4", "w1"},
                                {"nofix", "3", "新手", "3", "", "0", "0", "w3"},
                                {"yz", "3", "新手", "2", "", "30.4", "120.5", "w2"}}));
    MyFriendInfo::CheckAdd("gone", "3", "新手", "5", "", "30.1", "120.1", "w5");
    NearbyFeed feed(server(), devid);
    QSignalSpy riders(&feed, &NearbyFeed::ridersArrived);
    feed.resume();
    m_loop->runDue();
    QVERIFY(riders.wait());
    // A one-character name is neither kept nor reported; a rider without a position is both.
    QStringList reported;
    for (const RiderInfo& rider : riders.first().at(0).value<QList<RiderInfo>>())
        reported.append(rider.username);
    QCOMPARE(reported, QStringList({"nofix", "yz"}));
    QVERIFY(MyFriendInfo::GetValue("1").isEmpty());
    QCOMPARE(MyFriendInfo::GetValue("2").size(), 1);
    QCOMPARE(MyFriendInfo::GetValue("3").size(), 1);
    // A rider the answer left out goes.
    QVERIFY(MyFriendInfo::GetValue("5").isEmpty());
}

void tst_Feeds::rankingReplacesTheCacheAndAsksAgainAfterAnHourOfTicks()
{
    MyPaiMingInfo::CheckAdd("gone", "7", "骑士", "7", "", "31.25", "121.5", "wx_gone");
    MyPaiMingInfo::CheckAdd("never", "7", "骑士", "0", "", "31.25", "121.5", "wx_never");
    RankingFeed feed(server());
    QSignalSpy ranking(&feed, &RankingFeed::rankingArrived);
    feed.resume();
    m_loop->runDue();
    QVERIFY(ranking.wait());
    QCOMPARE(feed.PaiMingCount(), RankingFeed::PaiMingCountMax);
    // The answer's 50 riders and nobody it left out: rank 7 is its holder alone.
    QCOMPARE(MyPaiMingInfo::GetCount(), 50);
    QCOMPARE(MyPaiMingInfo::GetValue("7").size(), 1);
    QVERIFY(MyPaiMingInfo::GetValue("7").first().username != QStringLiteral("gone"));
    QVERIFY(MyPaiMingInfo::GetValue("0").isEmpty());

    // 3599 more ticks send nothing (an empty answer changes nothing); the 3600th asks again.
    m_loop->advanceSeconds(3599);
    feed.merge({});
    QCOMPARE(feed.PaiMingCount(), 1);
    QCOMPARE(h->log.matching("urlString = ").size(), 1);
    m_loop->advanceSeconds(1);
    QVERIFY(ranking.wait());
    QCOMPARE(h->queries(RankingScript), QStringList(2, QString())); // the script takes no query
    QCOMPARE(ranking.size(), 2);
}

void tst_Feeds::rankingEmptyBrokenFailedOrDroppedAnswersAskAgainNextTick()
{
    answer(RankingScript, "[]");
    h->sim.addFault(SimFault::of(SimFault::Kind::Garbage, RankingScript));
    answer(RankingScript, "{\"username\":\"x\"}");
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, RankingScript));
    // A dropped connection is sent once more: two drops fail the request.
    h->sim.addFault(SimFault::of(SimFault::Kind::Drop, RankingScript));
    h->sim.addFault(SimFault::of(SimFault::Kind::Drop, RankingScript));
    RankingFeed feed(server());
    feed.resume();
    for (int tick = 1; tick <= 5; ++tick) {
        m_loop->advance(tick == 1 ? 0 : 1000);
        QCOMPARE(h->log.matching("urlString = ").size(), tick);
        QTRY_VERIFY(!feed.isRequestInFlight());
        QCOMPARE(feed.PaiMingCount(), -tick);
        QCOMPARE(MyPaiMingInfo::GetCount(), 0);
    }
    // The faults are used up: the sixth tick brings the ranking.
    QSignalSpy ranking(&feed, &RankingFeed::rankingArrived);
    tick();
    QVERIFY(ranking.wait());
    QCOMPARE(MyPaiMingInfo::GetCount(), 50);
}

void tst_Feeds::slowServerGetsOneRequestAtATime()
{
    for (const char* script : {GpsScript, FriendScript, RankingScript})
        h->sim.addFault(SimFault::delay(300, QString::fromLatin1(script)));
    TrackFeed track(server(), devid);
    NearbyFeed nearby(server(), devid);
    RankingFeed ranking(server());
    const QList<PollFeed*> feeds = {&track, &nearby, &ranking};
    for (PollFeed* feed : feeds)
        feed->resume();
    m_loop->runDue();
    tick();
    tick();
    QCOMPARE(h->log.matching("urlString = ").size(), 3);
    for (PollFeed* feed : feeds)
        QTRY_VERIFY(!feed->isRequestInFlight());
    QVERIFY(!nearby.NeedDownload());
    // Once the answers are in, the next tick asks again where there is more to fetch.
    tick();
    QTRY_COMPARE(h->sim.requestsTo(GpsScript).size(), 2);
    QCOMPARE(h->sim.requestsTo(FriendScript).size(), 1);
    QCOMPARE(h->sim.requestsTo(RankingScript).size(), 1);
}

void tst_Feeds::pauseHoldsTheTicksAndAnAnswerOutlivesItsFeed()
{
    auto token = std::make_shared<int>();
    const std::weak_ptr<int> held = token;
    auto* feed = new TrackFeed(server(), devid, [token] { return token; });
    QSignalSpy points(feed, &TrackFeed::pointsArrived);
    feed->resume();
    m_loop->runDue();
    QVERIFY(points.wait());
    feed->pause();
    m_loop->advanceSeconds(5);
    QCOMPARE(h->sent(GpsScript), 1);
    feed->resume();
    m_loop->runDue();
    QCOMPARE(h->sent(GpsScript), 2);
    // Let go with a request out: its answer keeps the owner's token until it has run.
    delete feed;
    token.reset();
    QVERIFY(!held.expired());
    QTRY_VERIFY_WITH_TIMEOUT(held.expired(), 20000);
}

QTEST_MAIN(tst_Feeds)
#include "tst_Feeds.moc"
