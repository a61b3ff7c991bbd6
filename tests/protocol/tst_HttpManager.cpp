#include "protocol/HttpManager.h"
#include "protocol/MyUtil.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

Q_DECLARE_METATYPE(SimFault)

// The shared HTTP manager on the wire: what counts as success, every kind of failure, the
// time-out and size limits, redirects, and which manager GetGlobalAFmanager hands out.
class tst_HttpManager : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void parametersFollowTheQueryEachEncoded();
    void answersAreBoundedInTimeAndSize();
    void globalManagerFollowsTheDelegate();
};

namespace {

struct Outcome
{
    bool done = false;
    bool succeeded = false;
    QByteArray body;
    QString error;
    bool onMainThread = false;
};

void get(HttpManager& manager, const QString& url, Outcome* outcome,
         const HttpManager::Parameters& parameters = {})
{
    auto onMain = [] { return QThread::currentThread() == QCoreApplication::instance()->thread(); };
    manager.GET(
        url, parameters,
        [outcome, onMain](const QByteArray& body) { *outcome = {true, true, body, {}, onMain()}; },
        [outcome, onMain](const QString& error) { *outcome = {true, false, {}, error, onMain()}; });
}

QString urlOf(const DeviceServerSimulator& sim, const QByteArray& target)
{
    return sim.baseUrl().toString() + QString::fromLatin1(target);
}

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

const QByteArray Login = "/TolvarLoginIOS.php?devid=8&username=u&pwd=Zq%20rx%2642&x=1";

} // namespace

void tst_HttpManager::outcomes_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QByteArray>("body"); // empty: the request fails
    QTest::addColumn<int>("requests");
    auto raw = [](int status, const QByteArray& location = {}, int count = -1) {
        SimFault fault = SimFault::raw("body", {}, count, status);
        if (!location.isEmpty())
            fault.headers = {{"Location", location}};
        return fault;
    };
    using K = SimFault::Kind;
    QTest::newRow("any bytes, 201") << raw(201) << QByteArray("body") << 1;
    const QByteArray binary("\xFF\0x", 3);
    QTest::newRow("not text") << SimFault::raw(binary, {}, 1) << binary << 1;
    QTest::newRow("404") << raw(404) << QByteArray() << 1;
    QTest::newRow("500") << raw(500) << QByteArray() << 1;
    QTest::newRow("300") << raw(300) << QByteArray() << 1;
    // Qt sends a request again once when the connection closes before any answer.
    QTest::newRow("closed without answer") << SimFault::of(K::Drop, {}, -1) << QByteArray() << 2;
    QTest::newRow("closed mid-body") << SimFault::of(K::CutBody, {}, -1) << QByteArray() << 1;
    QTest::newRow("never answers") << SimFault::of(K::Stall, {}, -1) << QByteArray() << 1;
    QTest::newRow("redirect to the same origin")
        << raw(301, "/TolvarGetPaiMingIOS.php?pwd=x", 1) << QByteArray("[{") << 2;
    QTest::newRow("redirect loop") << raw(302, "/loop.php") << QByteArray()
                                   << 1 + HttpManager::MaxRedirects;
    QTest::newRow("redirect elsewhere") << raw(302, "elsewhere") << QByteArray() << 1;
    QTest::newRow("refused") << SimFault() << QByteArray() << 0;
}

void tst_HttpManager::outcomes()
{
    QFETCH(SimFault, fault);
    QFETCH(QByteArray, body);
    QFETCH(int, requests);
    DeviceServerSimulator sim;
    DeviceServerSimulator other;
    QVERIFY(sim.listen() && other.listen());
    QString url = urlOf(sim, Login);
    const QByteArray tag = QTest::currentDataTag();
    if (tag == "refused") {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        url = QStringLiteral("http://127.0.0.1:%1/x.php").arg(probe.serverPort());
    } else {
        if (tag == "redirect elsewhere")
            fault.headers = {{"Location", urlOf(other, Login).toLatin1()}};
        sim.addFault(fault);
    }
    QNetworkAccessManager network;
    HttpManager manager(&network);
    QCOMPARE(manager.transferTimeout(), 60000);
    if (tag == "never answers")
        manager.setTransferTimeout(300);
    Outcome outcome;
    get(manager, url, &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 20000);
    QVERIFY(outcome.onMainThread);
    QCOMPARE(outcome.succeeded, !body.isEmpty());
    QVERIFY(outcome.body.startsWith(body));
    QCOMPARE(sim.requests().size(), requests);
    QVERIFY(other.requests().isEmpty());
    if (requests > 0)
        QCOMPARE(sim.requests().first().target, Login);
    // Failure texts quote the URL; its password is masked there.
    QVERIFY2(!outcome.error.contains("Zq") && !outcome.error.contains("rx"),
             qPrintable(outcome.error));
    if (tag == "404")
        QVERIFY2(outcome.error.contains("pwd=***"), qPrintable(outcome.error));
}

void tst_HttpManager::parametersFollowTheQueryEachEncoded()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    QNetworkAccessManager network;
    HttpManager manager(&network);
    Outcome first;
    get(manager, urlOf(sim, "/d.php?devid=8"), &first, {{"wd", "mirt"}, {"a b", "c&d=e"}});
    Outcome second;
    get(manager, urlOf(sim, "/p.php"), &second, {{"wd", "mirt"}, {"x", "1"}});
    QTRY_VERIFY_WITH_TIMEOUT(first.done && second.done, 20000);
    QStringList targets;
    for (const SimRequest& request : sim.requests())
        targets << request.target;
    targets.sort();
    QCOMPARE(targets, QStringList({"/d.php?devid=8&wd=mirt&a%20b=c%26d%3De", "/p.php?wd=mirt&x=1"}));
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
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    sim.addFault(SimFault::raw(QByteArray(300 * 1024, 'x')));
    Outcome declared;
    get(manager, urlOf(sim, "/TolvarGetPaiMingIOS.php"), &declared);
    QTRY_VERIFY_WITH_TIMEOUT(dripped.done && flooded.done && declared.done, 60000);
    QCOMPARE(dripped.error, QStringLiteral("Request failed: no complete answer within 1.5 s"));
    const QString tooLarge = QStringLiteral("Request failed: answer larger than 262144 bytes");
    QCOMPARE(flooded.error, tooLarge);
    // What the kernel's socket buffers held when the abort came, far from the 512 MB.
    QVERIFY(flood.sent < 64 * 1024 * 1024);
    QCOMPARE(declared.error, tooLarge);
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

    QNetworkAccessManager replaced;
    app.delegate->setNetworkAccessManager(&replaced);
    QCOMPARE(MyUtil::GetGlobalAFmanager()->network(), &replaced);

    QPointer<HttpManager> old = MyUtil::GetGlobalAFmanager();
    app.restart();
    QVERIFY(old.isNull());
    QCOMPARE(MyUtil::GetGlobalAFmanager()->network(), app.delegate->networkAccessManager());
}

QTEST_MAIN(tst_HttpManager)
#include "tst_HttpManager.moc"
