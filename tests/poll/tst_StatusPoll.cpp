#include "platform/AlertPresenter.h"
#include "poll/ConnectionState.h"
#include "poll/StatusStore.h"
#include "store/AlarmLog.h"
#include "support/PollHarness.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <limits>

// The status poll on each location update: the numbers behind the alarms, the throttle, the
// vibrations, the geofence and battery alarms at the edges of their bands, and the whole
// round against the simulated device server, failing and stalling included.
class tst_StatusPoll : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void radiusBands_data() { PollHarness::rows("radius"); }
    void radiusBands();
    void distanceOfKnownPoints();
    void chargeRatio_data() { PollHarness::rows("charge"); }
    void chargeRatio();
    void minutesSince();
    void missingPosition_data() { PollHarness::rows("missing-position"); }
    void missingPosition();

    void throttlePassesOnceAMinute();
    void vibrationsRunDownUntilTheRiderLooks();

    void geofence_data() { PollHarness::rows("geofence"); }
    void geofence();
    void leavingTheFenceAlarmsOnceAndReportsTheState();
    void missingBase_data() { PollHarness::rows("missing-base"); }
    void missingBase();
    void baseMovesWhenServerAsks();
    void missingFixLeavesTheFenceStateAlone();
    void battery_data() { PollHarness::rows("battery"); }
    void battery();
    void twoAlarmsInOnePoll();

    void trackerWalksOutOfTheFence();
    void answersWithoutOkChangeNothing();
    void failingOrStallingServerRaisesNothingAndNextPollWorks();
    void statusBarTellsReachabilityAndAge();

private:
    // Remembers the alerts instead of showing them.
    struct Alerts : AlertPresenter
    {
        void showAlert(const QString&, const QString& message, const QStringList&,
                       std::function<void(int)>) override
        {
            shown.append(message);
        }
        QStringList shown;
    };

    // Handles a poll answer as the request's handler does: decode, store when "ok", then the
    // alarms. Fields not given are those of a quiet device at the base.
    void handle(const QJsonObject& fields);
    // The wlstate values sent to the server, in order.
    QStringList uploads() const
    {
        const QString sent = "urlString = " + h->sim.baseUrl().toString() +
                             "/TolvarUpdateWeiLan.php?devid=86000001&wlstate=";
        return h->log.matching(sent).replaceInStrings(sent, QString());
    }
    int scheduled() const { return int(h->center.scheduledLocalNotifications().size()); }
    // The alarm log holds a row for each notification raised, the newest one like `last`
    // (raised now).
    void verifyAlarmLog(const AlarmLog::Entry& last);
    void tick() { MyUtil::GetEveryThing(); }
    void pollAfterAMinute()
    {
        h->app.clock.advance(61);
        tick();
    }
    static QString value(const char* key) { return MyBasicInfo::GetValue(key); }
    static void set(const char* key, const QString& text) { MyBasicInfo::SetValue(key, text); }

    static constexpr const char* BaseLat = "30.274100";
    static constexpr const char* BaseLng = "120.155100";
    static constexpr const char* Lat40m = "30.274459";
    static constexpr const char* Lat10m = "30.274190";

    // Declared before the harness: the delegate goes first.
    Alerts m_alerts;
    std::unique_ptr<PollHarness> h;
};

void tst_StatusPoll::init()
{
    m_alerts.shown.clear();
    h = std::make_unique<PollHarness>();
    h->app.delegate->setAlerts(&m_alerts);
}

void tst_StatusPoll::cleanup()
{
    h.reset();
}

void tst_StatusPoll::handle(const QJsonObject& fields)
{
    QJsonObject record{{"timerreturnmsg", "ok"}, {"power", "40.0"}, {"banlvstate", "3"},
                       {"lat", BaseLat},         {"lng", BaseLng},  {"weilanwaring", 0},
                       {"banlvstateupdate", 0},  {"absday", 12}};
    for (auto it = fields.begin(); it != fields.end(); ++it)
        record.insert(it.key(), it.value());
    const StatusAnswer status(StatusRecord::Poll,
                              ServerAnswer(QJsonDocument(QJsonArray{record}).toJson()));
    StatusStore::storeIfOk(status);
    MyUtil::HandleEveryThingAnswer(PollHarness::Devid, status);
}

