#include "platform/Log.h"
#include "protocol/HttpManager.h"
#include "protocol/MyUtil.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// The shared HTTP manager on the wire, against the device-server simulator: what counts as success,
// every kind of failure, parameters, progress lines, the multipart upload, redirects, the time-out,
// and which manager GetGlobalAFmanager hands out.
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
    void redirectLoopFails();
    void answersAreBoundedInTimeAndSize();
    void failureTextsHideThePassword();
    void postSendsOneFilePart();
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

namespace {

// A simulator listening on 127.0.0.1, and the URL of one of its paths.
struct Sim
{
    DeviceServerSimulator server;
    Sim() { server.listen(0); }
    QString url(const char* target) const { return server.baseUrl().toString() + target; }
    QList<QByteArray> targets() const
    {
        QList<QByteArray> list;
        for (const SimRequest& request : server.requests())
            list.append(request.target);
        return list;
    }
};

// A server for answers the simulator cannot give: a body without a length that keeps
// coming, `chunk` every `everyMs`, for as long as the client reads it.
struct Trickle : QTcpServer
{
    QByteArray chunk;
    qint64 sent = 0;

    Trickle(const QByteArray& piece, int everyMs) : chunk(piece)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this, everyMs] {
            QTcpSocket* socket = nextPendingConnection();
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [this, socket] {
                if (socket->bytesToWrite() < 1024 * 1024 && sent < 512LL * 1024 * 1024) {
                    sent += chunk.size();
                    socket->write(chunk);
                }
            });
            timer->start(everyMs);
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/x.php").arg(serverPort()); }
};

} // namespace

void tst_HttpManager::successHandsOverTheRawBodyOnTheMainThread()
{
    Sim sim;
    const QByteArray body("\xFF\x00 not text", 11);
    sim.server.addFault(SimFault::raw(body, {}, 1, 201));
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Log::Capture log;
    Outcome outcome;
    get(manager, sim.url("/a.php?x=1"), &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.body, body);
    QVERIFY(outcome.onMainThread);
    QCOMPARE(sim.targets(), QList<QByteArray>({"/a.php?x=1"}));
    QVERIFY(log.contains("downloadProgress = 1.000000"));
    QVERIFY(log.matching("error").isEmpty());
}

void tst_HttpManager::parametersFollowTheQueryEachEncoded()
{
    Sim sim;
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome first;
    get(manager, sim.url("/d.php?devid=8"), &first, {{"wd", "mirt"}, {"a b", "c&d=e"}});
    QTRY_VERIFY_WITH_TIMEOUT(first.done, 5000);
    Outcome second;
    get(manager, sim.url("/p.php"), &second, {{"wd", "mirt"}});
    QTRY_VERIFY_WITH_TIMEOUT(second.done, 5000);
    QCOMPARE(sim.targets(),
             QList<QByteArray>({"/d.php?devid=8&wd=mirt&a%20b=c%26d%3De", "/p.php?wd=mirt"}));
}

void tst_HttpManager::failures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("kind");
    const int raw = int(SimFault::Kind::RawBody);
    QTest::newRow("404") << 404 << raw;
    QTest::newRow("500") << 500 << raw;
    QTest::newRow("300") << 300 << raw;
    QTest::newRow("closed without answer") << 200 << int(SimFault::Kind::Drop);
    QTest::newRow("closed mid-body") << 200 << int(SimFault::Kind::CutBody);
}

void tst_HttpManager::failures()
{
    QFETCH(int, status);
    QFETCH(int, kind);
    Sim sim;
    // Every answer misbehaves: Qt sends a request again once when the connection
    // closes before any answer.
    SimFault fault = SimFault::raw(QByteArray(1000, 'x'), {}, -1, status);
    fault.kind = SimFault::Kind(kind);
    sim.server.addFault(fault);
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Log::Capture log;
    Outcome outcome;
    get(manager, sim.url("/TolvarGetPaiMingIOS.php"), &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(!outcome.succeeded);
    QVERIFY(!outcome.error.isEmpty());
    QVERIFY(outcome.onMainThread);
    // The manager leaves the "error = %@" line to its callers.
    QVERIFY(log.matching("error").isEmpty());
}

void tst_HttpManager::connectionRefusedFails()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString url = QStringLiteral("http://127.0.0.1:%1/x.php").arg(probe.serverPort());
    probe.close();
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, url, &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(!outcome.succeeded);
}

