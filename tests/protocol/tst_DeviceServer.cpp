#include "platform/Log.h"
#include "poll/StatusStore.h"
#include "protocol/DeviceServer.h"
#include "protocol/HttpManager.h"
#include "protocol/MyUtil.h"
#include "protocol/StatusAnswer.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QTcpServer>
#include <QtTest>

Q_DECLARE_METATYPE(SimFault)

// The scripts through the real protocol layer against the device-server
// simulator on 127.0.0.1: what goes on the wire and into the log, a whole
// account-and-status round, and what bad answers do (nothing but what they may).
class tst_DeviceServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyScriptsRequestLine();
    void logsUrlsAndAnswersWithoutThePassword();
    void deviceQueryReadsTheAccount();
    void uploadSendsTheStampedFilePart();
    void mailAnswersAreClassifiedFromTheText();
    void accountAndStatusRound();
    void errorAnswersStoreNothing();
    void badAnswers_data();
    void badAnswers();
    void failuresAreLoggedOnlyByCallers();
    void longAnswersAreLoggedShortened();

private:
    DeviceServer& server() { return m_app->delegate->deviceServer(); }
    QByteArray lastTarget() const { return m_sim->requests().last().target; }

    std::unique_ptr<DeviceServerSimulator> m_sim;
    std::unique_ptr<TestApp> m_app;
};

namespace {

const QString Rider = QStringLiteral("86000001"); // seeded with rider01 / secret1
const QString Fresh = QStringLiteral("86000002"); // seeded without an account

QHash<QString, QString> snapshot()
{
    QHash<QString, QString> values;
    for (const QString& key : MyUtil::SettingsKeys())
        values.insert(key, MyBasicInfo::GetValue(key));
    return values;
}

} // namespace

void tst_DeviceServer::init()
{
    m_sim = std::make_unique<DeviceServerSimulator>();
    QVERIFY(m_sim->listen(0) > 0);
    m_app = std::make_unique<TestApp>();
    m_app->delegate->setServerUrl(m_sim->baseUrl().toString() + "/");
    Log::Quiet quiet;
    MyUtil::InitMyDateBase();
}

void tst_DeviceServer::cleanup()
{
    m_app.reset();
    m_sim.reset();
}

void tst_DeviceServer::everyScriptsRequestLine()
{
    int answers = 0;
    auto counted = [&answers](auto&&...) { ++answers; };
    server().queryDevice("8600 驴1", counted, {});
    server().registerAccount(Rider, "a&b=c", "p#1", "x+y@z.cn", "微信", counted, {});
    server().login(Rider, "rider01", "secret1", counted, {});
    server().updateSpeed(Rider, "25", "18.5", counted, {});
    server().updateWeiLan(Rider, 1);
    server().sendRecoveryMail(Rider, "a@b.cn", counted, {});
    server().getGpsInfo(Rider + "[x]", 1234, counted, {});
    server().getEveryThing(Rider, counted, {});
    server().getPaiMing(counted, {});
    server().getFriends("8600 0001", counted, {});
    server().uploadPic(Rider, "png", counted, {});
    server().sendVerificationCode("4711", "a@b.cn", counted, {});
    QTRY_COMPARE_WITH_TIMEOUT(answers, 11, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->requests().size(), 12, 5000);
    QList<QByteArray> lines;
    for (const SimRequest& request : m_sim->requests())
        lines << request.method + ' ' + request.target;
    std::sort(lines.begin(), lines.end());
    QList<QByteArray> expected = {
        "GET /TolvarDevId.php?devid=8600%20%E9%A9%B41&wd=mirt",
        "GET /TolvarRegisterIOS.php?devid=86000001&username=a%26b%3Dc&pwd=p%231"
        "&email=x%2By@z.cn&weixin=%E5%BE%AE%E4%BF%A1",
        "GET /TolvarLoginIOS.php?devid=86000001&username=rider01&pwd=secret1",
        "GET /TolvarUpdateSpeed.php?devid=86000001&maxspeed=25&lightspeed=18.5",
        "GET /TolvarUpdateWeiLan.php?devid=86000001&wlstate=1",
        "GET /TolvarSendEmailIOS.php?devid=86000001&email=a@b.cn",
        "GET /TolvarGetGpsInfo.php?devid=86000001[x]&sid=1234",
        "GET /TolvarGetEveryThingTimerIOS.php?devid=86000001",
        "GET /TolvarGetPaiMingIOS.php",
        "GET /TolvarGetFriendIOS.php?devid=8600%200001",
        "POST /TolvarUploadPic.php?devid=86000001",
        "GET /TolvarSendEmailVCodeIOS.php?code=4711&email=a@b.cn",
    };
    std::sort(expected.begin(), expected.end());
    QCOMPARE(lines, expected);
    QVERIFY(!m_sim->requestsTo("/TolvarGetPaiMingIOS.php").first().hasQuery);
}

