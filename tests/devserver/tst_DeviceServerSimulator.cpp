#include "tools/devserver/DeviceServerSimulator.h"
#include "tools/devserver/MultipartBody.h"
#include "tools/devserver/QueryString.h"

#include <QtTest>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QSvgRenderer>
#include <QTcpSocket>

namespace {

const QByteArray Ranking = "/TolvarGetPaiMingIOS.php";
const QByteArray Status = "/TolvarGetEveryThingTimerIOS.php?devid=86000001";
const QByteArray Png("\x89PNG\r\n\x1a\n-picture", 17);

// What a plain client got back.
struct Reply
{
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray location;
    QJsonValue json(int index = 0) const { return QJsonDocument::fromJson(body).array().at(index); }
};

// Redirects are not followed. State-changing control requests are POSTs, parameters may stay
// in the query.
Reply call(QNetworkAccessManager& net, const DeviceServerSimulator& sim, const QByteArray& target,
           const QByteArray& verb = "GET", const QByteArray& json = {}, int timeoutMs = 20000)
{
    QNetworkRequest request(QUrl::fromEncoded(sim.baseUrl().toEncoded() + target));
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    QNetworkReply* reply = net.sendCustomRequest(request, verb, json);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(60000);
    reply->deleteLater();
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
            reply->error(), reply->rawHeader("Location")};
}

// Sends bytes as they are, the way a hostile client would, and waits for the server to
// close the connection. Returns the status, the body, and whether it closed.
std::tuple<int, QByteArray, bool> exchangeRaw(quint16 port, const QByteArray& bytes)
{
    QTcpSocket socket;
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(20000))
        return {};
    socket.write(bytes);
    const bool wasClosed = closed.wait(20000);
    received += socket.readAll();
    return {received.left(received.indexOf("\r\n")).split(' ').value(1).toInt(),
            received.mid(received.indexOf("\r\n\r\n") + 4), wasClosed};
}

