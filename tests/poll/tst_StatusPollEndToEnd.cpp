#include "platform/Log.h"
#include "platform/NumberText.h"
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

// The status poll against the simulated device server: the tracker leaving
// its fence, a low battery, bad answers, a failing and a stalling server.
class tst_StatusPollEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void trackerWalksOutOfTheFence();
    void lowBatteryRaisesOneAlarm();
    void answersWithoutOkChangeNothing();
    void failingOrStallingServerRaisesNothingAndNextPollWorks();

private:
    // Moves a minute and a second on and runs one tick, which sends a request.
    void pollAfterAMinute();
    // Waits until this many status answers (or failures) have been handled.
    bool waitForPolls(int count);
    QStringList uploadedStates() const;
    QString value(const char* key) const { return MyBasicInfo::GetValue(key); }

    static constexpr const char* Devid = "86000001";
    static constexpr const char* PollScript = "/TolvarGetEveryThingTimerIOS.php";
    static constexpr double BaseLat = 30.2741;
    static constexpr double BaseLng = 120.1551;
    // 40 m north of the base.
    static constexpr double OutsideLat = 30.2741 + 40.0 / 111319.49;

    std::unique_ptr<DeviceServerSimulator> m_sim;
    std::unique_ptr<LocalNotificationCenter> m_center;
    std::unique_ptr<Haptics> m_haptics;
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<Log::Quiet> m_quiet;
    std::unique_ptr<Log::Capture> m_log;
    int m_pollsHandled = 0;
};

void tst_StatusPollEndToEnd::init()
{
    m_quiet = std::make_unique<Log::Quiet>();
    m_sim = std::make_unique<DeviceServerSimulator>();
    QVERIFY(m_sim->listen() != 0);
    m_sim->setPosition(Devid, BaseLat, BaseLng);
    m_sim->setPower(Devid, 40.0);
    m_sim->setBanlvstate(Devid, 3);
    m_center = std::make_unique<LocalNotificationCenter>();
    m_haptics = std::make_unique<Haptics>();
    m_app = std::make_unique<TestApp>();
    AppDelegate* delegate = m_app->delegate.get();
    delegate->setServerUrl(m_sim->baseUrl().toString());
    delegate->setNotificationCenter(m_center.get());
    delegate->setHaptics(m_haptics.get());
    m_pollsHandled = 0;
    connect(delegate->networkAccessManager(), &QNetworkAccessManager::finished, this,
            [this](QNetworkReply* reply) {
                if (reply->url().path() == QLatin1String(PollScript))
                    ++m_pollsHandled;
            });
    MyUtil::InitMyDateBase();
    MyBasicInfo::SetValue("devid", Devid);
    m_log = std::make_unique<Log::Capture>();
    // The first location update of a run only arms the throttle.
    MyUtil::GetEveryThing();
}

void tst_StatusPollEndToEnd::cleanup()
{
    m_log.reset();
    m_app.reset();
    m_haptics.reset();
    m_center.reset();
    m_sim.reset();
    m_quiet.reset();
}

void tst_StatusPollEndToEnd::pollAfterAMinute()
{
    m_app->clock.advance(61);
    MyUtil::GetEveryThing();
}

bool tst_StatusPollEndToEnd::waitForPolls(int count)
{
    return QTest::qWaitFor([&] { return m_pollsHandled >= count; }, 20000) &&
           m_pollsHandled == count;
}

QStringList tst_StatusPollEndToEnd::uploadedStates() const
{
    QStringList states;
    for (const SimRequest& request : m_sim->requestsTo("/TolvarUpdateWeiLan.php"))
        states.append(QString::fromLatin1(request.query));
    return states;
}

