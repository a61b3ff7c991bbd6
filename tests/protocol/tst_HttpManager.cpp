#include "TinyServer.h"
#include "platform/Log.h"
#include "protocol/HttpManager.h"
#include "protocol/MyUtil.h"
#include "support/TestApp.h"

#include <QNetworkAccessManager>
#include <QtTest>

// The shared HTTP manager on the wire: what counts as success, every kind of
// failure, parameters, progress lines, the multipart upload, redirects, the
// time-out, and which manager GetGlobalAFmanager hands out.
class tst_HttpManager : public QObject
{
    Q_OBJECT

private slots:
    void successHandsOverTheRawBodyOnTheMainThread();
    void parametersFollowTheQueryEachEncoded();
    void failures_data();
    void failures();
    void connectionRefusedFails();
    void stalledTransferTimesOut();
    void redirectToAnotherOriginIsNotFollowed();
    void redirectToTheSameOriginIsFollowed();
    void postSendsOneFilePart();
    void plainHttpAsksForHttp11Only();
    void globalManagerFollowsTheDelegate();

private:
    struct Outcome
    {
        bool done = false;
        bool succeeded = false;
        QByteArray body;
        QString error;
        bool onMainThread = false;
    };

    static void get(HttpManager& manager, const QString& url, Outcome* outcome,
                    const HttpManager::Parameters& parameters = {});
};

void tst_HttpManager::get(HttpManager& manager, const QString& url, Outcome* outcome,
                          const HttpManager::Parameters& parameters)
{
    auto onMain = [] { return QThread::currentThread() == QCoreApplication::instance()->thread(); };
    manager.GET(
        url, parameters,
        [outcome, onMain](const QByteArray& body) {
            *outcome = {true, true, body, {}, onMain()};
        },
        [outcome, onMain](const QString& error) {
            *outcome = {true, false, {}, error, onMain()};
        });
}

void tst_HttpManager::successHandsOverTheRawBodyOnTheMainThread()
{
    TinyServer server;
    const QByteArray body("\xFF\x00 not text", 11);
    server.handler = [&body](const TinyRequest&) {
        return TinyResponse{201, body, {{"Content-Type", "application/octet-stream"}}};
    };
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Log::Capture log;
    Outcome outcome;
    get(manager, server.baseUrl() + "/a.php?x=1", &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.body, body);
    QVERIFY(outcome.onMainThread);
    QCOMPARE(server.targets(), QList<QByteArray>({"/a.php?x=1"}));
    QVERIFY(log.contains("downloadProgress = 1.000000"));
    QVERIFY(log.matching("error").isEmpty());
}

void tst_HttpManager::parametersFollowTheQueryEachEncoded()
{
    TinyServer server;
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome first;
    get(manager, server.baseUrl() + "/d.php?devid=8", &first, {{"wd", "mirt"}, {"a b", "c&d=e"}});
    QTRY_VERIFY_WITH_TIMEOUT(first.done, 5000);
    Outcome second;
    get(manager, server.baseUrl() + "/p.php", &second, {{"wd", "mirt"}});
    QTRY_VERIFY_WITH_TIMEOUT(second.done, 5000);
    QCOMPARE(server.targets(),
             QList<QByteArray>({"/d.php?devid=8&wd=mirt&a%20b=c%26d%3De", "/p.php?wd=mirt"}));
}

void tst_HttpManager::failures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("mode");
    QTest::newRow("404") << 404 << int(TinyResponse::Answer);
    QTest::newRow("500") << 500 << int(TinyResponse::Answer);
    QTest::newRow("199 is not success") << 199 << int(TinyResponse::Answer);
    QTest::newRow("300") << 300 << int(TinyResponse::Answer);
    QTest::newRow("closed without answer") << 200 << int(TinyResponse::Close);
    QTest::newRow("closed mid-body") << 200 << int(TinyResponse::CutBody);
}

