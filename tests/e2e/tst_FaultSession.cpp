#include "EventWait.h"
#include "TrackFollower.h"

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/location/LocationManager.h"
#include "platform/notify/Haptics.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/Storyboard.h"
#include "poll/MyUtil.h"
#include "protocol/ServerAnswer.h"
#include "protocol/ServerScript.h"
#include "protocol/StatusAnswer.h"
#include "screens/ScreenCatalog.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/profile/ViewControllerMine.h"
#include "store/MyBasicInfo.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtTest>

// The status poll, the track poll and the section screens against a device
// server that answers late, fails, talks garbage and drops connections:
// nothing hangs, nothing piles up, the store always holds the last good answer
// whole, each alarm is raised once and every track point is drawn once.
class tst_FaultSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusPollsSurviveAMisbehavingServer();
    void trackPollLosesNoPointThroughFaults();
    void sectionScreensSurviveTheSameServer();

private:
    // Answers of the status script that have been handled (or failed) so far.
    int pollsFinished() const { return m_pollsFinished; }
    int pollsSent() const;
    // Several location updates a minute apart, sent before any answer is back.
    void pollBurst(int updates);
    bool waitUntilPollsSettle();
    // The record of the last status answer whose message is "ok", as logged.
    std::optional<StatusRecord> lastGoodRecord() const;
    void verifyStoreHolds(const StatusRecord& record) const;
    int loggedAnswers(bool ok) const;

    static constexpr const char* Devid = "86000001";
    static constexpr double BaseLat = 30.2741;
    static constexpr double BaseLng = 120.1551;

    std::unique_ptr<DeviceServerSimulator> m_sim;
    std::unique_ptr<LocalNotificationCenter> m_center;
    std::unique_ptr<Haptics> m_haptics;
    std::unique_ptr<LocationManager> m_location;
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<Log::Quiet> m_quiet;
    std::unique_ptr<Log::Capture> m_log;
    int m_pollsFinished = 0;
    int m_pollFailures = 0;
    int m_mostInFlight = 0;
    // Per script path: requests the app sent (logged as they go) and answers or failures back.
    QHash<QString, int> m_finishedByPath;
    int sentTo(const QString& path) const;
};

namespace {

SimulatorOptions misbehavingServer()
{
    SimulatorOptions options;
    options.seed = 11;
    options.latencyMs = 25;
    options.failRate = 0.20;
    options.garbageRate = 0.10;
    options.dropRate = 0.05;
    return options;
}

QString pollScriptPath()
{
    return QStringLiteral("/TolvarGetEveryThingTimerIOS.php");
}

} // namespace

void tst_FaultSession::init()
{
    m_quiet = std::make_unique<Log::Quiet>();
    m_sim = std::make_unique<DeviceServerSimulator>(misbehavingServer());
    QVERIFY(m_sim->listen() != 0);
    m_sim->setPosition(Devid, BaseLat, BaseLng);
    m_sim->setPower(Devid, 40.0);
    m_sim->setBanlvstate(Devid, 3);
    m_center = std::make_unique<LocalNotificationCenter>();
    m_haptics = std::make_unique<Haptics>();
    m_location = std::make_unique<LocationManager>();
    m_app = std::make_unique<TestApp>();
    AppDelegate* delegate = m_app->delegate.get();
    delegate->setServerUrl(m_sim->baseUrl().toString());
    delegate->setNotificationCenter(m_center.get());
    delegate->setHaptics(m_haptics.get());
    delegate->setLocationManager(m_location.get());
    m_pollsFinished = m_pollFailures = m_mostInFlight = 0;
    m_finishedByPath.clear();
    connect(delegate->networkAccessManager(), &QNetworkAccessManager::finished, this,
            [this](QNetworkReply* reply) {
                ++m_finishedByPath[reply->url().path()];
                if (reply->url().path() != pollScriptPath())
                    return;
                ++m_pollsFinished;
                if (reply->error() != QNetworkReply::NoError)
                    ++m_pollFailures;
            });
    // The welcome screen runs the status poll on every location update.
    connect(m_location.get(), &LocationManager::didUpdateLocation, this,
            [] { MyUtil::GetEveryThing(); });
    MyUtil::InitMyDateBase();
    MyBasicInfo::SetValue("devid", Devid);
    m_log = std::make_unique<Log::Capture>();
    m_location->injectLocation(BaseLat, BaseLng, 10); // arms the throttle only
}