void tst_StatusPoll::verifyAlarmLog(const AlarmLog::Entry& last)
{
    const QList<AlarmLog::Entry> logged = AlarmLog::newest(10);
    QCOMPARE(logged.size(), scheduled());
    if (logged.isEmpty())
        return;
    QCOMPARE(logged[0].time, h->app.clock.now());
    QCOMPARE(logged[0].kind, last.kind);
    QCOMPARE(logged[0].message, last.message);
    QCOMPARE(logged[0].battery, last.battery);
    QCOMPARE(logged[0].position.has_value(), last.position.has_value());
    if (last.position) {
        QCOMPARE(logged[0].position->lat, last.position->lat);
        QCOMPARE(logged[0].position->lng, last.position->lng);
    }
}

void tst_StatusPoll::radiusBands()
{
    QFETCH(QJsonObject, row);
    set("weilanradio", row["weilanradio"].toString());
    QCOMPARE(MyUtil::GetBanJing(), row["metres"].toInt());
}

void tst_StatusPoll::distanceOfKnownPoints()
{
    QCOMPARE(MyUtil::Distance(120.1551, 30.2741, 120.1551, 30.2741), 0.0);
    // A degree of latitude, and one of longitude on the equator, on a sphere of 6378137 m.
    QVERIFY(qAbs(MyUtil::Distance(120.0, 30.0, 120.0, 31.0) - 111319.4908) < 0.001);
    QVERIFY(qAbs(MyUtil::Distance(10.0, 0.0, 11.0, 0.0) - 111319.4908) < 0.001);
    // Hangzhou to Shanghai and back, about 164 km.
    const double there = MyUtil::Distance(120.1551, 30.2741, 121.4737, 31.2304);
    QVERIFY(qAbs(there - 164000.0) < 2000.0);
    QCOMPARE(MyUtil::Distance(121.4737, 31.2304, 120.1551, 30.2741), there);
    // Across the equator and the prime meridian.
    QVERIFY(qAbs(MyUtil::Distance(-0.5, -0.5, 0.5, 0.5) - 157417.0) < 50.0);
}

void tst_StatusPoll::chargeRatio()
{
    QFETCH(QJsonObject, row);
    set("power", row["power"].toString());
    const float got = MyUtil::GetDianYaBiLv();
    QVERIFY2(qAbs(got - float(row["ratio"].toDouble())) < 1e-5f,
             qPrintable(QString::number(got, 'g', 9)));
    QCOMPARE(int(got * 100.0f), row["percent"].toInt());
}

void tst_StatusPoll::minutesSince()
{
    // The fake clock stands at 2026-03-05 14:07:09; ahead of it counts toward zero.
    const QList<std::pair<const char*, int>> cases = {
        {"2026-03-05 12:06:09", 121},  {"2026-03-05 12:06:10", 120},
        {"2026-03-04 14:07:09", 1440}, {"2026-03-05 14:08:08", 0},
        {"2026-03-05 14:09:10", -2},   {"yesterday", std::numeric_limits<int>::max()}};
    for (const auto& [time, minutes] : cases)
        QCOMPARE(MyUtil::intervalSinceNow(time), minutes);
    QCOMPARE(MyUtil::GetShiJianCha(), 1000);
    set("powertwohour", "1234");
    QCOMPARE(MyUtil::GetShiJianCha(), 1000);
    MyUtil::UpdatePowerJianGe();
    QCOMPARE(value("powertwohour"), QStringLiteral("2026-03-05 14:07:09"));
    h->app.clock.advance(121 * 60 - 1);
    QCOMPARE(MyUtil::GetShiJianCha(), 120);
}