void tst_HttpManager::failures()
{
    QFETCH(int, status);
    QFETCH(int, mode);
    TinyServer server;
    server.handler = [&](const TinyRequest&) {
        return TinyResponse{status, QByteArray(1000, 'x'), {}, TinyResponse::Mode(mode)};
    };
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Log::Capture log;
    Outcome outcome;
    get(manager, server.baseUrl() + "/f.php", &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(!outcome.succeeded);
    QVERIFY(!outcome.error.isEmpty());
    QVERIFY(outcome.onMainThread);
    // The manager leaves the "error = %@" line to its callers.
    QVERIFY(log.matching("error").isEmpty());
}

void tst_HttpManager::connectionRefusedFails()
{
    quint16 port = 0;
    {
        TinyServer gone;
        port = gone.port();
    }
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, QStringLiteral("http://127.0.0.1:%1/x.php").arg(port), &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(!outcome.succeeded);
}

void tst_HttpManager::stalledTransferTimesOut()
{
    TinyServer server;
    server.handler = [](const TinyRequest&) {
        return TinyResponse{200, {}, {}, TinyResponse::Stall};
    };
    QNetworkAccessManager network;
    HttpManager manager(&network);
    QCOMPARE(manager.transferTimeout(), 60000);
    manager.setTransferTimeout(150);
    Outcome outcome;
    get(manager, server.baseUrl() + "/slow.php", &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(!outcome.succeeded);
    QCOMPARE(server.requests.size(), 1);
}

void tst_HttpManager::redirectToAnotherOriginIsNotFollowed()
{
    TinyServer other;
    TinyServer server;
    const QByteArray target = other.baseUrl().toLatin1() + "/steal.php";
    server.handler = [&target](const TinyRequest& request) {
        return TinyResponse{
            302, {}, {{"Location", target + "?" + request.target.split('?').last()}}};
    };
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, server.baseUrl() + "/TolvarLoginIOS.php?devid=8&pwd=secret1", &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(!outcome.succeeded);
    QVERIFY(other.requests.isEmpty());
}

void tst_HttpManager::redirectToTheSameOriginIsFollowed()
{
    TinyServer server;
    server.handler = [](const TinyRequest& request) {
        if (request.target.startsWith("/old"))
            return TinyResponse{301, {}, {{"Location", "/new.php?a=1"}}};
        return TinyResponse{200, "moved here"};
    };
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, server.baseUrl() + "/old.php?a=1", &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.body, QByteArray("moved here"));
    QCOMPARE(server.targets(), QList<QByteArray>({"/old.php?a=1", "/new.php?a=1"}));
}

void tst_HttpManager::postSendsOneFilePart()
{
    TinyServer server;
    server.handler = [](const TinyRequest&) { return TinyResponse{200, "http://h/a.png"}; };
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Log::Capture log;
    const QByteArray png("\x89PNG\r\n\x1a\n-image-bytes", 20);
    bool done = false;
    QByteArray answer;
    manager.POST(
        server.baseUrl() + "/TolvarUploadPic.php?devid=8", png, "uploadfile",
        "ios20260305140709.png", "image/png",
        [&](const QByteArray& body) {
            done = true;
            answer = body;
        },
        [&](const QString&) { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    QCOMPARE(answer, QByteArray("http://h/a.png"));
    QCOMPARE(server.requests.size(), 1);
    const TinyRequest& request = server.requests.first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, QByteArray("/TolvarUploadPic.php?devid=8"));
    QVERIFY(request.header("Content-Type").startsWith("multipart/form-data; boundary="));
    const QByteArray boundary = request.header("Content-Type").split('=').last().replace("\"", "");
    QCOMPARE(request.body.count("--" + boundary), 2);
    QVERIFY(request.body.contains(
        "form-data; name=\"uploadfile\"; filename=\"ios20260305140709.png\""));
    QVERIFY(request.body.contains("Content-Type: image/png"));
    QVERIFY(request.body.contains(png));
    QVERIFY(log.contains("上传进度 = 1.000000"));
}

void tst_HttpManager::plainHttpAsksForHttp11Only()
{
    TinyServer server;
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, server.baseUrl() + "/x.php", &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(server.requests.first().header("Upgrade").isEmpty());
    QVERIFY(server.requests.first().header("HTTP2-Settings").isEmpty());
}

void tst_HttpManager::globalManagerFollowsTheDelegate()
{
    QVERIFY(!AppDelegate::current());
    QVERIFY(!MyUtil::GetGlobalAFmanager());
    QNetworkAccessManager injected;
    TestApp app;
    app.delegate->setNetworkAccessManager(&injected);
    HttpManager* manager = MyUtil::GetGlobalAFmanager();
    QVERIFY(manager);
    QCOMPARE(MyUtil::GetGlobalAFmanager(), manager);
    QCOMPARE(manager->network(), &injected);
    QCOMPARE(manager->transferTimeout(), 60000);

    QNetworkAccessManager replaced;
    app.delegate->setNetworkAccessManager(&replaced);
    QCOMPARE(MyUtil::GetGlobalAFmanager()->network(), &replaced);

    QPointer<HttpManager> old = MyUtil::GetGlobalAFmanager();
    app.restart();
    QVERIFY(old.isNull());
    QVERIFY(MyUtil::GetGlobalAFmanager());
    QCOMPARE(MyUtil::GetGlobalAFmanager()->network(), app.delegate->networkAccessManager());
}

QTEST_GUILESS_MAIN(tst_HttpManager)
#include "tst_HttpManager.moc"
