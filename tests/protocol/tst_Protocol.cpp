#include "platform/Log.h"
#include "poll/StatusStore.h"
#include "protocol/DeviceServer.h"
#include "protocol/ServerAnswer.h"
#include "protocol/StatusAnswer.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "store/db/PersistentStoreCoordinator.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QtTest>

// Called with true when a script's answer handler runs, false when its failure handler does.
using Done = std::function<void(bool)>;
using Call = std::function<void(DeviceServer&, const Done&)>;
Q_DECLARE_METATYPE(Call)

// The device server's scripts through the protocol layer against the simulator: what goes on
// the wire and into the log, how answers decode, and the status record they carry.
class tst_Protocol : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void requestOnTheWire_data();
    void requestOnTheWire();
    void passwordsNeverReachTheLog();
    void answers_data();
    void answers();
    void values();
    void markers_data();
    void markers();
    void statusRecordKeepsItsKeys();
    void storedValues_data();
    void storedValues();
    void onlyAnOkAnswerStores_data();
    void onlyAnOkAnswerStores();
    void aRecordIsOneTransaction();

private:
    DeviceServer& server() { return m_app->delegate->deviceServer(); }

    std::unique_ptr<DeviceServerSimulator> m_sim;
    std::unique_ptr<TestApp> m_app;
};