void tst_StatusPoll::missingPosition()
{
    QFETCH(QJsonObject, row);
    QCOMPARE(MyUtil::IsMissingPosition(row["lat"].toString(), row["lng"].toString()),
             row["missing"].toBool());
}

void tst_StatusPoll::throttlePassesOnceAMinute()
{
    auto polls = [&] { return h->sent(PollHarness::PollScript); };
    // A short device number sends nothing, but the minute still runs.
    set("devid", "1234567");
    tick();
    h->app.clock.advance(61);
    tick();
    QCOMPARE(polls(), 0);
    set("devid", PollHarness::Devid);
    h->app.clock.advance(60);
    tick();
    QCOMPARE(polls(), 0);
    h->app.clock.advance(1);
    tick();
    QCOMPARE(polls(), 1);
    h->app.clock.advanceMs(60000);
    tick();
    QCOMPARE(polls(), 1);
    h->app.clock.advanceMs(1);
    tick();
    QCOMPARE(polls(), 2);
    // A new run only arms the throttle at its first update.
    h->app.clock.advance(61);
    h->restart();
    tick();
    QCOMPARE(polls(), 2);
    pollAfterAMinute();
    QCOMPARE(polls(), 3);
}

void tst_StatusPoll::vibrationsRunDownUntilTheRiderLooks()
{
    set("zhendongcishu", "60");
    for (int i = 0; i < 61; ++i)
        tick();
    QCOMPARE(h->haptics.playCount(Haptics::VibrateSound), 59);
    QCOMPARE(value("zhendongcishu"), QStringLiteral("1"));

    // Coming to the front stops the vibrations and takes back the notifications.
    set("zhendongcishu", "60");
    MyUtil::registerLocalNotification(0, "围栏报警", "主人，快来救我!");
    h->center.setApplicationIconBadgeNumber(1);
    h->center.setApplicationActive(true);
    QCOMPARE(value("zhendongcishu"), QStringLiteral("0"));
    QCOMPARE(h->center.applicationIconBadgeNumber(), 0);
    QCOMPARE(scheduled(), 0);
    tick();
    QCOMPARE(h->haptics.totalPlayed(), 59);
    // In front an alarm is an alert; the badge goes down by one, never below 0.
    MyUtil::registerLocalNotification(0, "电量报警", "电量还剩45%,请及时充电!");
    QTRY_COMPARE(m_alerts.shown, QStringList{"电量还剩45%,请及时充电!"});
    QCOMPARE(h->center.applicationIconBadgeNumber(), 0);
    h->center.setApplicationIconBadgeNumber(3);
    MyUtil::registerLocalNotification(0, "围栏报警", "主人，快来救我!");
    QTRY_COMPARE(m_alerts.shown.size(), 2);
    QCOMPARE(h->center.applicationIconBadgeNumber(), 2);
    // A message under six characters raises nothing.
    const int before = scheduled();
    MyUtil::registerLocalNotification(0, "电量报警", "12345");
    QCOMPARE(scheduled(), before);
    // An action on a notification always lets the system know it is done.
    bool completed = false;
    h->app.delegate->handleActionWithIdentifier("open", {}, [&] { completed = true; });
    QVERIFY(completed);
}

void tst_StatusPoll::geofence()
{
    QFETCH(QJsonObject, row);
    const QString baselat = row["baselat"].toString(BaseLat);
    const QString baselng = row["baselng"].toString(BaseLng);
    set("baselat", baselat);
    set("baselng", baselng);
    set("weilanmode", row["weilanmode"].toString());
    set("weilanradio", row["weilanradio"].toString("0"));
    const QString lat =
        QString::number(baselat.toDouble() + row["metres"].toDouble() / 111319.49, 'f', 6);
    handle({{"banlvstate", row["banlvstate"]}, {"lat", lat}, {"lng", baselng}});
    const bool alarm = row["alarm"].toBool();
    QCOMPARE(value("shangweilanbaojing"), QString(alarm ? "1" : "0"));
    QCOMPARE(h->log.count("围栏报警"), alarm ? 1 : 0);
    QCOMPARE(scheduled(), alarm ? 1 : 0);
    QCOMPARE(uploads(), alarm ? QStringList{"1"} : QStringList());
    // The device answered 40 V: 92 %.
    const AlarmLog::Position at{lat.toDouble(), baselng.toDouble()};
    verifyAlarmLog({{}, AlarmLog::Kind::Geofence, "主人，快来救我!", at, 92});
}

