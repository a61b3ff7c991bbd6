#include "TinyServer.h"
#include "platform/Log.h"
#include "protocol/DeviceServer.h"
#include "protocol/HttpManager.h"
#include "protocol/MyUtil.h"
#include "protocol/StatusAnswer.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"

#include <QtTest>

// The scripts through the real protocol layer against a server on 127.0.0.1:
// what goes on the wire and into the log, and what bad answers do (nothing
// but what they are allowed to).
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
    void statusAnswersStoreOnlyWhenOk();
    void badAnswers_data();
    void badAnswers();
    void failuresAreLoggedOnlyByCallers();

private:
    void waitForRequests(int count);
    std::unique_ptr<TestApp> m_app;
    std::unique_ptr<TinyServer> m_server;
};

namespace {

const QByteArray StatusBody = R"([{"loginreturnmsg":"ok","registerreturnmsg":"ok",
    "timerreturnmsg":"ok","power":"40.1","lat":"39.9","lng":"116.4","absday":3,
    "weilanwaring":"1","banlvstate":2,"banlvstateupdate":1}])";

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
    m_server = std::make_unique<TinyServer>();
    m_app = std::make_unique<TestApp>();
    m_app->delegate->setServerUrl(m_server->baseUrl() + "/");
    Log::Quiet quiet;
    MyUtil::InitMyDateBase();
}

void tst_DeviceServer::cleanup()
{
    m_app.reset();
    m_server.reset();
}

void tst_DeviceServer::waitForRequests(int count)
{
    QTRY_COMPARE_WITH_TIMEOUT(m_server->requests.size(), count, 5000);
}

void tst_DeviceServer::everyScriptsRequestLine()
{
    int answers = 0;
    auto counted = [&answers](auto&&...) { ++answers; };
    DeviceServer::queryDevice("8600 驴1", counted, {});
    DeviceServer::registerAccount("86000001", "a&b=c", "p#1", "x+y@z.cn", "微信", counted, {});
    DeviceServer::login("86000001", "rider01", "secret1", counted, {});
    DeviceServer::updateSpeed("86000001", "25", "18.5", counted, {});
    DeviceServer::updateWeiLan("86000001", 1);
    DeviceServer::sendRecoveryMail("86000001", "a@b.cn", counted, {});
    DeviceServer::getGpsInfo("86000001[x]", 1234, counted, {});
    DeviceServer::getEveryThing("86000001", counted, {});
    DeviceServer::getPaiMing(counted, {});
    DeviceServer::getFriends("8600 0001", counted, {});
    DeviceServer::uploadPic("86000001", "png", counted, {});
    DeviceServer::sendVerificationCode("4711", "a@b.cn", counted, {});
    QTRY_COMPARE_WITH_TIMEOUT(answers, 11, 5000);
    waitForRequests(12);
    QList<QByteArray> lines;
    for (const TinyRequest& request : m_server->requests)
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
}

void tst_DeviceServer::logsUrlsAndAnswersWithoutThePassword()
{
    m_server->handler = [](const TinyRequest& request) {
        if (request.target.startsWith("/TolvarDevId"))
            return TinyResponse{200, R"([{"devid":"86000001","username":"rider01",
                "pwd" : "se\"c,ret}","email":"a@b.cn"},{"pwd":1234}])"};
        return TinyResponse{200, R"([{"loginreturnmsg":"error:3"}])"};
    };
    Log::Capture log;
    int answers = 0;
    DeviceServer::login("86000001", "rider01", "secret1", [&](const StatusAnswer&) { ++answers; },
                        {});
    DeviceServer::queryDevice("86000001", [&](const DeviceInfo&) { ++answers; }, {});
    QTRY_COMPARE_WITH_TIMEOUT(answers, 2, 5000);
    const QString base = m_server->baseUrl();
    QCOMPARE(log.matching("urlString = "),
             QStringList({"urlString = " + base +
                              "/TolvarLoginIOS.php?devid=86000001"
                              "&username=rider01&pwd=***",
                          "urlString = " + base + "/TolvarDevId.php?devid=86000001"}));
    QVERIFY(log.contains(R"(str = [{"loginreturnmsg":"error:3"}])"));
    const QStringList deviceLines = log.matching("str = [{\"devid\"");
    QCOMPARE(deviceLines.size(), 1);
    QVERIFY(deviceLines.first().contains(R"("pwd" : "***","email")"));
    QVERIFY(deviceLines.first().contains(R"({"pwd":"***"}])"));
    for (const QString& line : log.lines())
        QVERIFY2(!line.contains("secret1") && !line.contains("c,ret") && !line.contains("1234"),
                 qPrintable(line));
}