namespace {

const QString Rider = QStringLiteral("86000001"); // seeded with rider01 / secret1

auto ok(const Done& done)
{
    return [done](auto&&...) { done(true); };
}

auto failed(const Done& done)
{
    return [done](auto&&...) { done(false); };
}

// The 24 keys of the status record; an answer in statusBody() gives the n-th of them the value n.
const QStringList RecordKeys =
    QStringLiteral("benzhoulicheng shangzhoulicheng todaylicheng day1licheng day2licheng "
                   "day3licheng day4licheng day5licheng day6licheng day7licheng power maxspeed "
                   "lightspeed pingjunspeed paiming totallicheng jifen level levelname "
                   "touxiangpath absday banlvstate lng lat")
        .split(' ');

QByteArray statusBody(const QByteArray& message = {}, const QByteArray& extra = {})
{
    QByteArray body = "[{" + message;
    for (int i = 0; i < RecordKeys.size(); ++i)
        body += ",\"" + RecordKeys[i].toUtf8() + "\":\"" + QByteArray::number(i + 1) + '"';
    return body.replace("{,", "{") + extra + "}]";
}

QHash<QString, QString> snapshot()
{
    QHash<QString, QString> values;
    for (const QString& key : MyUtil::SettingsKeys())
        values.insert(key, MyBasicInfo::GetValue(key));
    return values;
}

// Rows of a table under tests/data/protocol, one QJsonArray each: the file holds a note, the
// column names, then the rows.
void table(const char* name)
{
    QTest::addColumn<QJsonArray>("row");
    QFile file(QStringLiteral(LVXING_TEST_DATA "/protocol/") + name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
    QVERIFY(rows.size() > 2);
    for (qsizetype i = 2; i < rows.size(); ++i) {
        const QJsonArray row = rows[i].toArray();
        QTest::newRow(qPrintable(row[0].toString())) << row;
    }
}

} // namespace

void tst_Protocol::init()
{
    m_sim = std::make_unique<DeviceServerSimulator>();
    QVERIFY(m_sim->listen(0) > 0);
    m_app = std::make_unique<TestApp>();
    m_app->delegate->setServerUrl(m_sim->baseUrl().toString() + "/");
    Log::Quiet quiet;
    MyUtil::InitMyDateBase();
}

void tst_Protocol::cleanup()
{
    m_app.reset();
    m_sim.reset();
}

void tst_Protocol::requestOnTheWire_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("logged"); // empty: the URL is not logged
    QTest::addColumn<QByteArray>("part");
    auto row = [](const char* name, const Call& call, const QByteArray& line,
                  const QString& logged = {}, const QByteArray& part = {}) {
        QTest::newRow(name) << call << line << (logged.isNull() ? QString(line.mid(4)) : logged)
                            << part;
    };
    using S = DeviceServer;
    row(
        "devid", [](S& s, const Done& d) { s.queryDevice("8600 驴1", ok(d), failed(d)); },
        "GET /TolvarDevId.php?devid=8600%20%E9%A9%B41&wd=mirt",
        "/TolvarDevId.php?devid=8600%20%E9%A9%B41");
    row(
        "register",
        [](S& s, const Done& d) {
            s.registerAccount(Rider, "a&b=c", "p#1 +", "x+y@z.cn", "微信", ok(d), failed(d));
        },
        "GET /TolvarRegisterIOS.php?devid=86000001&username=a%26b%3Dc&pwd=p%231%20%2B"
        "&email=x%2By@z.cn&weixin=%E5%BE%AE%E4%BF%A1",
        "/TolvarRegisterIOS.php?devid=86000001&username=a%26b%3Dc&pwd=***"
        "&email=x%2By@z.cn&weixin=%E5%BE%AE%E4%BF%A1");
    row(
        "login",
        [](S& s, const Done& d) {
            s.login(Rider, "-._~!$'()*,;:@/pwd=", "p?w=d&", ok(d), failed(d));
        },
        "GET /TolvarLoginIOS.php?devid=86000001&username=-._~!$'()*,;:@/pwd%3D&pwd=p%3Fw%3Dd%26",
        "/TolvarLoginIOS.php?devid=86000001&username=-._~!$'()*,;:@/pwd%3D&pwd=***");
    row(
        "speed", [](S& s, const Done& d) { s.updateSpeed(Rider, "25", "18.5", ok(d), failed(d)); },
        "GET /TolvarUpdateSpeed.php?devid=86000001&maxspeed=25&lightspeed=18.5");
    // The geofence state upload reports nothing back.
    row(
        "geofence", [](S& s, const Done&) { s.updateWeiLan(Rider, 1); },
        "GET /TolvarUpdateWeiLan.php?devid=86000001&wlstate=1");
    row(
        "recovery mail",
        [](S& s, const Done& d) { s.sendRecoveryMail(Rider, "a@b.cn", ok(d), failed(d)); },
        "GET /TolvarSendEmailIOS.php?devid=86000001&email=a@b.cn");
    // The two older scripts leave "%", "[" and "]" alone; the others escape them.
    row(
        "track", [](S& s, const Done& d) { s.getGpsInfo("a%2B[1]", -3, ok(d), failed(d)); },
        "GET /TolvarGetGpsInfo.php?devid=a%2B[1]&sid=-3");
    row(
        "nearby", [](S& s, const Done& d) { s.getFriends("a%2B[1] b#&=?+", ok(d), failed(d)); },
        "GET /TolvarGetFriendIOS.php?devid=a%2B[1]%20b%23%26%3D%3F%2B");
    row(
        "status",
        [](S& s, const Done& d) { s.getEveryThing("a%2B[1]\"^<>\\`{|}", ok(d), failed(d)); },
        "GET /TolvarGetEveryThingTimerIOS.php?devid=a%252B%5B1%5D%22%5E%3C%3E%5C%60%7B%7C%7D");
    row(
        "ranking", [](S& s, const Done& d) { s.getPaiMing(ok(d), failed(d)); },
        "GET /TolvarGetPaiMingIOS.php");
    row(
        "upload", [](S& s, const Done& d) { s.uploadPic(Rider, "png", ok(d), failed(d)); },
        "POST /TolvarUploadPic.php?devid=86000001", "",
        "uploadfile ios20260305140709.png image/png png");
    row(
        "code mail",
        [](S& s, const Done& d) { s.sendVerificationCode("4711", "a@b.cn", ok(d), failed(d)); },
        "GET /TolvarSendEmailVCodeIOS.php?code=4711&email=a@b.cn");
}