void tst_StatusPoll::leavingTheFenceAlarmsOnceAndReportsTheState()
{
    set("baselat", BaseLat);
    set("baselng", BaseLng);
    handle({{"lat", Lat40m}});
    QCOMPARE(value("zhendongcishu"), QStringLiteral("60"));
    QCOMPARE(h->center.scheduledLocalNotifications().first().userInfo.value("key").toString(),
             QStringLiteral("主人，快来救我!"));
    // Still outside, and the server has the 1: no second alarm, 0 goes back.
    handle({{"lat", Lat40m}, {"weilanwaring", 1}});
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("1"));
    // The server has the 0: nothing to send.
    handle({{"lat", Lat40m}, {"weilanwaring", 0}});
    QCOMPARE(h->log.count("围栏报警"), 1);
    QCOMPARE(uploads(), (QStringList{"1", "0"}));
    // Back inside, then out again: a new alarm.
    handle({{"lat", Lat10m}});
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("0"));
    handle({{"lat", Lat40m}});
    QCOMPARE(h->log.count("围栏报警"), 2);
    QCOMPARE(scheduled(), 2);
    QCOMPARE(uploads(), (QStringList{"1", "0", "1"}));
}

void tst_StatusPoll::missingBase()
{
    QFETCH(QJsonObject, row);
    const bool replaced = row["replaced"].toBool();
    set("baselat", row["baselat"].toString());
    set("baselng", row["baselng"].toString());
    // The base becomes the reported texts as they came.
    handle({{"lat", Lat40m}, {"lng", "120.1551"}});
    QCOMPARE(value("baselat"), replaced ? QString(Lat40m) : row["baselat"].toString());
    QCOMPARE(value("baselng"), replaced ? QString("120.1551") : row["baselng"].toString());
    QCOMPARE(value("shangweilanbaojing"), QString(replaced ? "0" : "1"));
}

void tst_StatusPoll::baseMovesWhenServerAsks()
{
    set("baselat", BaseLat);
    set("baselng", BaseLng);
    handle({{"lat", Lat40m}, {"banlvstateupdate", 1}});
    QCOMPARE(value("baselat"), QString::fromLatin1(Lat40m));
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("0"));
    // As a string the flag counts too; any other value leaves the base.
    handle({{"lat", Lat10m}, {"banlvstateupdate", "1"}});
    QCOMPARE(value("baselat"), QString::fromLatin1(Lat10m));
    handle({{"lat", BaseLat}, {"banlvstateupdate", 2}});
    QCOMPARE(value("baselat"), QString::fromLatin1(Lat10m));
    QCOMPARE(h->log.count("围栏报警"), 0);
}

void tst_StatusPoll::missingFixLeavesTheFenceStateAlone()
{
    set("baselat", BaseLat);
    set("baselng", BaseLng);
    handle({{"lat", "0"}, {"lng", "0"}});
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("0"));
    // Outside, then fixes lost now and then: one alarm, the state kept, nothing sent.
    handle({{"lat", Lat40m}});
    handle({{"lat", ""}, {"lng", ""}, {"weilanwaring", 1}});
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("1"));
    handle({{"lat", Lat40m}, {"weilanwaring", 1}});
    QCOMPARE(h->log.count("围栏报警"), 1);
    QCOMPARE(uploads(), (QStringList{"1", "0"}));
}