void tst_DeviceServer::logsUrlsAndAnswersWithoutThePassword()
{
    Log::Capture log;
    int answers = 0;
    server().login(Rider, "rider01", "secret1", [&](const StatusAnswer&) { ++answers; }, {});
    server().queryDevice(Rider, [&](const DeviceInfo&) { ++answers; }, {});
    QTRY_COMPARE_WITH_TIMEOUT(answers, 2, 5000);
    const QString base = m_sim->baseUrl().toString();
    QCOMPARE(log.matching("urlString = "),
             QStringList({"urlString = " + base +
                              "/TolvarLoginIOS.php?devid=86000001"
                              "&username=rider01&pwd=***",
                          "urlString = " + base + "/TolvarDevId.php?devid=86000001"}));
    QCOMPARE(log.matching("str = [{\"loginreturnmsg\":\"ok\"").size(), 1);
    const QStringList device = log.matching("str = [{\"devid\"");
    QCOMPARE(device.size(), 1);
    QVERIFY(device.first().contains(QStringLiteral("\"pwd\":\"***\"")));
    for (const QString& line : log.lines())
        QVERIFY2(!line.contains("secret1"), qPrintable(line));

    // Any spelling of the key's value is masked, whatever else is in the text.
    const QString plain = QStringLiteral("[{\"pwd\" : \"se\\\"c,ret}\",\"a\":1},{\"pwd\":1234}]");
    const QString masked = QStringLiteral("[{\"pwd\" : \"***\",\"a\":1},{\"pwd\":\"***\"}]");
    QCOMPARE(DeviceServer::maskPassword(plain), masked);
}

void tst_DeviceServer::deviceQueryReadsTheAccount()
{
    QList<DeviceInfo> infos;
    for (const QString& devid : {Rider, Fresh, QStringLiteral("86000009")}) {
        const qsizetype expected = infos.size() + 1;
        server().queryDevice(devid, [&](const DeviceInfo& info) { infos << info; }, {});
        QTRY_COMPARE_WITH_TIMEOUT(infos.size(), expected, 5000);
    }
    QCOMPARE(infos[0].username, QStringLiteral("rider01"));
    QCOMPARE(infos[0].pwd, QStringLiteral("secret1"));
    QVERIFY(infos[0].touxiangpath.startsWith(m_sim->baseUrl().toString()));
    QVERIFY(!infos[0].isUnknown());
    QVERIFY(!infos[1].isUnknown());
    QVERIFY(infos[1].username.size() < 3);
    QVERIFY(infos[2].isUnknown());
    QVERIFY(DeviceServer::deviceInfo(ServerAnswer(R"([{"devid":null,"username":"rider01"}])"))
                .isUnknown());
}

void tst_DeviceServer::uploadSendsTheStampedFilePart()
{
    Log::Capture log;
    std::optional<QString> text;
    const QByteArray png("\x89PNG\r\n\x1a\nbytes", 13);
    server().uploadPic(Rider, png, [&](const std::optional<QString>& t) { text = t; }, {});
    QTRY_VERIFY_WITH_TIMEOUT(text.has_value(), 5000);
    QVERIFY(text->startsWith(m_sim->baseUrl().toString()));
    const SimRequest request = m_sim->requests().last();
    QCOMPARE(request.parts.size(), 1);
    QCOMPARE(request.parts[0].name, QByteArray("uploadfile"));
    QCOMPARE(request.parts[0].fileName, QByteArray("ios20260305140709.png"));
    QCOMPARE(request.parts[0].contentType, QByteArray("image/png"));
    QCOMPARE(request.parts[0].data, png);
    QVERIFY(log.matching("urlString").isEmpty());
    QVERIFY(log.contains("str = " + *text));
    QVERIFY(log.contains("上传进度 = 1.000000"));
}