void tst_HttpManager::stalledTransferTimesOut()
{
    Sim sim;
    sim.server.addFault(SimFault::of(SimFault::Kind::Stall));
    QNetworkAccessManager network;
    HttpManager manager(&network);
    QCOMPARE(manager.transferTimeout(), 60000);
    manager.setTransferTimeout(150);
    Outcome outcome;
    get(manager, sim.url("/TolvarGetPaiMingIOS.php"), &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(!outcome.succeeded);
    QCOMPARE(sim.server.requests().size(), 1);
}

void tst_HttpManager::redirectToAnotherOriginIsNotFollowed()
{
    Sim other;
    Sim sim;
    SimFault redirect = SimFault::raw({}, {}, 1, 302);
    redirect.headers = {{"Location", other.url("/steal.php?pwd=secret1").toLatin1()}};
    sim.server.addFault(redirect);
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, sim.url("/TolvarLoginIOS.php?devid=8&pwd=secret1"), &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(!outcome.succeeded);
    QVERIFY(other.server.requests().isEmpty());
}

void tst_HttpManager::redirectToTheSameOriginIsFollowed()
{
    Sim sim;
    SimFault redirect = SimFault::raw({}, {}, 1, 301);
    redirect.headers = {{"Location", "/TolvarGetPaiMingIOS.php"}};
    sim.server.addFault(redirect);
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, sim.url("/old.php?a=1"), &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 5000);
    QVERIFY(outcome.succeeded);
    QVERIFY(outcome.body.startsWith("[{"));
    QCOMPARE(sim.targets(), QList<QByteArray>({"/old.php?a=1", "/TolvarGetPaiMingIOS.php"}));
}

void tst_HttpManager::redirectLoopFails()
{
    Sim sim;
    SimFault redirect = SimFault::raw({}, {}, -1, 302);
    redirect.headers = {{"Location", "/loop.php"}};
    sim.server.addFault(redirect);
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, sim.url("/loop.php"), &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 10000);
    QVERIFY(!outcome.succeeded);
    QCOMPARE(sim.server.requests().size(), 1 + HttpManager::MaxRedirects);
}

void tst_HttpManager::answersAreBoundedInTimeAndSize()
{
    QNetworkAccessManager network;
    HttpManager manager(&network);
    QCOMPARE(manager.answerLimit(), 4 * 1024 * 1024);
    manager.setTransferTimeout(1500);
    manager.setAnswerLimit(256 * 1024);
    // A byte every 50 ms keeps resetting an idle time-out; only a deadline ends it.
    Trickle drip("x", 50);
    Outcome dripped;
    get(manager, drip.url(), &dripped);
    Trickle flood(QByteArray(64 * 1024, 'x'), 1);
    Outcome flooded;
    get(manager, flood.url(), &flooded);
    Sim sim;
    sim.server.addFault(SimFault::raw(QByteArray(300 * 1024, 'x')));
    Outcome declared;
    get(manager, sim.url("/TolvarGetPaiMingIOS.php"), &declared);
    QTRY_VERIFY_WITH_TIMEOUT(dripped.done && flooded.done && declared.done, 60000);
    QCOMPARE(dripped.error, QStringLiteral("Request failed: no complete answer within 1.5 s"));
    const QString tooLarge = QStringLiteral("Request failed: answer larger than 262144 bytes");
    QCOMPARE(flooded.error, tooLarge);
    // What the kernel's socket buffers held when the abort came, far from the 512 MB.
    QVERIFY(flood.sent < 64 * 1024 * 1024);
    QCOMPARE(declared.error, tooLarge);
}

void tst_HttpManager::failureTextsHideThePassword()
{
    Sim sim;
    sim.server.addFault(SimFault::raw("gone", {}, -1, 404));
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome outcome;
    get(manager, sim.url("/TolvarLoginIOS.php?devid=8&username=u&pwd=Zq%20rx%2642&x=1"),
        &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 10000);
    QVERIFY2(outcome.error.contains("pwd=***"), qPrintable(outcome.error));
    QVERIFY2(!outcome.error.contains("Zq") && !outcome.error.contains("rx"),
             qPrintable(outcome.error));
}

void tst_HttpManager::postSendsOneFilePart()
{
    Sim sim;
    sim.server.addFault(SimFault::raw("http://h/a.png"));
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Log::Capture log;
    const QByteArray png("\x89PNG\r\n\x1a\n-image-bytes", 20);
    bool done = false;
    QByteArray answer;
    manager.POST(
        sim.url("/TolvarUploadPic.php?devid=8"), png, "uploadfile", "ios20260305140709.png",
        "image/png",
        [&](const QByteArray& body) {
            done = true;
            answer = body;
        },
        [&](const QString&) { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    QCOMPARE(answer, QByteArray("http://h/a.png"));
    QCOMPARE(sim.server.requests().size(), 1);
    const SimRequest request = sim.server.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, QByteArray("/TolvarUploadPic.php?devid=8"));
    QCOMPARE(request.parts.size(), 1);
    QCOMPARE(request.parts[0].name, QByteArray("uploadfile"));
    QCOMPARE(request.parts[0].fileName, QByteArray("ios20260305140709.png"));
    QCOMPARE(request.parts[0].contentType, QByteArray("image/png"));
    QCOMPARE(request.parts[0].data, png);
    QVERIFY(log.contains("上传进度 = 1.000000"));
}

void tst_HttpManager::globalManagerFollowsTheDelegate()
{
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

QTEST_MAIN(tst_HttpManager)
#include "tst_HttpManager.moc"