void tst_FaultSession::cleanup()
{
    m_log.reset();
    m_app.reset();
    m_location.reset();
    m_haptics.reset();
    m_center.reset();
    m_sim.reset();
    m_quiet.reset();
}

int tst_FaultSession::pollsSent() const
{
    const QString sent = QStringLiteral("urlString = %1%2?devid=%3")
                             .arg(m_sim->baseUrl().toString(), pollScriptPath(), Devid);
    return m_log->count(sent);
}

void tst_FaultSession::pollBurst(int updates)
{
    for (int i = 0; i < updates; ++i) {
        m_app->clock.advance(61);
        m_location->injectLocation(BaseLat, BaseLng, 10);
        m_mostInFlight = std::max(m_mostInFlight, pollsSent() - m_pollsFinished);
    }
}

bool tst_FaultSession::waitUntilPollsSettle()
{
    return EventWait::until([this] { return m_pollsFinished == pollsSent(); }, 30000);
}

std::optional<StatusRecord> tst_FaultSession::lastGoodRecord() const
{
    const QString prefix = ServerScript::getEveryThing().answerLine(QString());
    const QStringList answers = m_log->matching(prefix);
    for (auto it = answers.crbegin(); it != answers.crend(); ++it) {
        const StatusAnswer answer(StatusRecord::Poll,
                                  ServerAnswer(it->mid(prefix.size()).toUtf8()));
        if (answer.isOk())
            return answer.record();
    }
    return std::nullopt;
}

int tst_FaultSession::loggedAnswers(bool ok) const
{
    const QString prefix = ServerScript::getEveryThing().answerLine(QString());
    int count = 0;
    for (const QString& line : m_log->matching(prefix)) {
        const ServerAnswer body(line.mid(prefix.size()).toUtf8());
        if (StatusAnswer(StatusRecord::Poll, body).isOk() == ok)
            ++count;
    }
    return count;
}

void tst_FaultSession::verifyStoreHolds(const StatusRecord& record) const
{
    for (const QString& key : StatusRecord::storeKeys(StatusRecord::Poll))
        QCOMPARE(MyBasicInfo::GetValue(key), record.storedValue(key));
}