void tst_DeviceServer::deviceQueryReadsTheAccount()
{
    m_server->handler = [](const TinyRequest& request) {
        if (request.target.contains("devid=86000009"))
            return TinyResponse{200, R"([{"devid":"null","username":"","pwd":""}])"};
        return TinyResponse{200, R"([{"devid":"86000001","username":"rider01","pwd":"secret1",
            "email":"a@b.cn","weixin":"wx","touxiangpath":"http://h/a.png"}])"};
    };
    QList<DeviceInfo> infos;
    DeviceServer::queryDevice("86000001", [&](const DeviceInfo& info) { infos << info; }, {});
    waitForRequests(1);
    QTRY_COMPARE_WITH_TIMEOUT(infos.size(), 1, 5000);
    DeviceServer::queryDevice("86000009", [&](const DeviceInfo& info) { infos << info; }, {});
    QTRY_COMPARE_WITH_TIMEOUT(infos.size(), 2, 5000);
    QCOMPARE(infos[0].username, QStringLiteral("rider01"));
    QCOMPARE(infos[0].pwd, QStringLiteral("secret1"));
    QCOMPARE(infos[0].touxiangpath, QStringLiteral("http://h/a.png"));
    QVERIFY(!infos[0].isUnknown());
    QVERIFY(infos[1].isUnknown());
    QVERIFY(infos[1].email.isEmpty());
}

void tst_DeviceServer::uploadSendsTheStampedFilePart()
{
    m_server->handler = [](const TinyRequest&) { return TinyResponse{200, "http://h/u/1.png"}; };
    Log::Capture log;
    std::optional<QString> text;
    DeviceServer::uploadPic("86000001", "\x89PNG",
                            [&](const std::optional<QString>& t) { text = t; }, {});
    QTRY_VERIFY_WITH_TIMEOUT(text.has_value(), 5000);
    QCOMPARE(*text, QStringLiteral("http://h/u/1.png"));
    const TinyRequest& request = m_server->requests.first();
    QVERIFY(request.body.contains("name=\"uploadfile\"; filename=\"ios20260305140709.png\""));
    QVERIFY(request.body.contains("Content-Type: image/png"));
    QVERIFY(log.matching("urlString").isEmpty());
    QVERIFY(log.contains("str = http://h/u/1.png"));
}

void tst_DeviceServer::mailAnswersAreClassifiedFromTheText()
{
    const QList<QByteArray> bodies = {"error:2 error:3", "error:1", "mail sent", "", "\xFF"};
    QList<ReturnMarker::Marker> recovery;
    QList<ReturnMarker::Marker> code;
    for (const QByteArray& body : bodies) {
        m_server->handler = [body](const TinyRequest&) { return TinyResponse{200, body}; };
        DeviceServer::sendRecoveryMail("86000001", "a@b.cn", [&](auto m) { recovery << m; }, {});
        QTRY_COMPARE_WITH_TIMEOUT(recovery.size(), code.size() + 1, 5000);
        DeviceServer::sendVerificationCode("1", "a@b.cn", [&](auto m) { code << m; }, {});
        QTRY_COMPARE_WITH_TIMEOUT(code.size(), recovery.size(), 5000);
    }
    using R = ReturnMarker;
    QCOMPARE(recovery, QList<R::Marker>({R::Error2, R::Error1, R::Ok, R::Ok, R::Error1}));
    QCOMPARE(code, QList<R::Marker>({R::Ok, R::Error1, R::Ok, R::Ok, R::Error1}));
}

void tst_DeviceServer::statusAnswersStoreOnlyWhenOk()
{
    m_server->handler = [](const TinyRequest&) { return TinyResponse{200, StatusBody}; };
    QList<StatusAnswer> answers;
    DeviceServer::getEveryThing("86000001", [&](const StatusAnswer& a) { answers << a; }, {});
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 5000);
    const StatusAnswer& poll = answers.first();
    QVERIFY(poll.isOk());
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("40.1"));
    QCOMPARE(MyBasicInfo::GetValue("absday"), QStringLiteral("3"));
    QCOMPARE(MyBasicInfo::GetValue("banlvstate"), QStringLiteral("2"));
    QCOMPARE(poll.integer("weilanwaring"), 1);
    QCOMPARE(poll.integer("banlvstateupdate"), 1);
    QCOMPARE(poll.number32("lat"), 39.9f);

    m_server->handler = [](const TinyRequest&) {
        return TinyResponse{200, R"([{"loginreturnmsg":"error:3","timerreturnmsg":"no"}])"};
    };
    DeviceServer::login("86000001", "u", "p", [&](const StatusAnswer& a) { answers << a; }, {});
    DeviceServer::getEveryThing("86000001", [&](const StatusAnswer& a) { answers << a; }, {});
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 3, 5000);
    QCOMPARE(answers[1].marker(), ReturnMarker::Error3);
    QCOMPARE(answers[2].marker(), ReturnMarker::None);
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("40.1"));
}