void tst_DeviceServer::mailAnswersAreClassifiedFromTheText()
{
    const QList<QByteArray> bodies = {"error:2 error:3", "error:1", "mail sent", "", "\xFF"};
    QList<ReturnMarker::Marker> recovery;
    QList<ReturnMarker::Marker> code;
    for (const QByteArray& body : bodies) {
        m_sim->addFault(SimFault::raw(body, {}, 2));
        server().sendRecoveryMail(Rider, "a@b.cn", [&](auto m) { recovery << m; }, {});
        QTRY_COMPARE_WITH_TIMEOUT(recovery.size(), code.size() + 1, 5000);
        server().sendVerificationCode("1", "a@b.cn", [&](auto m) { code << m; }, {});
        QTRY_COMPARE_WITH_TIMEOUT(code.size(), recovery.size(), 5000);
    }
    using R = ReturnMarker;
    QCOMPARE(recovery, QList<R::Marker>({R::Error2, R::Error1, R::Ok, R::Ok, R::Error1}));
    QCOMPARE(code, QList<R::Marker>({R::Ok, R::Error1, R::Ok, R::Ok, R::Error1}));

    // The simulator's own answers: a wrong address, then the registered one.
    server().sendRecoveryMail(Rider, "other@b.cn", [&](auto m) { recovery << m; }, {});
    QTRY_COMPARE_WITH_TIMEOUT(recovery.last(), R::Error3, 5000);
    const QString registered = m_sim->device(Rider).email;
    server().sendRecoveryMail(Rider, registered, [&](auto m) { recovery << m; }, {});
    QTRY_COMPARE_WITH_TIMEOUT(recovery.size(), 7, 5000);
    QCOMPARE(recovery.last(), R::Ok);
}

void tst_DeviceServer::accountAndStatusRound()
{
    std::optional<DeviceInfo> info;
    server().queryDevice(Fresh, [&](const DeviceInfo& i) { info = i; }, {});
    QTRY_VERIFY_WITH_TIMEOUT(info.has_value(), 5000);
    QVERIFY(!info->isUnknown() && info->username.size() < 3);

    MyBasicInfo::SetValue("weilanradio", "45");
    std::optional<StatusAnswer> registered;
    server().registerAccount(
        Fresh, "rider02", "pw 2&", "r2@x.cn", "wx2",
        StatusStore::storingFirst([&](const StatusAnswer& a) { registered = a; }), {});
    QTRY_VERIFY_WITH_TIMEOUT(registered.has_value(), 5000);
    QCOMPARE(registered->marker(), ReturnMarker::Ok);
    QCOMPARE(m_sim->device(Fresh).pwd, QStringLiteral("pw 2&"));
    QCOMPARE(MyBasicInfo::GetValue("weilanradio"), registered->record().storedValue("weilanradio"));
    QVERIFY(!MyBasicInfo::GetValue("power").isEmpty());

    std::optional<StatusAnswer> login;
    server().login(Fresh, "rider02", "pw 2&",
                   StatusStore::storingFirst([&](const StatusAnswer& a) { login = a; }), {});
    QTRY_VERIFY_WITH_TIMEOUT(login.has_value(), 5000);
    QCOMPARE(login->marker(), ReturnMarker::Ok);

    QList<StatusAnswer> polls;
    server().getEveryThing(
        Fresh, StatusStore::storingFirst([&](const StatusAnswer& a) { polls << a; }), {});
    QTRY_COMPARE_WITH_TIMEOUT(polls.size(), 1, 5000);
    QVERIFY(polls[0].isOk());
    const QString oldMax = MyBasicInfo::GetValue("maxspeed");

    bool accepted = false;
    server().updateSpeed(Fresh, "31", "17", [&] { accepted = true; }, {});
    QTRY_VERIFY_WITH_TIMEOUT(accepted, 5000);
    QCOMPARE(MyBasicInfo::GetValue("maxspeed"), oldMax);
    server().getEveryThing(
        Fresh, StatusStore::storingFirst([&](const StatusAnswer& a) { polls << a; }), {});
    QTRY_COMPARE_WITH_TIMEOUT(polls.size(), 2, 5000);
    QCOMPARE(MyBasicInfo::GetValue("maxspeed"), QStringLiteral("31"));
    QCOMPARE(MyBasicInfo::GetValue("lightspeed"), QStringLiteral("17"));
    QCOMPARE(MyBasicInfo::GetValue("weilanradio"), registered->record().storedValue("weilanradio"));
}