QByteArray uploadRequest(const QByteArray& devid, const QByteArray& data,
                         const QByteArray& host = "localhost")
{
    const QByteArray body = "--XyZ\r\nContent-Disposition: form-data; name=\"uploadfile\"; "
                            "filename=\"../../page.html\"\r\n\r\n" +
                            data + "\r\n--XyZ--\r\n";
    return "POST /TolvarUploadPic.php?devid=" + devid + " HTTP/1.1\r\nHost: " + host +
           "\r\nConnection: close\r\nContent-Type: multipart/form-data; boundary=XyZ\r\n"
           "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace

// The simulated device server as a client sees it on the wire: what it accepts and refuses,
// its fault modes, its control API and its determinism. Its scripts' answers are the
// protocol, e2e and screen tests' business.
class tst_DeviceServerSimulator : public QObject
{
    Q_OBJECT

private slots:
    void queryStringReadsLikeTheScripts();
    void multipartBodyGivesItsParts();
    void rawTargetsAreKeptExactlyAndInOrder();
    void hostileRequestsAreRefused_data();
    void hostileRequestsAreRefused();
    void idleConnectionsAreClosed();
    void faults_data();
    void faults();
    void faultScopesAndRates();
    void controlApi();
    void sameSeedSameWorld();
    void simulatedWorld();
    void dataDirKeepsTheWorldAcrossRuns();

private:
    QNetworkAccessManager m_net;
};

void tst_DeviceServerSimulator::queryStringReadsLikeTheScripts()
{
    const QueryString query("devid=86%2000001&username=a+b%26c&pwd=x=y&e&u2=%E4%B8%AD"
                            "&dup=1&dup=2&&");
    QCOMPARE(query.values(), (QHash<QString, QString>{{"devid", "86 00001"},
                                                      {"username", "a b&c"},
                                                      {"pwd", "x=y"},
                                                      {"e", ""},
                                                      {"u2", "中"},
                                                      {"dup", "2"}}));
}

void tst_DeviceServerSimulator::multipartBodyGivesItsParts()
{
    const QByteArray body = "--XyZ\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhi\r\n"
                            "--XyZ\r\nContent-Disposition: form-data; name=\"uploadfile\"; "
                            "filename=\"ios20260305140709.png\"\r\nContent-Type: image/png\r\n\r\n"
                            "\x89PNG\r\n\r\nrest\r\n--XyZ--\r\n";
    QList<QByteArray> parts;
    for (const auto& p : MultipartBody::parse("multipart/form-data; boundary=\"XyZ\"", body))
        parts << p.name + '|' + p.fileName + '|' + p.contentType + '|' + p.data;
    QCOMPARE(parts, QList<QByteArray>({"note|||hi", "uploadfile|ios20260305140709.png|image/png|"
                                                    "\x89PNG\r\n\r\nrest"}));
    QVERIFY(MultipartBody::parse("text/plain", body).isEmpty());
}

void tst_DeviceServerSimulator::rawTargetsAreKeptExactlyAndInOrder()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    QSignalSpy received(&sim, &DeviceServerSimulator::requestReceived);
    // Written by hand so nothing re-encodes the targets; requests share writes and are cut
    // in the middle of a target and of a body.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, sim.port());
    QVERIFY(socket.waitForConnected(20000));
    const QList<QByteArray> targets = {
        "/TolvarLoginIOS.php?devid=86%2000001&username=a&b=c&pwd=%7E%41'+*", "/a?x=%41", Ranking,
        "/TolvarGetGpsInfo.php?devid=%E4%B8%AD&sid=0"};
    socket.write("GET " + targets[0] + " HTTP/1.1\r\nHost: x\r\n\r\nPOST " + targets[1] +
                 " HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhel");
    QVERIFY(received.wait(20000));
    socket.write("loPOST " + targets[2] +
                 " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                 "3\r\nabc\r\n0\r\n");
    QVERIFY(received.size() > 1 || received.wait(20000));
    socket.write("\r\nGET " + targets[3].left(20));
    socket.flush();
    socket.write(targets[3].mid(20) + " HTTP/1.1\r\nHost: x\r\n\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(sim.requests().size(), 4, 20000);
    QList<QByteArray> seen;
    for (const SimRequest& r : sim.requests())
        seen << r.method + ' ' + r.path + (r.hasQuery ? "?" + r.query : "") + ' ' + r.body;
    QCOMPARE(seen, QList<QByteArray>({"GET " + targets[0] + ' ', "POST " + targets[1] + " hello",
                                      "POST " + targets[2] + " abc", "GET " + targets[3] + ' '}));
}

void tst_DeviceServerSimulator::hostileRequestsAreRefused_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QFile file(LVXING_TEST_DATA "/protocol/simulator-refuses.txt");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QRegularExpression header("^== ", QRegularExpression::MultilineOption);
    for (QString block : QString::fromUtf8(file.readAll()).split(header).mid(1)) {
        const QString head = block.left(block.indexOf('\n'));
        QTest::newRow(qPrintable(head))
            << block.mid(head.size() + 1).replace("\n", "\r\n").toUtf8() << head.left(3).toInt();
    }
    QTest::newRow("devid with ../ uploading") << uploadRequest("..%2Fescaped", Png) << 200;
    QTest::newRow("upload of no PNG") << uploadRequest("86000001", "<html><script>") << 200;
    QTest::newRow("upload over 5 MB")
        << uploadRequest("86000001", Png + QByteArray(5 << 20, 'p')) << 413;
    QTest::newRow("50 MB body") << QByteArray("POST /TolvarUploadPic.php?devid=1 HTTP/1.1\r\n"
                                              "Content-Length: 52428800\r\n\r\n")
                                << 413;
    QTest::newRow("50 KB header") << "GET / HTTP/1.1\r\nX-Pad: " + QByteArray(50 << 10, 'a') +
                                         "\r\n\r\n"
                                  << 431;
}

void tst_DeviceServerSimulator::hostileRequestsAreRefused()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    // Refused; were it taken, an upload for it would land outside the avatar folder.
    sim.addDevice("../escaped");
    const QDateTime start = sim.now();
    const auto [answered, body, closed] = exchangeRaw(sim.port(), request);
    QCOMPARE(answered, status);
    QVERIFY(closed);
    // Nothing changed: no time passed, no fault or device was added, no file written.
    QCOMPARE(sim.now(), start);
    QVERIFY(sim.faults().isEmpty());
    QVERIFY(!sim.hasDevice("86000003"));
    QDirIterator files(sim.dataDir(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        QVERIFY2(files.next().contains("/devserver.sqlite"), qPrintable(files.filePath()));
}

void tst_DeviceServerSimulator::idleConnectionsAreClosed()
{
    SimulatorOptions options;
    options.idleLimitMs = 1000;
    DeviceServerSimulator sim(options);
    QVERIFY(sim.listen());
    // An answer that takes longer than the idle limit still comes.
    sim.addFault(SimFault::delay(2000, Ranking));
    QCOMPARE(call(m_net, sim, Ranking).status, 200);
    QCOMPARE(sim.requests().size(), 1); // and the client had no reason to send it again
    // A head begun and never finished, the way slow-loris clients hold connections.
    const auto [status, body, closed] = exchangeRaw(sim.port(), "GET / HTTP/1.1\r\nHost: x\r\n");
    QCOMPARE(status, 0);
    QVERIFY(closed);
}

void tst_DeviceServerSimulator::faults_data()
{
    QTest::addColumn<QJsonArray>("row");
    QFile file(LVXING_TEST_DATA "/protocol/simulator-faults.json");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
    QVERIFY(rows.size() > 2);
    for (qsizetype i = 2; i < rows.size(); ++i)
        QTest::newRow(qPrintable(rows[i][0].toString())) << rows[i].toArray();
}

void tst_DeviceServerSimulator::faults()
{
    QFETCH(QJsonArray, row);
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    QJsonObject fault = row[1].toObject();
    fault.insert("script", QString(Ranking));
    QCOMPARE(call(m_net, sim, "/_sim/fault", "POST", QJsonDocument(fault).toJson()).status, 200);
    // Another script is not touched.
    QCOMPARE(call(m_net, sim, Status).status, 200);
    QElapsedTimer clock;
    clock.start();
    const int timeoutMs = fault["kind"] == "stall" ? 300 : 20000;
    const Reply reply = call(m_net, sim, Ranking, "GET", {}, timeoutMs);
    QVERIFY(clock.elapsed() >= fault["delayMs"].toInt());
    QCOMPARE(reply.status, row[2].toInt());
    QCOMPARE(QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply.error),
             row[3].toString());
    QVERIFY2(reply.body.startsWith(row[4].toString().toUtf8()), reply.body.left(200));
    QCOMPARE(reply.location, fault["headers"].toObject()["Location"].toString().toUtf8());
    if (fault["kind"] == "garbage") {
        QVERIFY(QJsonDocument::fromJson(reply.body).isNull());
        for (const char* marker : {"ok", "error:", "null"})
            QVERIFY2(!reply.body.contains(marker), marker);
    }
    // The fault is used up, and faulted requests are recorded like others.
    QVERIFY(sim.faults().isEmpty());
    QCOMPARE(sim.requestsTo(Ranking).size(), row[5].toInt());
    QCOMPARE(call(m_net, sim, Ranking).status, 200);
}

void tst_DeviceServerSimulator::faultScopesAndRates()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    // A global fault hits whatever comes next until cleared; a replaced answer means the
    // script never ran; the control API is never faulted.
    sim.addFault(SimFault::of(SimFault::Kind::ServerError, {}, -1));
    for (const char* target : {"/TolvarGetPaiMingIOS.php", "/TestMap.php?wl=30&lng=1&lat=1",
                               "/TolvarUpdateSpeed.php?devid=86000001&maxspeed=15&lightspeed=10"})
        QCOMPARE(call(m_net, sim, target).status, 500);
    QCOMPARE(sim.device("86000001").maxspeed, QString("25"));
    QCOMPARE(call(m_net, sim, "/_sim/state?devid=86000001").status, 200);
    // A delayed answer holds back no other.
    sim.clearFaults();
    sim.addFault(SimFault::delay(600000, Ranking));
    std::unique_ptr<QNetworkReply> slow(
        m_net.get(QNetworkRequest(QUrl(sim.baseUrl().toString() + Ranking))));
    QTRY_COMPARE_WITH_TIMEOUT(sim.requests().size(), 4, 20000);
    QCOMPARE(call(m_net, sim, Status).status, 200);
    QVERIFY(!slow->isFinished());

    SimulatorOptions options;
    options.failRate = 1.0;
    DeviceServerSimulator failing(options);
    options.failRate = 0;
    options.garbageRate = 0.5;
    DeviceServerSimulator mixed(options);
    options.garbageRate = 0;
    options.latencyMs = 400;
    DeviceServerSimulator slowServer(options);
    QVERIFY(failing.listen() && mixed.listen() && slowServer.listen());
    QCOMPARE(call(m_net, failing, Ranking).status, 500);
    QCOMPARE(call(m_net, failing, "/_sim/state?devid=86000001").status, 200);
    int garbage = 0;
    for (int i = 0; i < 40; ++i)
        garbage += call(m_net, mixed, Ranking).body.startsWith("[") ? 0 : 1;
    QVERIFY(garbage > 5 && garbage < 35);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(call(m_net, slowServer, Status).status, 200);
    QVERIFY(clock.elapsed() >= 400);
}