void tst_DeviceServer::badAnswers_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("transportFails");
    QTest::addColumn<int>("listSize");

    const int answer = TinyResponse::Answer;
    QTest::newRow("empty body") << 200 << QByteArray() << answer << false << 0;
    QTest::newRow("invalid utf-8")
        << 200 << QByteArray("[{\"timerreturnmsg\":\"ok\xFF\"}]") << answer << false << 0;
    QTest::newRow("null") << 200 << QByteArray("null") << answer << false << 0;
    QTest::newRow("top-level object")
        << 200 << QByteArray(R"({"timerreturnmsg":"ok","loginreturnmsg":"ok"})") << answer << false
        << 0;
    QTest::newRow("array of numbers") << 200 << QByteArray("[1,2,3]") << answer << false << 0;
    QTest::newRow("wrong types") << 200
                                 << QByteArray(
                                        R"([{"timerreturnmsg":null,"loginreturnmsg":{"a":"ok"},
        "registerreturnmsg":["ok"],"username":5,"power":{}},null,[]])")
                                 << answer << false << 1;
    QTest::newRow("10 MB") << 200 << QByteArray(10 * 1024 * 1024, 'k') << answer << false << 0;
    QTest::newRow("500") << 500 << QByteArray(R"([{"timerreturnmsg":"ok"}])") << answer << true
                         << 0;
    QTest::newRow("404") << 404 << QByteArray("not here") << answer << true << 0;
    QTest::newRow("closed") << 200 << QByteArray() << int(TinyResponse::Close) << true << 0;
    QTest::newRow("closed mid-body")
        << 200 << QByteArray(StatusBody) << int(TinyResponse::CutBody) << true << 0;
    QTest::newRow("never answers") << 200 << QByteArray() << int(TinyResponse::Stall) << true << 0;
    QTest::newRow("redirect elsewhere") << 302 << QByteArray("elsewhere") << answer << true << 0;
    QTest::newRow("refused") << 0 << QByteArray() << answer << true << 0;
}

void tst_DeviceServer::badAnswers()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, mode);
    QFETCH(bool, transportFails);
    QFETCH(int, listSize);

    TinyServer elsewhere;
    const QByteArray location = elsewhere.baseUrl().toLatin1() + "/x.php";
    m_server->handler = [&](const TinyRequest&) {
        return TinyResponse{status, body, {{"Location", location}}, TinyResponse::Mode(mode)};
    };
    if (status == 0) {
        const QString closed = TinyServer().baseUrl();
        m_app->delegate->setServerUrl(closed);
    }
    MyUtil::GetGlobalAFmanager()->setTransferTimeout(300);
    MyBasicInfo::SetValue("power", "39");
    const QHash<QString, QString> before = snapshot();
    Log::Quiet quiet;

    QList<ReturnMarker::Marker> markers;
    QList<int> lists;
    int failures = 0;
    auto failed = [&failures](const QString&) { ++failures; };
    auto marked = [&markers](const StatusAnswer& a) { markers << a.marker(); };
    auto listed = [&lists](const auto& list) { lists << int(list.size()); };
    DeviceServer::login("86000001", "rider01", "secret1", marked, failed);
    DeviceServer::registerAccount("86000001", "rider01", "secret1", "a@b.cn", "wx", marked, failed);
    DeviceServer::getEveryThing("86000001", marked, failed);
    DeviceServer::getPaiMing(listed, failed);
    DeviceServer::getGpsInfo("86000001", 0, listed, failed);
    DeviceServer::updateWeiLan("86000001", 1);
    QTRY_COMPARE_WITH_TIMEOUT(markers.size() + lists.size() + failures, 5, 10000);

    QCOMPARE(snapshot(), before);
    QVERIFY(elsewhere.requests.isEmpty());
    if (transportFails) {
        QCOMPARE(failures, 5);
        return;
    }
    using R = ReturnMarker;
    QCOMPARE(markers, QList<R::Marker>({R::Error1, R::Error1, R::None}));
    QCOMPARE(lists, QList<int>({listSize, listSize}));
}

void tst_DeviceServer::failuresAreLoggedOnlyByCallers()
{
    m_server->handler = [](const TinyRequest&) { return TinyResponse{500, "down"}; };
    Log::Capture log;
    QString error;
    DeviceServer::updateWeiLan("86000001", 0);
    DeviceServer::getPaiMing({}, [&error](const QString& e) { error = e; });
    QTRY_VERIFY_WITH_TIMEOUT(!error.isEmpty(), 5000);
    waitForRequests(2);
    QVERIFY(log.matching("error").isEmpty());
    QVERIFY(log.matching("htmlstr").isEmpty());
    DeviceServer::logError(error);
    QCOMPARE(log.matching("error = "), QStringList({"error = " + error}));
    QCOMPARE(DeviceServer::mapPageUrl(90, 116.4, 39.9),
             m_server->baseUrl() + "/TestMap.php?wl=90&lng=116.400000&lat=39.900000");
}

QTEST_GUILESS_MAIN(tst_DeviceServer)
#include "tst_DeviceServer.moc"