void tst_FaultSession::statusPollsSurviveAMisbehavingServer()
{
    constexpr int Rounds = 36;
    constexpr int UpdatesPerRound = 4;
    const double outsideLat = BaseLat + 60.0 / 111319.49;
    for (int round = 0; round < Rounds; ++round) {
        if (round == 12)
            m_sim->setPosition(Devid, outsideLat, BaseLng);
        if (round == 24)
            m_sim->setPower(Devid, 34.0);
        m_sim->advance(UpdatesPerRound * 61);
        pollBurst(UpdatesPerRound);
        QVERIFY2(waitUntilPollsSettle(), "status requests never finished");
        const std::optional<StatusRecord> good = lastGoodRecord();
        if (good)
            verifyStoreHolds(*good);
        if (round == 11) {
            QVERIFY(good.has_value());
            QCOMPARE(MyBasicInfo::GetValue("baselat"), QStringLiteral("30.274100"));
            QCOMPARE(m_log->count("围栏报警"), 0);
        }
    }

    // Every tick sent exactly one request; the answers came late, so up to a
    // burst was outstanding, never more.
    QCOMPARE(pollsSent(), Rounds * UpdatesPerRound);
    QCOMPARE(m_mostInFlight, UpdatesPerRound);
    const int received = int(m_sim->requestsTo(pollScriptPath()).size());
    QVERIFY(received >= pollsSent());
    QVERIFY(received <= 2 * pollsSent()); // a dropped connection is resent once at most
    // The faults did happen: failures, answers that are not "ok", and good ones.
    QVERIFY(m_pollFailures > 0);
    QVERIFY(loggedAnswers(false) > 0);
    QVERIFY(loggedAnswers(true) > Rounds);

    QCOMPARE(m_log->count("围栏报警"), 1);
    QCOMPARE(m_log->count("电量报警"), 1);
    QTRY_COMPARE(m_center->delivered().size(), 2);
    QCOMPARE(m_center->delivered().at(0).alertBody, QStringLiteral("围栏报警"));
    QCOMPARE(m_center->delivered().at(1).alertBody, QStringLiteral("电量报警"));
    QCOMPARE(MyBasicInfo::GetValue("shangweilanbaojing"), QStringLiteral("1"));
    for (const SimRequest& upload : m_sim->requestsTo("/TolvarUpdateWeiLan.php"))
        QVERIFY(upload.query == "devid=86000001&wlstate=1" ||
                upload.query == "devid=86000001&wlstate=0");

    // Coming to the front acknowledges the alarms and stops the vibrations.
    m_center->setApplicationActive(true);
    QTRY_COMPARE(MyBasicInfo::GetValue("zhendongcishu"), QStringLiteral("0"));
    QVERIFY(m_center->scheduledLocalNotifications().isEmpty());

    // What reached the disk is the last good record, whole.
    const std::optional<StatusRecord> good = lastGoodRecord();
    QVERIFY(good.has_value());
    m_app->restart();
    verifyStoreHolds(*good);
}

void tst_FaultSession::trackPollLosesNoPointThroughFaults()
{
    constexpr int Seconds = 3000;
    TrackFollower follower(m_app->delegate->deviceServer(), Devid);
    const qint64 firstNew = m_sim->track(Devid).last().serverid + 1;
    int ticksSkipped = 0;
    for (int second = 0; second < Seconds; ++second) {
        m_sim->advance(1);
        m_sim->setPosition(Devid, BaseLat + second * 1e-5, BaseLng);
        if (!follower.tick())
            ++ticksSkipped;
        QCoreApplication::processEvents();
    }
    QVERIFY2(EventWait::until(
                 [&] {
                     if (follower.lastServerId() == m_sim->track(Devid).last().serverid)
                         return !follower.inFlight();
                     follower.tick();
                     return false;
                 },
                 60000),
             qPrintable(QStringLiteral("the track poll never caught up: last %1 of %2, "
                                       "sent %3 answers %4 failures %5 in flight %6")
                            .arg(follower.lastServerId())
                            .arg(m_sim->track(Devid).last().serverid)
                            .arg(follower.requestsSent())
                            .arg(follower.answers())
                            .arg(follower.failures())
                            .arg(follower.inFlight())));

    // One request at a time: slow answers make ticks pass, they never stack up.
    QVERIFY(ticksSkipped > 0);
    QCOMPARE(follower.requestsSent(), follower.answers() + follower.failures());
    QCOMPARE(follower.stalePoints(), 0);
    QVERIFY(follower.failures() > 0);
    // Every point arrived once, in order, as the tracker reported it.
    const QList<TrackerSimulation::Point> reported = m_sim->track(Devid, firstNew - 1);
    QCOMPARE(reported.size(), Seconds);
    const QList<TrackPoint>& received = follower.points();
    const qsizetype offset = received.size() - reported.size();
    QVERIFY(offset >= 0);
    for (qsizetype i = 0; i < reported.size(); ++i) {
        const TrackPoint& point = received.at(offset + i);
        QCOMPARE(point.serverid, QString::number(reported.at(i).serverid));
        QCOMPARE(point.lat, QString::number(reported.at(i).position.lat, 'f', 6));
    }
    // Each request asked for the points after the last one received.
    const QList<SimRequest> requests = m_sim->requestsTo("/TolvarGetGpsInfo.php");
    QCOMPARE(requests.first().query, QByteArray("devid=86000001&sid=0"));
    qint64 previousSid = 0;
    for (const SimRequest& request : requests) {
        const qint64 sid = request.query.mid(request.query.indexOf("&sid=") + 5).toLongLong();
        QVERIFY(sid >= previousSid);
        previousSid = sid;
    }
    QVERIFY(previousSid < follower.lastServerId());
}