void tst_Protocol::requestOnTheWire()
{
    QFETCH(Call, call);
    QFETCH(QByteArray, line);
    QFETCH(QString, logged);
    QFETCH(QByteArray, part);
    const bool reports = QByteArray(QTest::currentDataTag()) != "geofence";
    Log::Capture log;
    std::optional<bool> outcome;
    call(server(), [&outcome](bool answered) { outcome = answered; });
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->requests().size(), 1, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value() == reports, 20000);
    QVERIFY(outcome.value_or(true));
    const SimRequest request = m_sim->requests().first();
    QCOMPARE(request.method + ' ' + request.target, line);
    QCOMPARE(request.hasQuery, line.contains('?'));
    QStringList parts;
    for (const SimRequest::Part& p : request.parts)
        parts << QString::fromUtf8(p.name + ' ' + p.fileName + ' ' + p.contentType + ' ' + p.data);
    QCOMPARE(parts.join('|').toUtf8(), part);
    const QString base = m_sim->baseUrl().toString();
    QCOMPARE(log.matching("urlString = "),
             logged.isEmpty() ? QStringList() : QStringList("urlString = " + base + logged));

    // Every script reports a failed transfer to its failure handler, and leaves logging it
    // to the caller.
    m_sim->addFault(SimFault::of(SimFault::Kind::ServerError, {}, -1));
    outcome.reset();
    call(server(), [&outcome](bool answered) { outcome = answered; });
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->requests().size(), 2, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value() == reports, 20000);
    QVERIFY(!outcome.value_or(false));
    QVERIFY(log.matching("error").isEmpty());
}

void tst_Protocol::passwordsNeverReachTheLog()
{
    Log::Capture log;
    std::optional<DeviceInfo> info;
    server().queryDevice(Rider, [&](const DeviceInfo& i) { info = i; }, {});
    QTRY_VERIFY_WITH_TIMEOUT(info.has_value(), 20000);
    QCOMPARE(info->pwd, QStringLiteral("secret1"));
    QCOMPARE(info->username, QStringLiteral("rider01"));
    QVERIFY(DeviceServer::deviceInfo(ServerAnswer(R"([{"devid":null}])")).isUnknown());
    QVERIFY(log.lines().filter("\"pwd\":\"***\"").size() == 1);
    for (const QString& line : log.lines())
        QVERIFY2(!line.contains("secret1"), qPrintable(line));

    // Any spelling of the key's value is masked, whatever else is in the text.
    const QString plain = QStringLiteral("[{\"pwd\" : \"se\\\"c,ret}\",\"a\":1},{\"pwd\":1234}]");
    const QString masked = QStringLiteral("[{\"pwd\" : \"***\",\"a\":1},{\"pwd\":\"***\"}]");
    QCOMPARE(DeviceServer::maskPassword(plain), masked);
    const QString longValue = "{\"pwd\":\"" + QStringLiteral("a\\\"").repeated(20000) + "\"}";
    QCOMPARE(DeviceServer::maskPassword(longValue), QStringLiteral("{\"pwd\":\"***\"}"));

    // A hostile server cannot flood the log with one answer.
    const QByteArray body = "[\"" + QByteArray(100 * 1024, 'x') + "\"]";
    m_sim->addFault(SimFault::raw(body));
    bool answered = false;
    server().getPaiMing([&](const QList<RiderInfo>&) { answered = true; }, {});
    QTRY_VERIFY_WITH_TIMEOUT(answered, 20000);
    const QStringList lines = log.matching("htmlstr = ");
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().size() < 66 * 1024);
    QVERIFY(lines.first().endsWith(QStringLiteral("%1 bytes)").arg(body.size())));
}

void tst_Protocol::answers_data()
{
    table("answers.json");
}

void tst_Protocol::answers()
{
    QFETCH(QJsonArray, row);
    const QByteArray body = QByteArray::fromPercentEncoding(row[1].toString().toUtf8());
    const ServerAnswer answer(body);
    QCOMPARE(answer.text().has_value(), row[2].toBool());
    QCOMPARE(answer.logText().toUtf8(), row[2].toBool() ? body : QByteArray("(null)"));
    QCOMPARE(answer.hasRecord(), row[3].toBool());
    QCOMPARE(answer.list().size(), row[4].toInt());
    QCOMPARE(DeviceServer::riders(answer).size(), row[4].toInt());
    QCOMPARE(StatusAnswer(StatusRecord::Poll, answer).isOk(), row[5].toBool());
}