void tst_DeviceServer::errorAnswersStoreNothing()
{
    QList<StatusAnswer> answers;
    server().getEveryThing(
        Rider, StatusStore::storingFirst([&](const StatusAnswer& a) { answers << a; }), {});
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 5000);
    QVERIFY(answers[0].isOk());
    const QHash<QString, QString> stored = snapshot();
    QVERIFY(!stored.value("power").isEmpty());

    server().login(Rider, "rider01", "wrong",
                   StatusStore::storingFirst([&](const StatusAnswer& a) { answers << a; }), {});
    server().registerAccount(
        Rider, "x", "y", "z@z.cn", "w",
        StatusStore::storingFirst([&](const StatusAnswer& a) { answers << a; }), {});
    m_sim->addFault(SimFault::raw(R"([{"timerreturnmsg":"busy","power":"1"}])",
                                  "/TolvarGetEveryThingTimerIOS.php"));
    server().getEveryThing(
        Rider, StatusStore::storingFirst([&](const StatusAnswer& a) { answers << a; }), {});
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 4, 5000);
    QCOMPARE(answers[1].marker(), ReturnMarker::Error3);
    QCOMPARE(answers[2].marker(), ReturnMarker::Error3);
    QCOMPARE(answers[3].marker(), ReturnMarker::None);
    QCOMPARE(snapshot(), stored);
}

void tst_DeviceServer::badAnswers_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<bool>("transportFails");
    QTest::addColumn<int>("listSize");

    using K = SimFault::Kind;
    auto raw = [](const QByteArray& body, int status = 200) {
        return SimFault::raw(body, {}, -1, status);
    };
    QTest::newRow("empty body") << raw("") << false << 0;
    QTest::newRow("invalid utf-8") << raw("[{\"timerreturnmsg\":\"ok\xFF\"}]") << false << 0;
    QTest::newRow("null") << raw("null") << false << 0;
    QTest::newRow("top-level object")
        << raw(R"({"timerreturnmsg":"ok","loginreturnmsg":"ok"})") << false << 0;
    QTest::newRow("array of numbers") << raw("[1,2,3]") << false << 0;
    QTest::newRow("wrong types") << raw(R"([{"timerreturnmsg":null,"loginreturnmsg":{"a":"ok"},
        "registerreturnmsg":["ok"],"username":5,"power":{}},null,[]])")
                                 << false << 1;
    QTest::newRow("garbage") << SimFault::of(K::Garbage, {}, -1) << false << 0;
    QTest::newRow("10 MB") << raw(QByteArray(10 * 1024 * 1024, 'k')) << true << 0;
    QTest::newRow("500") << SimFault::of(K::ServerError, {}, -1) << true << 0;
    QTest::newRow("404") << raw(R"([{"timerreturnmsg":"ok"}])", 404) << true << 0;
    QTest::newRow("closed") << SimFault::of(K::Drop, {}, -1) << true << 0;
    QTest::newRow("closed mid-body") << SimFault::of(K::CutBody, {}, -1) << true << 0;
    QTest::newRow("never answers") << SimFault::of(K::Stall, {}, -1) << true << 0;
    QTest::newRow("redirect elsewhere") << raw("moved", 302) << true << 0;
    QTest::newRow("refused") << SimFault() << true << 0;
}