// What the run command's tour and the app's developers drive it with.
void tst_DeviceServerSimulator::controlApi()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QByteArray state = "/_sim/state?devid=86000001";
    const QByteArray move = R"({"power": 33.5, "banlvstate": 2, "lat": 30.28, "lng": 120.16})";
    QCOMPARE(QJsonDocument::fromJson(call(m_net, sim, state, "POST", move).body)["held"], true);
    QCOMPARE(call(m_net, sim, state + "&banlvstateupdate=1&maxspeed=20", "POST").status, 200);
    const QJsonValue record = call(m_net, sim, Status).json();
    QStringList values;
    for (const char* key : {"power", "banlvstate", "banlvstateupdate", "maxspeed", "lat", "lng"})
        values << record[key].toVariant().toString();
    QCOMPARE(values.join(' '), QStringLiteral("33.5 2 1 20 30.280000 120.160000"));

    call(m_net, sim, "/TolvarSendEmailVCodeIOS.php?code=AB12&email=x%40y.cn");
    QCOMPARE(call(m_net, sim, "/_sim/outbox").json()["code"], "AB12");
    const Reply requests = call(m_net, sim, "/_sim/requests");
    QCOMPARE(requests.json(1)["query"], "code=AB12&email=x%40y.cn");
    QVERIFY(requests.json(2).isUndefined()); // control requests are not recorded

    // The tour's way of asking for a fault.
    QCOMPARE(call(m_net, sim, "/_sim/fault?kind=500&script=" + Ranking + "&count=1", "POST").status,
             200);
    QCOMPARE(call(m_net, sim, Ranking).status, 500);
    const QDateTime before = sim.now();
    QCOMPARE(call(m_net, sim, "/_sim/advance?seconds=600", "POST").status, 200);
    QCOMPARE(before.secsTo(sim.now()), 600);
    QCOMPARE(call(m_net, sim, "/_sim/device?devid=86000003", "POST").status, 200);
    QVERIFY(sim.hasDevice("86000003"));
    QCOMPARE(call(m_net, sim, "/_sim/requests/clear", "POST").status, 200);
    QVERIFY(sim.requests().isEmpty());

    // Of older bodies the request log keeps the size, the hash and the head; the newest whole.
    const QByteArray big = QByteArray(5 * 1024 * 1024, 'b') + "end";
    for (int i = 0; i < 2; ++i)
        QCOMPARE(call(m_net, sim, Ranking, "POST", big).status, 200);
    const SimRequest older = sim.requests().first();
    QCOMPARE(older.body + ' ' + QByteArray::number(older.bodySize) + ' ' + older.bodySha256,
             big.left(4096) + ' ' + QByteArray::number(big.size()) + ' ' +
                 QCryptographicHash::hash(big, QCryptographicHash::Sha256).toHex());
    QCOMPARE(sim.requests().last().body, big);
}