void tst_Protocol::values()
{
    const ServerAnswer answer(R"([{"s":"x y","e":"","i":12,"f":12.5,"neg":-3.9,"big":1e20,
        "huge":1e30,"nh":-1e30,"t":true,"n":null,"o":{"s":"1"},"a":["1"],"lenient":" 12.9abc",
        "lat":"39.123456","flat":39.123456}])");
    const QJsonObject& r = answer.record();
    const QList<std::pair<const char*, const char*>> texts = {
        {"s", "x y"}, {"e", ""}, {"i", "12"}, {"f", "12.5"}, {"neg", "-3.9"}, {"big", "1e+20"}};
    for (const auto& [key, text] : texts)
        QCOMPARE(ServerAnswer::text(r, key), std::optional<QString>(text));
    for (const char* key : {"t", "n", "o", "a", "absent"}) {
        QVERIFY2(!ServerAnswer::text(r, key), key);
        QCOMPARE(ServerAnswer::integer(r, key), 0);
    }
    QCOMPARE(ServerAnswer::textOrEmpty(r, "o"), QString());
    QCOMPARE(ServerAnswer::integer(r, "lenient"), 12);
    QCOMPARE(ServerAnswer::integer(r, "f"), 12);
    QCOMPARE(ServerAnswer::integer(r, "neg"), -3);
    QCOMPARE(ServerAnswer::integer(r, "huge"), std::numeric_limits<qint64>::max());
    QCOMPARE(ServerAnswer::integer(r, "nh"), std::numeric_limits<qint64>::min());
    QCOMPARE(ServerAnswer::number(r, "lenient"), 12.9);
    QCOMPARE(ServerAnswer::number32(r, "lat"), 39.123456f);
    QCOMPARE(ServerAnswer::number32(r, "flat"), 39.123456f);
    QCOMPARE(ServerAnswer::number32(r, "t"), 0.0f);
}

void tst_Protocol::markers_data()
{
    table("markers.json");
}

void tst_Protocol::markers()
{
    QFETCH(QJsonArray, row);
    // In the order of ReturnMarker::Kind.
    const auto kind = ReturnMarker::Kind(
        QStringList{"account", "recovery", "code", "poll"}.indexOf(row[1].toString()));
    const std::optional<QString> message =
        row[2].isNull() ? std::nullopt : std::optional<QString>(row[2].toString());
    const QString marker = row[3].toString();
    QCOMPARE(ReturnMarker::text(ReturnMarker::classify(kind, message)), marker);
    // The mail scripts classify the whole answer body, and each its own way.
    if (kind != ReturnMarker::RecoveryMail && kind != ReturnMarker::CodeMail)
        return;
    m_sim->addFault(SimFault::raw(message ? message->toUtf8() : "\xFF"));
    std::optional<ReturnMarker::Marker> found;
    if (kind == ReturnMarker::RecoveryMail)
        server().sendRecoveryMail(Rider, "a@b.cn", [&](auto m) { found = m; }, {});
    else
        server().sendVerificationCode("1", "a@b.cn", [&](auto m) { found = m; }, {});
    QTRY_VERIFY_WITH_TIMEOUT(found.has_value(), 20000);
    QCOMPARE(ReturnMarker::text(*found), marker);
}