int tst_FaultSession::sentTo(const QString& path) const
{
    return int(m_log->matching("urlString = " + m_sim->baseUrl().toString() + path).size());
}

void tst_FaultSession::sectionScreensSurviveTheSameServer()
{
    const QString gps = QStringLiteral("/TolvarGetGpsInfo.php");
    const QString friends = QStringLiteral("/TolvarGetFriendIOS.php");
    const QString ranking = QStringLiteral("/TolvarGetPaiMingIOS.php");
    auto inFlight = [&](const QString& path) {
        return sentTo(path) - m_finishedByPath.value(path);
    };
    ManualTimerLoop timers(&m_app->clock);
    QWidget host;
    host.resize(360, 640);
    host.show();
    Storyboard storyboard(&host);
    ScreenCatalog::install(storyboard, m_app->delegate->context());
    auto* pos = qobject_cast<ViewControllerPos*>(storyboard.start("ViewControllerPos"));
    QVERIFY(pos);

    // Ten minutes with the position screen in front: a point a second, the status poll a
    // minute apart, the screen's timers ticking whether or not answers are back.
    int mostInFlight = 0;
    for (int second = 1; second <= 600; ++second) {
        m_sim->advance(1);
        m_sim->setPosition(Devid, BaseLat + second * 1e-5, BaseLng);
        timers.advanceSeconds(1);
        if (second % 61 == 0)
            m_location->injectLocation(BaseLat, BaseLng, 10);
        QCoreApplication::processEvents();
        mostInFlight = std::max({mostInFlight, inFlight(gps), inFlight(friends)});
    }
    const qint64 newest = m_sim->track(Devid).last().serverid;
    QVERIFY2(EventWait::until(
                 [&] {
                     timers.advanceSeconds(1);
                     return pos->trackFeed()->lastserverid() == newest &&
                            !pos->nearbyFeed()->NeedDownload();
                 },
                 60000),
             "the position screen never caught up");
    QCOMPARE(mostInFlight, 1);
    // Every point drawn once: each answer's line holds its points plus the joint.
    qsizetype drawn = 0;
    for (const MapPolylinePtr& line : pos->overlaysLine())
        drawn += line->pointCount() - 1;
    QCOMPARE(drawn, m_sim->track(Devid).size());
    // No mark twice: one per standing report, plus the start and the stop mark.
    const QList<TrackerSimulation::Point> reported = m_sim->track(Devid);
    const auto standing = std::count_if(reported.begin(), reported.end(),
                                        [](const auto& point) { return point.state == 2; });
    QCOMPARE(pos->blackpoint().size(), qsizetype(standing + 2));
    QCOMPARE(MyFriendInfo::GetCount(), pos->array_lvyou().size());
    QVERIFY(m_sim->requestsTo(gps).size() < 600); // ticks with a request out send nothing

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

    QVERIFY(EventWait::until([&] { return m_pollsFinished == pollsSent(); }, 30000));
    const std::optional<StatusRecord> good = lastGoodRecord();
    QVERIFY(good.has_value());
    verifyStoreHolds(*good);
    QVERIFY(m_finishedByPath.value(gps) > m_sim->requestsTo(gps).size() / 2);
}

QTEST_MAIN(tst_FaultSession)
#include "tst_FaultSession.moc"