void tst_StatusPollEndToEnd::trackerWalksOutOfTheFence()
{
    QCOMPARE(m_sim->requestsTo(PollScript).size(), 0);
    pollAfterAMinute();
    QVERIFY(waitForPolls(1));
    QCOMPARE(m_sim->requestsTo(PollScript).first().query, QByteArray("devid=86000001"));
    // A fresh store takes the device's position as the base: inside.
    QCOMPARE(value("baselat"), value("lat"));
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("0"));

    m_sim->setPosition(Devid, OutsideLat, BaseLng);
    pollAfterAMinute();
    QVERIFY(waitForPolls(2));
    QCOMPARE(m_log->count("围栏报警"), 1);
    QCOMPARE(value("zhendongcishu"), QStringLiteral("60"));
    QTRY_COMPARE(m_center->delivered().size(), 1);
    QCOMPARE(m_center->delivered().first().alertBody, QStringLiteral("围栏报警"));
    QCOMPARE(m_center->delivered().first().userInfo.value("key").toString(),
             QStringLiteral("主人，快来救我!"));
    QTRY_COMPARE(uploadedStates().size(), 1);
    QCOMPARE(uploadedStates(), QStringList{"devid=86000001&wlstate=1"});

    // Still outside: the server holds the 1, so 0 goes back and no new alarm.
    pollAfterAMinute();
    QVERIFY(waitForPolls(3));
    QTRY_COMPARE(uploadedStates().size(), 2);
    QCOMPARE(uploadedStates().last(), QStringLiteral("devid=86000001&wlstate=0"));
    QCOMPARE(m_log->count("围栏报警"), 1);
    QCOMPARE(m_center->delivered().size(), 1);
    // Each location update in between plays one vibration.
    MyUtil::GetEveryThing();
    MyUtil::GetEveryThing();
    QCOMPARE(m_haptics->playCount(Haptics::VibrateSound), 3);
    QCOMPARE(value("zhendongcishu"), QStringLiteral("57"));
}

void tst_StatusPollEndToEnd::lowBatteryRaisesOneAlarm()
{
    m_sim->setPower(Devid, 34.0);
    pollAfterAMinute();
    QVERIFY(waitForPolls(1));
    QCOMPARE(m_log->count("电量报警"), 1);
    QTRY_COMPARE(m_center->delivered().size(), 1);
    QCOMPARE(m_center->delivered().first().userInfo.value("key").toString(),
             QStringLiteral("电量还剩45%,请及时充电!"));
    QCOMPARE(value("powertwohour"), m_app->clock.now().toString("yyyy-MM-dd HH:mm:ss"));
    pollAfterAMinute();
    QVERIFY(waitForPolls(2));
    QCOMPARE(m_log->count("电量报警"), 1);
    QCOMPARE(m_center->delivered().size(), 1);
}

void tst_StatusPollEndToEnd::answersWithoutOkChangeNothing()
{
    m_sim->setPower(Devid, 30.0);
    m_sim->setPosition(Devid, OutsideLat, BaseLng);
    m_sim->addFault(
        SimFault::raw(R"([{"timerreturnmsg":"error:3","power":"30","lat":"1"}])", PollScript));
    m_sim->addFault(SimFault::of(SimFault::Kind::Garbage, PollScript));
    pollAfterAMinute();
    QVERIFY(waitForPolls(1));
    pollAfterAMinute();
    QVERIFY(waitForPolls(2));
    QCOMPARE(m_sim->requestsTo(PollScript).size(), 2);
    QCOMPARE(value("power"), QStringLiteral("0"));
    QCOMPARE(value("lat"), QStringLiteral("0"));
    QCOMPARE(value("baselat"), QStringLiteral("0"));
    QCOMPARE(m_log->count("电量报警"), 0);
    QCOMPARE(m_log->count("围栏报警"), 0);
    QVERIFY(m_center->scheduledLocalNotifications().isEmpty());
    QVERIFY(m_center->delivered().isEmpty());
}

void tst_StatusPollEndToEnd::failingOrStallingServerRaisesNothingAndNextPollWorks()
{
    m_sim->setPower(Devid, 33.0);
    m_sim->addFault(SimFault::of(SimFault::Kind::ServerError, PollScript));
    pollAfterAMinute();
    QVERIFY(waitForPolls(1));
    QCOMPARE(value("power"), QStringLiteral("0"));
    QCOMPARE(m_log->count("电量报警"), 0);

    // A stalled request stays open; the next minute's request goes out anyway.
    m_sim->addFault(SimFault::of(SimFault::Kind::Stall, PollScript));
    pollAfterAMinute();
    QTRY_COMPARE(m_sim->requestsTo(PollScript).size(), 2);
    QCOMPARE(m_pollsHandled, 1);
    QCOMPARE(m_log->count("电量报警"), 0);

    pollAfterAMinute();
    QVERIFY(waitForPolls(2));
    QCOMPARE(m_sim->requestsTo(PollScript).size(), 3);
    QVERIFY(NumberText::toFloat(value("power")) > 32.9f);
    QCOMPARE(m_log->count("电量报警"), 1);
    QTRY_COMPARE(m_center->delivered().size(), 1);
}

QTEST_GUILESS_MAIN(tst_StatusPollEndToEnd)
#include "tst_StatusPollEndToEnd.moc"