void tst_Protocol::statusRecordKeepsItsKeys()
{
    MyBasicInfo::SetValue("weilanradio", "45");
    MyBasicInfo::SetValue("weilanmode", "1");
    // Login and poll leave the geofence settings alone; a registration brings them.
    for (auto kind : {StatusRecord::Login, StatusRecord::Poll, StatusRecord::Registration}) {
        for (const QString& key : RecordKeys)
            MyBasicInfo::SetValue(key, "old");
        const QByteArray fence = R"(,"weilanradio":"99","weilanmode":0,"weilanwaring":1)";
        StatusStore::store(StatusRecord(kind, ServerAnswer(statusBody({}, fence)).record()));
        for (int i = 0; i < RecordKeys.size(); ++i)
            QCOMPARE(MyBasicInfo::GetValue(RecordKeys[i]), QString::number(i + 1));
        const bool registration = kind == StatusRecord::Registration;
        QCOMPARE(MyBasicInfo::GetValue("weilanradio"), QString(registration ? "99" : "45"));
        QCOMPARE(MyBasicInfo::GetValue("weilanmode"), QString(registration ? "0" : "1"));
    }
    // Fields the answer leaves out are stored empty, and stay so after a restart.
    StatusStore::store(
        StatusRecord(StatusRecord::Poll, ServerAnswer(R"([{"power":"40"}])").record()));
    m_app->restart();
    for (const QString& key : RecordKeys)
        QCOMPARE(MyBasicInfo::GetValue(key), QString(key == "power" ? "40" : ""));
}

void tst_Protocol::storedValues_data()
{
    table("stored-values.json");
}

void tst_Protocol::storedValues()
{
    QFETCH(QJsonArray, row);
    const QString key = row[1].toString();
    for (const QJsonValue& value : {QJsonValue("7"), QJsonValue(row[2])}) {
        const QJsonObject answer{{key, value}};
        StatusStore::store(StatusRecord(StatusRecord::Poll, answer));
    }
    QCOMPARE(MyBasicInfo::GetValue(key), row[3].toString());
}

void tst_Protocol::onlyAnOkAnswerStores_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("stores");
    const int login = StatusRecord::Login;
    const int reg = StatusRecord::Registration;
    const int poll = StatusRecord::Poll;
    QTest::newRow("poll ok") << poll << QByteArray(R"("timerreturnmsg":"ok")") << true;
    QTest::newRow("poll fail") << poll << QByteArray(R"("timerreturnmsg":"fail")") << false;
    QTest::newRow("poll no message") << poll << QByteArray() << false;
    QTest::newRow("login ok") << login << QByteArray(R"("loginreturnmsg":"ok")") << true;
    QTest::newRow("login error:3 and ok")
        << login << QByteArray(R"("loginreturnmsg":"ok error:3")") << false;
    QTest::newRow("login poll's key") << login << QByteArray(R"("timerreturnmsg":"ok")") << false;
    QTest::newRow("register ok") << reg << QByteArray(R"("registerreturnmsg":"ok")") << true;
    QTest::newRow("register error:3")
        << reg << QByteArray(R"("registerreturnmsg":"error:3")") << false;
}

void tst_Protocol::onlyAnOkAnswerStores()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, message);
    QFETCH(bool, stores);
    MyBasicInfo::SetValue("power", "30");
    const QHash<QString, QString> before = snapshot();
    const StatusAnswer answer(StatusRecord::Kind(kind), ServerAnswer(statusBody(message)));
    QCOMPARE(StatusStore::storeIfOk(answer), stores);
    QCOMPARE(MyBasicInfo::GetValue("power"), QString(stores ? "11" : "30"));
    if (!stores)
        QCOMPARE(snapshot(), before);
}

void tst_Protocol::aRecordIsOneTransaction()
{
    PersistentStoreCoordinator* store = m_app->delegate->persistentStoreCoordinator();
    int commits = 0;
    store->setCommitFailure([&commits] {
        ++commits;
        return QString();
    });
    StatusStore::store(
        StatusRecord(StatusRecord::Registration, ServerAnswer(statusBody()).record()));
    QCOMPARE(commits, 1);
    // A failed commit keeps the whole old record on disk.
    store->setCommitFailure([] { return QStringLiteral("disk full"); });
    StatusStore::store(
        StatusRecord(StatusRecord::Poll, ServerAnswer(R"([{"power":"1","lat":"2"}])").record()));
    store->setCommitFailure({});
    m_app->restart();
    for (int i = 0; i < RecordKeys.size(); ++i)
        QCOMPARE(MyBasicInfo::GetValue(RecordKeys[i]), QString::number(i + 1));
}

QTEST_MAIN(tst_Protocol)
#include "tst_Protocol.moc"