void tst_DeviceServer::badAnswers()
{
    QFETCH(SimFault, fault);
    QFETCH(bool, transportFails);
    QFETCH(int, listSize);

    const QByteArray tag = QTest::currentDataTag();
    DeviceServerSimulator elsewhere;
    QVERIFY(elsewhere.listen(0) > 0);
    if (tag == "redirect elsewhere")
        fault.headers = {{"Location", elsewhere.baseUrl().toEncoded() + "/TolvarDevId.php"}};
    if (tag == "refused") {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_app->delegate->setServerUrl(
            QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort()));
    } else {
        m_sim->addFault(fault);
    }
    MyUtil::GetGlobalAFmanager()->setTransferTimeout(300);
    MyBasicInfo::SetValue("power", "39");
    const QHash<QString, QString> before = snapshot();
    Log::Quiet quiet;

    // Answers may arrive in any order; each is kept under its script's name.
    QMap<QString, ReturnMarker::Marker> markers;
    QList<int> lists;
    int failures = 0;
    auto failed = [&failures](const QString&) { ++failures; };
    auto marked = [&markers](const char* name) {
        return [&markers, name](const StatusAnswer& a) { markers.insert(name, a.marker()); };
    };
    auto listed = [&lists](const auto& list) { lists << int(list.size()); };
    server().login(Rider, "rider01", "secret1", marked("login"), failed);
    server().registerAccount(Rider, "rider01", "secret1", "a@b.cn", "wx", marked("register"),
                             failed);
    server().getEveryThing(Rider, marked("poll"), failed);
    server().getPaiMing(listed, failed);
    server().getGpsInfo(Rider, 0, listed, failed);
    server().updateWeiLan(Rider, 1);
    QTRY_COMPARE_WITH_TIMEOUT(markers.size() + lists.size() + failures, 5, 10000);

    QCOMPARE(snapshot(), before);
    QVERIFY(elsewhere.requests().isEmpty());
    if (transportFails) {
        QCOMPARE(failures, 5);
        return;
    }
    using R = ReturnMarker;
    QCOMPARE(markers.value("login"), R::Error1);
    QCOMPARE(markers.value("register"), R::Error1);
    QCOMPARE(markers.value("poll"), R::None);
    QCOMPARE(lists, QList<int>({listSize, listSize}));
}

void tst_DeviceServer::failuresAreLoggedOnlyByCallers()
{
    m_sim->addFault(SimFault::of(SimFault::Kind::ServerError, {}, 2));
    Log::Capture log;
    QString error;
    server().updateWeiLan(Rider, 0);
    server().getPaiMing({}, [&error](const QString& e) { error = e; });
    QTRY_VERIFY_WITH_TIMEOUT(!error.isEmpty(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->requests().size(), 2, 5000);
    QVERIFY(log.matching("error").isEmpty());
    QVERIFY(log.matching("htmlstr").isEmpty());
    DeviceServer::logError(error);
    QCOMPARE(log.matching("error = "), QStringList({"error = " + error}));
    QCOMPARE(server().mapPageUrl(90, 116.4, 39.9),
             m_sim->baseUrl().toString() + "/TestMap.php?wl=90&lng=116.400000&lat=39.900000");
}

void tst_DeviceServer::longAnswersAreLoggedShortened()
{
    const QByteArray body = "[\"" + QByteArray(100 * 1024, 'x') + "\"]";
    m_sim->addFault(SimFault::raw(body));
    Log::Capture log;
    bool answered = false;
    server().getPaiMing([&](const QList<RiderInfo>&) { answered = true; }, {});
    QTRY_VERIFY_WITH_TIMEOUT(answered, 10000);
    const QStringList lines = log.matching("htmlstr = ");
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().size() < 66 * 1024);
    QVERIFY(
        lines.first().endsWith(QStringLiteral("(answer shortened: %1 bytes)").arg(body.size())));
}

QTEST_MAIN(tst_DeviceServer)
#include "tst_DeviceServer.moc"