void tst_StatusPoll::battery()
{
    QFETCH(QJsonObject, row);
    set("powermiandarao", row["powermiandarao"].toString());
    set("powertwohour", row["powertwohour"].toString());
    const QString lat = row["lat"].toString(BaseLat);
    handle({{"power", row["power"]}, {"lat", lat}, {"lng", row["lng"].toString(BaseLng)}});
    const QString message = row["message"].toString();
    const bool alarm = !message.isEmpty();
    QCOMPARE(h->log.count("电量报警"), alarm ? 1 : 0);
    QCOMPARE(scheduled(), alarm ? 1 : 0);
    if (alarm)
        QCOMPARE(h->center.scheduledLocalNotifications().first().userInfo.value("key").toString(),
                 message);
    QCOMPARE(value("zhendongcishu"), QString(alarm ? "60" : "0"));
    QCOMPARE(value("powertwohour"),
             alarm ? QStringLiteral("2026-03-05 14:07:09") : row["powertwohour"].toString());
    std::optional<AlarmLog::Position> at;
    if (!lat.isEmpty())
        at = AlarmLog::Position{QString(BaseLat).toDouble(), QString(BaseLng).toDouble()};
    const int percent = QRegularExpression("\\d+").match(message).captured().toInt();
    verifyAlarmLog({{}, AlarmLog::Kind::Battery, message, at, percent});
}

void tst_StatusPoll::twoAlarmsInOnePoll()
{
    set("baselat", BaseLat);
    set("baselng", BaseLng);
    handle({{"lat", Lat40m}, {"power", "33"}});
    QCOMPARE(scheduled(), 2);
    QCOMPARE(h->center.scheduledLocalNotifications().at(0).alertBody, QStringLiteral("围栏报警"));
    QCOMPARE(h->center.scheduledLocalNotifications().at(1).alertBody, QStringLiteral("电量报警"));
    // Raised in the same second, the later alarm is listed first.
    const QList<AlarmLog::Entry> logged = AlarmLog::newest(1);
    QCOMPARE(logged.size(), 1);
    QCOMPARE(logged[0].kind, AlarmLog::Kind::Battery);
    QCOMPARE(logged[0].battery, 36);
    QCOMPARE(h->center.registeredTypes(), LocalNotificationCenter::Alert |
                                              LocalNotificationCenter::Badge |
                                              LocalNotificationCenter::Sound);
    // Behind, both are delivered and badge the icon.
    QTRY_COMPARE(h->center.delivered().size(), 2);
    QCOMPARE(h->center.applicationIconBadgeNumber(), 1);
}

void tst_StatusPoll::trackerWalksOutOfTheFence()
{
    tick(); // the first location update of a run only arms the throttle
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(1));
    QCOMPARE(h->queries(PollHarness::PollScript), QStringList{"devid=86000001"});
    // A fresh store takes the device's position as the base: inside.
    QCOMPARE(value("baselat"), value("lat"));
    QCOMPARE(value("shangweilanbaojing"), QStringLiteral("0"));

    h->sim.setPosition(PollHarness::Devid, PollHarness::north(40), PollHarness::BaseLng);
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(2));
    QCOMPARE(h->log.count("围栏报警"), 1);
    QTRY_COMPARE(h->center.delivered().size(), 1);
    QTRY_COMPARE(h->queries("/TolvarUpdateWeiLan.php"), QStringList{"devid=86000001&wlstate=1"});
    // Still outside: the server holds the 1, so 0 goes back and no new alarm.
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(3));
    QTRY_COMPARE(h->queries("/TolvarUpdateWeiLan.php").size(), 2);
    QCOMPARE(h->queries("/TolvarUpdateWeiLan.php").last(),
             QStringLiteral("devid=86000001&wlstate=0"));
    QCOMPARE(h->log.count("围栏报警"), 1);
    QCOMPARE(h->center.delivered().size(), 1);
    // Each location update in between plays one vibration.
    tick();
    QCOMPARE(h->haptics.playCount(Haptics::VibrateSound), 2);
}