void tst_DeviceServerSimulator::sameSeedSameWorld()
{
    SimulatorOptions options;
    options.seed = 42;
    DeviceServerSimulator a(options);
    DeviceServerSimulator b(options);
    options.seed = 43;
    DeviceServerSimulator c(options);
    QVERIFY(a.listen() && b.listen() && c.listen());
    // Answers with the server's own address taken out, so runs on different ports compare.
    auto answer = [this](const DeviceServerSimulator& sim, const QByteArray& target) {
        return call(m_net, sim, target)
            .body.replace(sim.baseUrl().toEncoded().replace("/", "\\/"), "BASE");
    };
    bool anyDifferent = false;
    for (auto* sim : {&a, &b, &c})
        sim->advance(5 * 3600);
    for (const QByteArray& target :
         {Ranking, QByteArray("/TolvarGetFriendIOS.php?devid=86000001"),
          QByteArray("/TolvarGetGpsInfo.php?devid=86000001&sid=0"), Status}) {
        const QByteArray fromA = answer(a, target);
        QCOMPARE(fromA, answer(b, target));
        anyDifferent = anyDifferent || fromA != answer(c, target);
    }
    QVERIFY(anyDifferent);
}

// What the simulation does on its own, which the app's tests look at only in passing: ranking
// places, avatars, night charging, the geofence page.
void tst_DeviceServerSimulator::simulatedWorld()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QJsonArray ranking = QJsonDocument::fromJson(call(m_net, sim, Ranking).body).array();
    for (int i = 0; i < ranking.size(); ++i)
        QCOMPARE(ranking[i]["paiming"], QString::number(i + 1));
    const QUrl avatar(ranking[0]["touxiangpath"].toString());
    QVERIFY(QImage::fromData(call(m_net, sim, avatar.path().toLatin1()).body, "PNG").width() > 0);

    // A Host header that is no host[:port] does not make the address.
    const QByteArray base = sim.baseUrl().toEncoded();
    const auto [status, address, closed] =
        exchangeRaw(sim.port(), uploadRequest("86000001", Png, "evil.example/\"><script>"));
    QVERIFY2(address.startsWith(base + "/touxiang/86000001-"), address);
    QCOMPARE(call(m_net, sim, address.mid(base.size())).body, Png);
    // Only PNG pictures are served from the folder, whatever their name.
    QFile planted(sim.dataDir() + "/touxiang/planted.png");
    QVERIFY(planted.open(QIODevice::WriteOnly) && planted.write("<html><script>") > 0);
    planted.close();
    QCOMPARE(call(m_net, sim, "/touxiang/planted.png").status, 404);

    // At night a low battery recovers, up to 41.4 V and no further.
    sim.advance(sim.now().secsTo(QDateTime(sim.now().date(), QTime(22, 0))));
    sim.setPower("86000001", 34.0);
    sim.advance(8 * 3600);
    QCOMPARE(sim.deviceState("86000001")["power"].toDouble(), 41.4);

    // The geofence page draws a tinted disc on a plain background, and a scale.
    const QByteArray page = call(m_net, sim, "/TestMap.php?wl=500&lng=120.5&lat=30.25").body;
    QVERIFY(page.contains(">500 m</text>"));
    QSvgRenderer renderer(
        page.mid(page.indexOf("<svg"), page.indexOf("</svg>") + 6 - page.indexOf("<svg")));
    QImage image(400, 400, QImage::Format_ARGB32);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    QCOMPARE(image.pixelColor(20, 20), QColor("#eef3ee"));
    const QColor inside = image.pixelColor(200, 280);
    QVERIFY(inside.green() > inside.red() + 20 && inside.lightness() > 150);
}

void tst_DeviceServerSimulator::dataDirKeepsTheWorldAcrossRuns()
{
    QTemporaryDir dir;
    SimulatorOptions options;
    options.dataDir = dir.path();
    for (const bool again : {false, true}) {
        DeviceServerSimulator sim(options);
        QVERIFY(sim.listen());
        if (!again) {
            call(m_net, sim, "/TolvarUpdateSpeed.php?devid=86000002&maxspeed=15&lightspeed=12");
            call(m_net, sim, "/TolvarSendEmailVCodeIOS.php?code=QQ11&email=k%40x.cn");
            continue;
        }
        QCOMPARE(sim.device("86000002").maxspeed, QString("15"));
        QCOMPARE(sim.lastCodeFor("k@x.cn"), QString("QQ11"));
    }
}

QTEST_MAIN(tst_DeviceServerSimulator)
#include "tst_DeviceServerSimulator.moc"