void tst_StatusPoll::answersWithoutOkChangeNothing()
{
    h->sim.setPower(PollHarness::Devid, 30.0);
    h->sim.setPosition(PollHarness::Devid, PollHarness::north(40), PollHarness::BaseLng);
    const QString script = PollHarness::PollScript;
    h->sim.addFault(
        SimFault::raw(R"([{"timerreturnmsg":"error:3","power":"30","lat":"1"}])", script));
    h->sim.addFault(SimFault::raw(R"([{"timerreturnmsg":1,"power":"30","lat":"1"}])", script));
    h->sim.addFault(SimFault::of(SimFault::Kind::Garbage, script));
    tick();
    for (int poll = 1; poll <= 3; ++poll) {
        pollAfterAMinute();
        QVERIFY(h->waitForPolls(poll));
    }
    QCOMPARE(value("power"), QStringLiteral("0"));
    QCOMPARE(value("lat"), QStringLiteral("0"));
    QCOMPARE(value("baselat"), QStringLiteral("0"));
    QCOMPARE(value("powertwohour"), QStringLiteral("0"));
    QCOMPARE(h->log.count("电量报警") + h->log.count("围栏报警"), 0);
    QCOMPARE(scheduled(), 0);
}

void tst_StatusPoll::failingOrStallingServerRaisesNothingAndNextPollWorks()
{
    h->sim.setPower(PollHarness::Devid, 33.0);
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, PollHarness::PollScript));
    tick();
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(1));
    QCOMPARE(value("power"), QStringLiteral("0"));
    // A stalled request stays open; the next minute's request goes out anyway.
    h->sim.addFault(SimFault::of(SimFault::Kind::Stall, PollHarness::PollScript));
    pollAfterAMinute();
    QTRY_COMPARE(h->sim.requestsTo(PollHarness::PollScript).size(), 2);
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(2));
    QCOMPARE(value("power"), QStringLiteral("33.0"));
    QCOMPARE(h->log.count("电量报警"), 1);
    QTRY_COMPARE(h->center.delivered().size(), 1);
}

void tst_StatusPoll::statusBarTellsReachabilityAndAge()
{
    auto text = [&] { return h->app.delegate->connectionState().text(); };
    QCOMPARE(text(), QStringLiteral("已连接 · 尚无数据"));
    tick();
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(1));
    QCOMPARE(text(), QStringLiteral("已连接 · 数据更新于刚刚"));
    const QList<std::pair<qint64, const char*>> ages = {
        {59, "已连接 · 数据更新于刚刚"},
        {9 * 60, "已连接 · 数据更新于 9 分钟前"},
        {10 * 60, "已连接 · 数据更新于 10 分钟前"},
        {10 * 60 + 1, "已连接 · 数据已过时(10 分钟前)"},
        {11 * 60, "已连接 · 数据已过时(11 分钟前)"}};
    const QDateTime answered = h->app.clock.now();
    for (const auto& [secs, expected] : ages) {
        h->app.clock.set(answered.addSecs(secs));
        QCOMPARE(text(), QString::fromUtf8(expected));
    }
    // One failure is a hiccup; two in a row mean the server is gone, until it answers again.
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, PollHarness::PollScript));
    h->sim.addFault(SimFault::of(SimFault::Kind::ServerError, PollHarness::PollScript));
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(2));
    QVERIFY(text().startsWith(QStringLiteral("已连接 · ")));
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(3));
    QCOMPARE(text(), QStringLiteral("无法连接服务器 · 数据已过时(13 分钟前)"));
    h->sim.addFault(SimFault::raw(R"([{"timerreturnmsg":"error:3"}])", PollHarness::PollScript));
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(4));
    QCOMPARE(text(), QStringLiteral("已连接 · 数据已过时(14 分钟前)"));
    pollAfterAMinute();
    QVERIFY(h->waitForPolls(5));
    QCOMPARE(text(), QStringLiteral("已连接 · 数据更新于刚刚"));
    // The age outlives the app.
    h->restart();
    h->app.clock.advance(5 * 60);
    QCOMPARE(text(), QStringLiteral("已连接 · 数据更新于 5 分钟前"));
}

QTEST_GUILESS_MAIN(tst_StatusPoll)
#include "tst_StatusPoll.moc"
