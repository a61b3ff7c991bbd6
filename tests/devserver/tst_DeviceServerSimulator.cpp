#include "tools/devserver/DeviceServerSimulator.h"
#include "tools/devserver/GeoPoint.h"
#include "tools/devserver/MultipartBody.h"
#include "tools/devserver/QueryString.h"
#include "tools/devserver/WireRequestReader.h"

#include <QtTest>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QHttpMultiPart>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QSvgRenderer>
#include <QTcpSocket>

namespace {

// What a plain client got back.
struct Reply
{
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray contentType;
};

QUrl urlOf(const DeviceServerSimulator& sim, const QByteArray& target)
{
    return QUrl::fromEncoded(sim.baseUrl().toEncoded() + target, QUrl::StrictMode);
}

Reply finish(QNetworkReply* reply)
{
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    Reply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->isOpen() ? reply->readAll() : QByteArray();
    result.error = reply->error();
    result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    reply->deleteLater();
    return result;
}

QNetworkRequest requestFor(const QUrl& url, int timeoutMs = 20000)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    return request;
}

Reply get(QNetworkAccessManager& net, const DeviceServerSimulator& sim, const QByteArray& target)
{
    return finish(net.get(requestFor(urlOf(sim, target))));
}

// State-changing control requests are POSTs; parameters may stay in the query.
Reply post(QNetworkAccessManager& net, const DeviceServerSimulator& sim, const QByteArray& target,
           const QByteArray& json = {})
{
    QNetworkRequest request = requestFor(urlOf(sim, target));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    return finish(net.post(request, json));
}

// What the server wrote on a raw connection, and whether it closed it.
struct RawReply
{
    int status = 0;
    QByteArray body;
    bool closed = false;
};

// Sends bytes as they are, the way a hostile client would, and waits for the server
// to close the connection.
RawReply exchangeRaw(quint16 port, const QByteArray& bytes)
{
    QTcpSocket socket;
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(10000))
        return {};
    socket.write(bytes);
    RawReply reply;
    reply.closed = closed.wait(20000);
    received += socket.readAll();
    reply.status = received.left(received.indexOf("\r\n")).split(' ').value(1).toInt();
    reply.body = received.mid(received.indexOf("\r\n\r\n") + 4);
    return reply;
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

const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

QJsonArray array(const Reply& reply)
{
    return QJsonDocument::fromJson(reply.body).array();
}

QJsonObject first(const Reply& reply)
{
    return array(reply).at(0).toObject();
}

QByteArray pngBytes(const QColor& colour)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Answers with the server's own address taken out, so runs on different ports compare.
QByteArray portless(QByteArray body, const DeviceServerSimulator& sim)
{
    return body.replace(sim.baseUrl().toEncoded().replace("/", "\\/"), "BASE");
}

const QStringList kRecordOrder{"benzhoulicheng",
                               "shangzhoulicheng",
                               "todaylicheng",
                               "day1licheng",
                               "day2licheng",
                               "day3licheng",
                               "day4licheng",
                               "day5licheng",
                               "day6licheng",
                               "day7licheng",
                               "power",
                               "maxspeed",
                               "lightspeed",
                               "pingjunspeed",
                               "paiming",
                               "totallicheng",
                               "jifen",
                               "level",
                               "levelname",
                               "touxiangpath",
                               "absday",
                               "banlvstate",
                               "lng",
                               "lat"};

} // namespace

// The simulated device server, talked to the way the app talks to the real one.
class tst_DeviceServerSimulator : public QObject
{
    Q_OBJECT

private slots:
    void queryStringReadsLikeTheScripts();
    void wireReaderCutsRequestsApart();
    void multipartBodyGivesItsParts();

    void deviceQueryKnowsSeededDevices();
    void loginMarkersAndRecord();
    void registrationMarkersAndRecord();
    void recoveryMailMarkersAndOutbox();
    void codeMailGoesToOutboxFolder();
    void statusEchoesSpeedsAndFenceState();
    void trackGrowsBySid();
    void trackerRidesDrainsAndCharges();
    void rankingAndNearbyRiders();
    void avatarUploadThenFetch();
    void defaultAvatarsArePngs();
    void testMapDrawsTheFence();
    void unknownPathsAre404();

    void rawTargetsAreKeptExactlyAndInOrder();
    void serverErrorAndGarbageFaults();
    void droppedAndCutConnectionsFail();
    void delayedAnswerDoesNotBlockOthers();
    void stalledAnswerNeverComes();
    void rawBodyFault();
    void standingFaultRates();

    void controlApiOverHttp();
    void hostileRequestsAreRefused_data();
    void hostileRequestsAreRefused();
    void idleConnectionsAreClosed();
    void requestLogKeepsSizeHashAndHead();
    void sameSeedSameWorld();
    void dataDirKeepsAccountsAcrossRuns();

private:
    QNetworkAccessManager m_net;
};

void tst_DeviceServerSimulator::queryStringReadsLikeTheScripts()
{
    const QueryString query("devid=86%2000001&username=a+b%26c&pwd=x=y&e&username2=%E4%B8%AD"
                            "&dup=1&dup=2&&");
    QCOMPARE(query.value("devid"), QString("86 00001"));
    QCOMPARE(query.value("username"), QString("a b&c"));
    QCOMPARE(query.value("pwd"), QString("x=y"));
    QVERIFY(query.has("e"));
    QVERIFY(!query.filled("e"));
    QCOMPARE(query.value("username2"), QString::fromUtf8("中"));
    QCOMPARE(query.value("dup"), QString("2"));
    QVERIFY(!query.has("missing"));
}

void tst_DeviceServerSimulator::wireReaderCutsRequestsApart()
{
    WireRequestReader reader;
    reader.feed("GET /a?x=%41 HTTP/1.1\r\nHost: h\r\n\r\nPOST /b HTTP/1.1\r\nContent-Length: 5\r\n"
                "\r\nhel");
    QVERIFY(reader.hasTarget());
    QCOMPARE(reader.takeTarget(), QByteArray("/a?x=%41"));
    QVERIFY(!reader.hasTarget()); // the POST body is not complete yet
    reader.feed("loGET /c HTTP/1.1\r\n");
    QCOMPARE(reader.takeTarget(), QByteArray("/b"));
    reader.feed("Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n");
    QVERIFY(!reader.hasTarget());
    reader.feed("\r\nGET /d HTTP/1.1\r\n\r\n");
    QCOMPARE(reader.takeTarget(), QByteArray("/c"));
    QCOMPARE(reader.takeTarget(), QByteArray("/d"));
    QVERIFY(!reader.hasTarget());

    // Bytes shown again before they were handled are not read twice.
    WireRequestReader again;
    again.feedUnconsumed("GET /e HTTP/1.1\r\n\r\nGET /f HTTP/1.1\r\n\r\nGET /g");
    QCOMPARE(again.takeTarget(), QByteArray("/e"));
    again.feedUnconsumed("GET /f HTTP/1.1\r\n\r\nGET /g");
    QCOMPARE(again.takeTarget(), QByteArray("/f"));
    again.feedUnconsumed("GET /g");
    again.feed("gg HTTP/1.1\r\n\r\n");
    QCOMPARE(again.takeTarget(), QByteArray("/ggg"));
    QVERIFY(!again.hasTarget());
}

void tst_DeviceServerSimulator::multipartBodyGivesItsParts()
{
    const QByteArray body = "--XyZ\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhi\r\n"
                            "--XyZ\r\nContent-Disposition: form-data; name=\"uploadfile\"; "
                            "filename=\"ios20260305140709.png\"\r\nContent-Type: image/png\r\n\r\n"
                            "\x89PNG\r\n\r\nrest\r\n--XyZ--\r\n";
    const auto parts = MultipartBody::parse("multipart/form-data; boundary=\"XyZ\"", body);
    QCOMPARE(parts.size(), 2);
    QCOMPARE(parts.at(0).name, QByteArray("note"));
    QCOMPARE(parts.at(0).data, QByteArray("hi"));
    QCOMPARE(parts.at(1).name, QByteArray("uploadfile"));
    QCOMPARE(parts.at(1).fileName, QByteArray("ios20260305140709.png"));
    QCOMPARE(parts.at(1).contentType, QByteArray("image/png"));
    QCOMPARE(parts.at(1).data, QByteArray("\x89PNG\r\n\r\nrest"));
    QVERIFY(MultipartBody::parse("text/plain", body).isEmpty());
}

void tst_DeviceServerSimulator::deviceQueryKnowsSeededDevices()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const Reply rider = get(m_net, sim, "/TolvarDevId.php?devid=86000001&wd=mirt");
    QCOMPARE(rider.status, 200);
    QVERIFY(rider.body.startsWith("[{"));
    const QJsonObject record = first(rider);
    QCOMPARE(record.value("devid").toString(), QString("86000001"));
    QCOMPARE(record.value("username").toString(), QString("rider01"));
    QCOMPARE(record.value("pwd").toString(), QString("secret1"));
    QCOMPARE(record.value("email").toString(), QString("rider01@example.com"));
    QCOMPARE(record.value("weixin").toString(), QString("qixingzhe01"));
    QCOMPARE(record.value("touxiangpath").toString(),
             sim.baseUrl().toString() + "/touxiang/86000001.png");

    const QJsonObject unbound = first(get(m_net, sim, "/TolvarDevId.php?devid=86000002&wd=mirt"));
    QCOMPARE(unbound.value("devid").toString(), QString("86000002"));
    QCOMPARE(unbound.value("username").toString(), QString());

    for (const QByteArray& target :
         {QByteArray("/TolvarDevId.php?devid=12345678&wd=mirt"),
          QByteArray("/TolvarDevId.php?devid=&wd=mirt"), QByteArray("/TolvarDevId.php")}) {
        const QJsonObject unknown = first(get(m_net, sim, target));
        QVERIFY2(unknown.value("devid").toString().contains("null"), target);
    }
}

void tst_DeviceServerSimulator::loginMarkersAndRecord()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QList<QPair<QByteArray, QString>> cases{
        {"devid=86000001&username=rider01", "error:1"},
        {"devid=86000001&username=&pwd=secret1", "error:1"},
        {"devid=12345678&username=rider01&pwd=secret1", "error:2"},
        {"devid=86000001&username=rider01&pwd=secret2", "error:3"},
        {"devid=86000001&username=rider02&pwd=secret1", "error:3"},
        {"devid=86000002&username=rider01&pwd=secret1", "error:3"},
    };
    for (const auto& [query, marker] : cases) {
        const QJsonObject answer = first(get(m_net, sim, "/TolvarLoginIOS.php?" + query));
        QCOMPARE(answer.value("loginreturnmsg").toString(), marker);
        QCOMPARE(answer.size(), 1);
    }
    const Reply ok =
        get(m_net, sim, "/TolvarLoginIOS.php?devid=86000001&username=rider01&pwd=secret1");
    const QJsonObject record = first(ok);
    QCOMPARE(record.value("loginreturnmsg").toString(), QString("ok"));
    QCOMPARE(record.size(), 25);
    for (const QString& key : kRecordOrder) {
        if (key == "absday")
            QVERIFY2(record.value(key).isDouble(), qPrintable(key));
        else
            QVERIFY2(record.value(key).isString(), qPrintable(key));
    }
    QVERIFY(!record.contains("weilanradio"));
    // The keys come in the order the app stores them, the message first.
    qsizetype at = ok.body.indexOf("\"loginreturnmsg\"");
    for (const QString& key : kRecordOrder) {
        const qsizetype next = ok.body.indexOf("\"" + key.toUtf8() + "\"");
        QVERIFY2(next > at, qPrintable(key));
        at = next;
    }
    QCOMPARE(record.value("power").toString().toDouble() > 30, true);
    QCOMPARE(record.value("paiming").toString().toInt() >= 1, true);
    QCOMPARE(record.value("lat").toString().toDouble(), 30.2741);
}

void tst_DeviceServerSimulator::registrationMarkersAndRecord()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QByteArray script = "/TolvarRegisterIOS.php?";
    const QList<QPair<QByteArray, QString>> cases{
        {"devid=86000002&username=neo&pwd=abcdef&email=n%40x.cn", "error:1"},
        {"devid=86000002&username=neo&pwd=abcdef&email=&weixin=neowx", "error:1"},
        {"devid=12345678&username=neo&pwd=abcdef&email=n%40x.cn&weixin=neowx", "error:2"},
        {"devid=86000001&username=neo&pwd=abcdef&email=n%40x.cn&weixin=neowx", "error:3"},
        {"devid=86000002&username=rider01&pwd=abcdef&email=n%40x.cn&weixin=neowx", "error:3"},
    };
    for (const auto& [query, marker] : cases)
        QCOMPARE(first(get(m_net, sim, script + query)).value("registerreturnmsg").toString(),
                 marker);

    const QJsonObject record = first(get(
        m_net, sim,
        script +
            "devid=86000002&username=%E9%AA%91%E6%89%8B&pwd=abcdef&email=n%40x.cn&weixin=neowx"));
    QCOMPARE(record.value("registerreturnmsg").toString(), QString("ok"));
    QCOMPARE(record.size(), 27);
    QVERIFY(record.value("weilanradio").isString());
    QVERIFY(record.value("weilanmode").isString());
    QCOMPARE(record.value("absday").toInt(), 0);

    const QJsonObject query = first(get(m_net, sim, "/TolvarDevId.php?devid=86000002&wd=mirt"));
    QCOMPARE(query.value("username").toString(), QString::fromUtf8("骑手"));
    QCOMPARE(query.value("email").toString(), QString("n@x.cn"));
    QCOMPARE(
        first(get(m_net, sim,
                  script + "devid=86000002&username=again&pwd=abcdef&email=n%40x.cn&weixin=neowx"))
            .value("registerreturnmsg")
            .toString(),
        QString("error:3"));
    QCOMPARE(first(get(m_net, sim,
                       "/TolvarLoginIOS.php?devid=86000002&username=%E9%AA%91%E6%89%8B&pwd=abcdef"))
                 .value("loginreturnmsg")
                 .toString(),
             QString("ok"));
    // The new account is ranked.
    bool ranked = false;
    for (const QJsonValue& rider : array(get(m_net, sim, "/TolvarGetPaiMingIOS.php")))
        ranked =
            ranked || rider.toObject().value("username").toString() == QString::fromUtf8("骑手");
    QVERIFY(ranked);
}

void tst_DeviceServerSimulator::recoveryMailMarkersAndOutbox()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QByteArray script = "/TolvarSendEmailIOS.php?";
    for (const auto& [query, marker] : QList<QPair<QByteArray, QByteArray>>{
             {"devid=86000001", "error:1"},
             {"devid=12345678&email=rider01%40example.com", "error:2"},
             {"devid=86000001&email=other%40example.com", "error:3"},
             {"devid=86000002&email=rider01%40example.com", "error:3"}})
        QCOMPARE(get(m_net, sim, script + query).body, marker);
    QVERIFY(sim.outbox().isEmpty());

    const Reply ok = get(m_net, sim, script + "devid=86000001&email=Rider01%40Example.com");
    QVERIFY(!ok.body.contains("error"));
    QCOMPARE(sim.outbox().size(), 1);
    const SimMail mail = sim.outbox().first();
    QCOMPARE(mail.to, QString("rider01@example.com"));
    QVERIFY(mail.body.contains("secret1"));
    QFile file(mail.file);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("secret1"));
}

void tst_DeviceServerSimulator::codeMailGoesToOutboxFolder()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QByteArray script = "/TolvarSendEmailVCodeIOS.php?";
    for (const char* query : {"code=7Q2K", "email=a%40b.cn", "code=&email=a%40b.cn"})
        QCOMPARE(get(m_net, sim, script + query).body, QByteArray("error:1"));

    const Reply ok = get(m_net, sim, script + "code=7Q2K&email=new.rider%40example.com");
    QCOMPARE(ok.status, 200);
    QVERIFY(!ok.body.contains("error:1"));
    QCOMPARE(sim.lastCodeFor("new.rider@example.com"), QString("7Q2K"));
    get(m_net, sim, script + "code=ZZ90&email=new.rider%40example.com");
    QCOMPARE(sim.lastCodeFor("new.rider@example.com"), QString("ZZ90"));

    const QStringList files =
        QDir(sim.dataDir() + "/outbox").entryList({"*.txt"}, QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 2);
    QFile last(sim.dataDir() + "/outbox/" + files.last());
    QVERIFY(last.open(QIODevice::ReadOnly));
    const QByteArray text = last.readAll();
    QVERIFY(text.contains("To: new.rider@example.com"));
    QVERIFY(text.contains("ZZ90"));
    QVERIFY(sim.logLines().filter("ZZ90").size() >= 1);
}

void tst_DeviceServerSimulator::statusEchoesSpeedsAndFenceState()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QByteArray status = "/TolvarGetEveryThingTimerIOS.php?devid=86000001";
    for (const auto& [target, marker] : QList<QPair<QByteArray, QString>>{
             {"/TolvarGetEveryThingTimerIOS.php", "error:1"},
             {"/TolvarGetEveryThingTimerIOS.php?devid=12345678", "error:2"},
             {"/TolvarGetEveryThingTimerIOS.php?devid=..%2F86000001", "error:2"}})
        QCOMPARE(first(get(m_net, sim, target)).value("timerreturnmsg").toString(), marker);

    QJsonObject record = first(get(m_net, sim, status));
    QCOMPARE(record.value("timerreturnmsg").toString(), QString("ok"));
    QCOMPARE(record.size(), 27);
    QVERIFY(record.value("weilanwaring").isDouble());
    QVERIFY(record.value("banlvstateupdate").isDouble());
    QCOMPARE(record.value("weilanwaring").toInt(), 0);

    QCOMPARE(
        get(m_net, sim, "/TolvarUpdateSpeed.php?devid=86000001&maxspeed=30&lightspeed=18").body,
        QByteArray("ok"));
    QCOMPARE(get(m_net, sim, "/TolvarUpdateWeiLan.php?devid=86000001&wlstate=1").body,
             QByteArray("ok"));
    QCOMPARE(get(m_net, sim, "/TolvarUpdateWeiLan.php?devid=12345678&wlstate=1").body,
             QByteArray("error:2"));
    QCOMPARE(get(m_net, sim, "/TolvarUpdateSpeed.php?devid=86000001&maxspeed=30").body,
             QByteArray("error:1"));
    record = first(get(m_net, sim, status));
    QCOMPARE(record.value("maxspeed").toString(), QString("30"));
    QCOMPARE(record.value("lightspeed").toString(), QString("18"));
    QCOMPARE(record.value("weilanwaring").toInt(), 1);

    get(m_net, sim, "/TolvarUpdateWeiLan.php?devid=86000001&wlstate=0");
    sim.setBanlvstate("86000001", 3);
    sim.setBanlvstateupdate("86000001", 1);
    sim.setPower("86000001", 33.9);
    sim.setPosition("86000001", 30.2745, 120.1551);
    record = first(get(m_net, sim, status));
    QCOMPARE(record.value("weilanwaring").toInt(), 0);
    QCOMPARE(record.value("banlvstate").toString(), QString("3"));
    QCOMPARE(record.value("banlvstateupdate").toInt(), 1);
    QCOMPARE(record.value("power").toString(), QString("33.9"));
    QCOMPARE(record.value("lat").toString(), QString("30.274500"));
    QCOMPARE(record.value("lng").toString(), QString("120.155100"));
}

void tst_DeviceServerSimulator::trackGrowsBySid()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    QCOMPARE(get(m_net, sim, "/TolvarGetGpsInfo.php?devid=12345678&sid=0").body, QByteArray("[]"));
    QJsonArray points = array(get(m_net, sim, "/TolvarGetGpsInfo.php?devid=86000001&sid=0"));
    QVERIFY(!points.isEmpty());
    qint64 last = 0;
    for (const QJsonValue& value : points) {
        const QJsonObject point = value.toObject();
        QCOMPARE(point.size(), 4);
        for (const char* key : {"serverid", "lat", "lng", "state"})
            QVERIFY(point.value(key).isString());
        const qint64 serverid = point.value("serverid").toString().toLongLong();
        QVERIFY(serverid > last);
        last = serverid;
    }
    const QByteArray sid = "/TolvarGetGpsInfo.php?devid=86000001&sid=" + QByteArray::number(last);
    QCOMPARE(get(m_net, sim, sid).body, QByteArray("[]"));

    // Through a whole day the tracker rides out of a 30 m fence and stands still at stops.
    const GeoPoint base{30.2741, 120.1551};
    bool leftFence = false;
    bool stood = false;
    for (int hour = 0; hour < 24; ++hour) {
        sim.advance(3600);
        points = array(get(m_net, sim,
                           "/TolvarGetGpsInfo.php?devid=86000001&sid=" + QByteArray::number(last)));
        for (const QJsonValue& value : points) {
            const QJsonObject point = value.toObject();
            const qint64 serverid = point.value("serverid").toString().toLongLong();
            QVERIFY(serverid > last);
            last = serverid;
            const GeoPoint at{point.value("lat").toString().toDouble(),
                              point.value("lng").toString().toDouble()};
            leftFence = leftFence || GeoPoint::distance(base, at) > 30;
            stood = stood || point.value("state").toString() == "2";
        }
    }
    QVERIFY(leftFence);
    QVERIFY(stood);
}

void tst_DeviceServerSimulator::trackerRidesDrainsAndCharges()
{
    DeviceServerSimulator sim;
    const QString devid = "86000001";
    // Find a ride and check the battery drains along it.
    int guard = 0;
    while (!sim.deviceState(devid).value("moving").toBool() && ++guard < 24 * 120)
        sim.advance(30);
    QVERIFY(sim.deviceState(devid).value("moving").toBool());
    const QJsonObject riding = sim.deviceState(devid);
    sim.advance(120);
    const QJsonObject later = sim.deviceState(devid);
    QVERIFY(later.value("todaylicheng").toDouble() > riding.value("todaylicheng").toDouble() ||
            later.value("power").toDouble() < riding.value("power").toDouble() ||
            !later.value("moving").toBool());
    QVERIFY(later.value("totallicheng").toDouble() >= riding.value("totallicheng").toDouble());

    // At night a low battery recovers, up to 41.4 V and no further.
    QDateTime night(sim.now().date(), QTime(22, 0));
    if (night < sim.now())
        night = night.addDays(1);
    sim.advance(sim.now().secsTo(night));
    sim.setPower(devid, 34.0);
    sim.advance(2 * 3600);
    QVERIFY(sim.deviceState(devid).value("power").toDouble() > 36.0);
    sim.advance(6 * 3600);
    QCOMPARE(sim.deviceState(devid).value("power").toDouble(), 41.4);
}

void tst_DeviceServerSimulator::rankingAndNearbyRiders()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const Reply reply = get(m_net, sim, "/TolvarGetPaiMingIOS.php");
    const QJsonArray ranking = array(reply);
    QCOMPARE(ranking.size(), 50);
    bool riderSeen = false;
    QSet<QString> names;
    for (int i = 0; i < ranking.size(); ++i) {
        const QJsonObject rider = ranking.at(i).toObject();
        QCOMPARE(rider.size(), 8);
        for (const char* key :
             {"username", "level", "levelname", "paiming", "touxiangpath", "lat", "lng", "weixin"})
            QVERIFY2(rider.value(key).isString(), key);
        QCOMPARE(rider.value("paiming").toString(), QString::number(i + 1));
        const int level = rider.value("level").toString().toInt();
        QVERIFY(level >= 1 && level <= 20);
        QVERIFY(rider.value("touxiangpath").toString().startsWith(sim.baseUrl().toString() + "/"));
        names.insert(rider.value("username").toString());
        riderSeen = riderSeen || rider.value("username").toString() == "rider01";
    }
    QCOMPARE(names.size(), 50);
    QVERIFY(riderSeen);
    const QJsonObject status =
        first(get(m_net, sim, "/TolvarGetEveryThingTimerIOS.php?devid=86000001"));
    QCOMPARE(ranking.at(status.value("paiming").toString().toInt() - 1)
                 .toObject()
                 .value("username")
                 .toString(),
             QString("rider01"));

    const QJsonArray nearby = array(get(m_net, sim, "/TolvarGetFriendIOS.php?devid=86000001"));
    QCOMPARE(nearby.size(), 8);
    for (const QJsonValue& value : nearby) {
        const QJsonObject rider = value.toObject();
        QCOMPARE(rider.size(), 8);
        QVERIFY(rider.value("username").toString() != "rider01");
        const GeoPoint at{rider.value("lat").toString().toDouble(),
                          rider.value("lng").toString().toDouble()};
        QVERIFY(GeoPoint::distance(at, GeoPoint{30.2741, 120.1551}) < 2000);
    }
    QCOMPARE(get(m_net, sim, "/TolvarGetFriendIOS.php?devid=12345678").body, QByteArray("[]"));
    // The ranking script takes no query; one sent anyway changes nothing.
    QCOMPARE(get(m_net, sim, "/TolvarGetPaiMingIOS.php?x=1").body, reply.body);
}

void tst_DeviceServerSimulator::avatarUploadThenFetch()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QByteArray png = pngBytes(Qt::red);
    auto upload = [&](const QByteArray& target, const QByteArray& partName) {
        auto* multi = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        QHttpPart part;
        part.setHeader(QNetworkRequest::ContentDispositionHeader,
                       "form-data; name=\"" + partName + "\"; filename=\"ios20260305140709.png\"");
        part.setHeader(QNetworkRequest::ContentTypeHeader, "image/png");
        part.setBody(png);
        multi->append(part);
        QNetworkReply* reply = m_net.post(requestFor(urlOf(sim, target)), multi);
        multi->setParent(reply);
        return finish(reply);
    };
    QCOMPARE(upload("/TolvarUploadPic.php?devid=86000001", "otherpart").body,
             QByteArray("error:1"));
    QCOMPARE(upload("/TolvarUploadPic.php?devid=12345678", "uploadfile").body,
             QByteArray("error:2"));

    const Reply stored = upload("/TolvarUploadPic.php?devid=86000001", "uploadfile");
    QCOMPARE(stored.status, 200);
    const QString address = QString::fromUtf8(stored.body);
    QVERIFY2(address.startsWith(sim.baseUrl().toString() + "/touxiang/"), stored.body);
    const SimRequest request = sim.requestsTo("/TolvarUploadPic.php").last();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.query, QByteArray("devid=86000001"));
    QCOMPARE(request.parts.size(), 1);
    QCOMPARE(request.parts.first().name, QByteArray("uploadfile"));
    QCOMPARE(request.parts.first().fileName, QByteArray("ios20260305140709.png"));
    QCOMPARE(request.parts.first().contentType, QByteArray("image/png"));
    QCOMPARE(request.parts.first().data, png);

    const Reply fetched = finish(m_net.get(requestFor(QUrl(address))));
    QCOMPARE(fetched.status, 200);
    QCOMPARE(fetched.contentType, QByteArray("image/png"));
    QCOMPARE(fetched.body, png);
    // Later answers carry the new address.
    QCOMPARE(first(get(m_net, sim, "/TolvarDevId.php?devid=86000001&wd=mirt"))
                 .value("touxiangpath")
                 .toString(),
             address);

    // A Host header that is no host[:port] does not make the address.
    const RawReply hostile =
        exchangeRaw(sim.port(), uploadRequest("86000001", png, "evil.example/\"><script>"));
    QVERIFY2(hostile.body.startsWith(sim.baseUrl().toEncoded() + "/touxiang/86000001-"),
             hostile.body);
    // Only PNG pictures are served from the folder, whatever their name.
    QFile planted(sim.dataDir() + "/touxiang/planted.png");
    QVERIFY(planted.open(QIODevice::WriteOnly) && planted.write("<html><script>") > 0);
    planted.close();
    QCOMPARE(get(m_net, sim, "/touxiang/planted.png").status, 404);
}

void tst_DeviceServerSimulator::defaultAvatarsArePngs()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QJsonArray ranking = array(get(m_net, sim, "/TolvarGetPaiMingIOS.php"));
    for (int i : {0, 25, 49}) {
        const QUrl url(ranking.at(i).toObject().value("touxiangpath").toString());
        const Reply avatar = finish(m_net.get(requestFor(url)));
        QCOMPARE(avatar.status, 200);
        QImage image;
        QVERIFY(image.loadFromData(avatar.body, "PNG"));
        QCOMPARE(image.size(), QSize(120, 120));
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);     // outside the disc
        QVERIFY(image.pixelColor(60, 8).alpha() == 255); // on the disc
    }
    QCOMPARE(get(m_net, sim, "/touxiang/nobody.png").status, 404);
    QCOMPARE(get(m_net, sim, "/touxiang/../devserver.sqlite").status, 404);
}

void tst_DeviceServerSimulator::testMapDrawsTheFence()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const Reply page = get(m_net, sim, "/TestMap.php?wl=500&lng=120.500000&lat=30.250000");
    QCOMPARE(page.status, 200);
    QVERIFY(page.contentType.startsWith("text/html"));
    QVERIFY(page.body.contains("<svg"));
    QVERIFY(page.body.contains("<circle id=\"fence\""));
    QVERIFY(page.body.contains(">500 m</text>"));
    QVERIFY(page.body.contains("30.250000, 120.500000"));
    for (const char* external : {"src=", "href=", "<link", "<script", "url("})
        QVERIFY2(!page.body.contains(external), external);
    QVERIFY(get(m_net, sim, "/TestMap.php?wl=3000&lng=1&lat=2").body.contains(">3000 m</text>"));

    // The drawing holds up in a plain SVG renderer: a tinted disc, background outside.
    const qsizetype from = page.body.indexOf("<svg");
    QSvgRenderer renderer(page.body.mid(from, page.body.indexOf("</svg>") + 6 - from));
    QVERIFY(renderer.isValid());
    QImage image(400, 400, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    const QColor inside = image.pixelColor(200, 280);
    QVERIFY(inside.green() > inside.red() + 20 && inside.lightness() > 150);
    QCOMPARE(image.pixelColor(20, 20), QColor("#eef3ee"));
    QCOMPARE(image.pixelColor(200, 200), QColor("#dd3333"));
}

void tst_DeviceServerSimulator::unknownPathsAre404()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    for (const char* target : {"/TolvarDevIdXphp?devid=86000001", "/tolvardevid.php?devid=86000001",
                               "/TolvarDevId.php/extra?devid=86000001"})
        QCOMPARE(get(m_net, sim, target).status, 404);
    QCOMPARE(get(m_net, sim, "/").status, 200);
}

void tst_DeviceServerSimulator::rawTargetsAreKeptExactlyAndInOrder()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    QSignalSpy received(&sim, &DeviceServerSimulator::requestReceived);
    // Written by hand so nothing re-encodes the targets; two requests in one write,
    // the third in pieces.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, sim.port());
    QVERIFY(socket.waitForConnected(5000));
    const QByteArray login = "/TolvarLoginIOS.php?devid=86%2000001&username=a&b=c&pwd=%7E%41'+*";
    const QByteArray second = "/TolvarGetPaiMingIOS.php";
    const QByteArray third = "/TolvarGetGpsInfo.php?devid=%E4%B8%AD%E6%96%87&sid=0";
    socket.write("GET " + login + " HTTP/1.1\r\nHost: x\r\n\r\nGET " + second +
                 " HTTP/1.1\r\nHost: x\r\n\r\n");
    socket.write("GET " + third.left(20));
    socket.flush();
    QTRY_COMPARE_WITH_TIMEOUT(received.size() >= 1, true, 10000);
    socket.write(third.mid(20) + " HTTP/1.1\r\nHost: x\r\n\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(sim.requests().size(), 3, 10000);

    const QList<SimRequest> requests = sim.requests();
    QCOMPARE(requests.at(0).target, login);
    QCOMPARE(requests.at(0).path, QByteArray("/TolvarLoginIOS.php"));
    QCOMPARE(requests.at(0).query, QByteArray("devid=86%2000001&username=a&b=c&pwd=%7E%41'+*"));
    QCOMPARE(requests.at(1).target, second);
    QVERIFY(!requests.at(1).hasQuery);
    QVERIFY(requests.at(1).query.isEmpty());
    QCOMPARE(requests.at(2).target, third);
    QCOMPARE(requests.at(2).query, QByteArray("devid=%E4%B8%AD%E6%96%87&sid=0"));
    QCOMPARE(requests.at(0).method, QByteArray("GET"));

    // Through a real client too, and the query reaches the script decoded.
    sim.clearRequests();
    const Reply reply = get(m_net, sim, "/TolvarDevId.php?devid=86000001&wd=mirt");
    QCOMPARE(first(reply).value("username").toString(), QString("rider01"));
    QCOMPARE(sim.requests().size(), 1);
    QCOMPARE(sim.requests().first().query, QByteArray("devid=86000001&wd=mirt"));
    QCOMPARE(sim.requestsTo("/TolvarDevId.php").size(), 1);
}

void tst_DeviceServerSimulator::serverErrorAndGarbageFaults()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QByteArray login = "/TolvarLoginIOS.php?devid=86000001&username=rider01&pwd=secret1";
    sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarLoginIOS.php", 2));
    sim.addFault(SimFault::of(SimFault::Kind::Garbage, "TolvarDevId.php"));
    // Another script is not touched.
    QCOMPARE(get(m_net, sim, "/TolvarGetEveryThingTimerIOS.php?devid=86000001").status, 200);
    for (int i = 0; i < 2; ++i) {
        const Reply failed = get(m_net, sim, login);
        QCOMPARE(failed.status, 500);
        QCOMPARE(failed.error, QNetworkReply::InternalServerError);
    }
    QCOMPARE(first(get(m_net, sim, login)).value("loginreturnmsg").toString(), QString("ok"));

    const Reply garbage = get(m_net, sim, "/TolvarDevId.php?devid=86000001&wd=mirt");
    QCOMPARE(garbage.status, 200);
    QJsonParseError error;
    QJsonDocument::fromJson(garbage.body, &error);
    QVERIFY(error.error != QJsonParseError::NoError);
    for (const char* marker : {"ok", "error:1", "error:2", "error:3", "null"})
        QVERIFY2(!garbage.body.contains(marker), marker);
    QVERIFY(sim.faults().isEmpty());
    QCOMPARE(sim.requests().size(), 5); // faulted requests are recorded too

    // A replaced answer means the script never ran.
    sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarUpdateSpeed.php"));
    QCOMPARE(
        get(m_net, sim, "/TolvarUpdateSpeed.php?devid=86000001&maxspeed=15&lightspeed=10").status,
        500);
    QCOMPARE(sim.device("86000001").maxspeed, QString("25"));

    // A global fault hits whatever comes next.
    sim.addFault(SimFault::of(SimFault::Kind::ServerError, {}, -1));
    QCOMPARE(get(m_net, sim, "/TolvarGetPaiMingIOS.php").status, 500);
    QCOMPARE(get(m_net, sim, "/TestMap.php?wl=30&lng=1&lat=1").status, 500);
    sim.clearFaults();
    QCOMPARE(get(m_net, sim, "/TolvarGetPaiMingIOS.php").status, 200);
}

void tst_DeviceServerSimulator::droppedAndCutConnectionsFail()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    // The client sends a request once more when its connection closes before any
    // answer, so two drops in a row make it fail.
    sim.addFault(SimFault::of(SimFault::Kind::Drop, "/TolvarGetPaiMingIOS.php", 2));
    const Reply dropped = get(m_net, sim, "/TolvarGetPaiMingIOS.php");
    QCOMPARE(dropped.status, 0);
    QCOMPARE(dropped.error, QNetworkReply::RemoteHostClosedError);
    QVERIFY(dropped.body.isEmpty());
    QCOMPARE(sim.requestsTo("/TolvarGetPaiMingIOS.php").size(), 2);
    QVERIFY(sim.faults().isEmpty());
    QCOMPARE(get(m_net, sim, "/TolvarGetPaiMingIOS.php").status, 200);

    sim.addFault(SimFault::of(SimFault::Kind::Drop, {}, -1));
    QVERIFY(get(m_net, sim, "/TolvarDevId.php?devid=86000001&wd=mirt").error !=
            QNetworkReply::NoError);
    sim.clearFaults();

    sim.addFault(SimFault::of(SimFault::Kind::CutBody, "/TolvarGetPaiMingIOS.php"));
    const Reply cut = get(m_net, sim, "/TolvarGetPaiMingIOS.php");
    QVERIFY(cut.error != QNetworkReply::NoError);
    QCOMPARE(get(m_net, sim, "/TolvarGetPaiMingIOS.php").status, 200);
}

void tst_DeviceServerSimulator::delayedAnswerDoesNotBlockOthers()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    sim.addFault(SimFault::delay(1500, "/TolvarGetPaiMingIOS.php"));
    QElapsedTimer clock;
    clock.start();
    QNetworkReply* slow = m_net.get(requestFor(urlOf(sim, "/TolvarGetPaiMingIOS.php")));
    QTRY_COMPARE_WITH_TIMEOUT(sim.requests().size(), 1, 10000);
    const Reply quick = get(m_net, sim, "/TolvarDevId.php?devid=86000001&wd=mirt");
    QCOMPARE(quick.status, 200);
    QVERIFY(!slow->isFinished());
    const Reply late = finish(slow);
    QCOMPARE(late.status, 200);
    QCOMPARE(array(late).size(), 50);
    QVERIFY(clock.elapsed() >= 1500);

    // A standing latency holds back every script's answer.
    SimulatorOptions options;
    options.latencyMs = 400;
    DeviceServerSimulator slowServer(options);
    QVERIFY(slowServer.listen());
    clock.restart();
    QCOMPARE(get(m_net, slowServer, "/TolvarGetEveryThingTimerIOS.php?devid=86000001").status, 200);
    QVERIFY(clock.elapsed() >= 400);
}

void tst_DeviceServerSimulator::stalledAnswerNeverComes()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    sim.addFault(SimFault::of(SimFault::Kind::Stall, "/TolvarGetEveryThingTimerIOS.php"));
    const Reply stalled = finish(
        m_net.get(requestFor(urlOf(sim, "/TolvarGetEveryThingTimerIOS.php?devid=86000001"), 300)));
    QCOMPARE(stalled.error, QNetworkReply::OperationCanceledError);
    QCOMPARE(get(m_net, sim, "/TolvarGetEveryThingTimerIOS.php?devid=86000001").status, 200);
}

void tst_DeviceServerSimulator::rawBodyFault()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    sim.addFault(SimFault::raw("[{\"loginreturnmsg\":\"error:3 ok\"}]", "/TolvarLoginIOS.php"));
    SimFault redirect = SimFault::raw({}, "/TolvarDevId.php", 1, 302);
    redirect.headers.append(
        qMakePair(QByteArray("Location"), QByteArray("http://elsewhere.invalid/TolvarDevId.php")));
    sim.addFault(redirect);
    QCOMPARE(get(m_net, sim, "/TolvarLoginIOS.php?devid=1").body,
             QByteArray("[{\"loginreturnmsg\":\"error:3 ok\"}]"));
    QNetworkRequest request = requestFor(urlOf(sim, "/TolvarDevId.php?devid=86000001&wd=mirt"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    const Reply moved = finish(m_net.get(request));
    QCOMPARE(moved.status, 302);
}

void tst_DeviceServerSimulator::standingFaultRates()
{
    SimulatorOptions options;
    options.failRate = 1.0;
    DeviceServerSimulator failing(options);
    QVERIFY(failing.listen());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(get(m_net, failing, "/TolvarGetPaiMingIOS.php").status, 500);
    // The control API is never faulted.
    QCOMPARE(get(m_net, failing, "/_sim/state?devid=86000001").status, 200);

    options.failRate = 0;
    options.garbageRate = 0.5;
    DeviceServerSimulator mixed(options);
    QVERIFY(mixed.listen());
    int garbage = 0;
    for (int i = 0; i < 40; ++i)
        garbage += get(m_net, mixed, "/TolvarGetPaiMingIOS.php").body.startsWith("[") ? 0 : 1;
    QVERIFY(garbage > 5 && garbage < 35);
}

void tst_DeviceServerSimulator::controlApiOverHttp()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const Reply changed = post(m_net, sim, "/_sim/state?devid=86000001",
                               R"({"power": 33.5, "banlvstate": 2, "lat": 30.28, "lng": 120.16})");
    QCOMPARE(changed.status, 200);
    const QJsonObject state = QJsonDocument::fromJson(changed.body).object();
    QCOMPARE(state.value("power").toDouble(), 33.5);
    QCOMPARE(state.value("held").toBool(), true);
    QCOMPARE(post(m_net, sim, "/_sim/state?devid=86000001&banlvstateupdate=1&maxspeed=20").status,
             200);
    QJsonObject record = first(get(m_net, sim, "/TolvarGetEveryThingTimerIOS.php?devid=86000001"));
    QCOMPARE(record.value("power").toString(), QString("33.5"));
    QCOMPARE(record.value("banlvstate").toString(), QString("2"));
    QCOMPARE(record.value("banlvstateupdate").toInt(), 1);
    QCOMPARE(record.value("maxspeed").toString(), QString("20"));
    QCOMPARE(record.value("lat").toString(), QString("30.280000"));

    // Reads are GETs, changes POSTs.
    for (const auto& [change, target, status] : QList<std::tuple<bool, QByteArray, int>>{
             {false, "/_sim/state?devid=12345678", 404},
             {false, "/_sim/state?devid=86000001", 200},
             {true, "/_sim/state?devid=86000001&colour=red", 400},
             {true, "/_sim/state?devid=86000001&lat=1", 400},
             {true, "/_sim/fault?kind=boom", 400},
             {false, "/_sim/nothing", 404}})
        QCOMPARE((change ? post(m_net, sim, target) : get(m_net, sim, target)).status, status);

    get(m_net, sim, "/TolvarSendEmailVCodeIOS.php?code=AB12&email=x%40y.cn");
    const QJsonArray outbox = array(get(m_net, sim, "/_sim/outbox"));
    QCOMPARE(outbox.size(), 1);
    QCOMPARE(outbox.at(0).toObject().value("code").toString(), QString("AB12"));

    const QJsonArray requests = array(get(m_net, sim, "/_sim/requests"));
    QCOMPARE(requests.size(), 2); // control requests are not recorded
    QCOMPARE(requests.at(1).toObject().value("query").toString(),
             QString("code=AB12&email=x%40y.cn"));

    QCOMPARE(
        post(m_net, sim, "/_sim/fault?kind=500&script=/TolvarGetPaiMingIOS.php&count=1").status,
        200);
    QCOMPARE(get(m_net, sim, "/TolvarGetPaiMingIOS.php").status, 500);
    QCOMPARE(get(m_net, sim, "/TolvarGetPaiMingIOS.php").status, 200);

    const QDateTime before = sim.now();
    post(m_net, sim, "/_sim/advance?seconds=600");
    QCOMPARE(before.secsTo(sim.now()), 600);
    QCOMPARE(post(m_net, sim, "/_sim/device?devid=86000003").status, 200);
    QVERIFY(sim.hasDevice("86000003"));
    QCOMPARE(post(m_net, sim, "/_sim/requests/clear").status, 200);
    QVERIFY(sim.requests().isEmpty());
}

void tst_DeviceServerSimulator::hostileRequestsAreRefused_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    auto local = [](const QByteArray& method, const QByteArray& target) {
        return method + ' ' + target + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
    };
    QTest::newRow("devid with ../ added")
        << local("POST", "/_sim/device?devid=..%2Fescaped") << 400;
    QTest::newRow("devid with ../ uploading")
        << uploadRequest("..%2Fescaped", kPngSignature) << 200;
    QTest::newRow("upload of no PNG") << uploadRequest("86000001", "<html><script>") << 200;
    QTest::newRow("upload over 5 MB")
        << uploadRequest("86000001", kPngSignature + QByteArray(5 * 1024 * 1024, 'p')) << 413;
    QTest::newRow("50 MB body") << QByteArray(
                                       "POST /TolvarUploadPic.php?devid=86000001 HTTP/1.1\r\n"
                                       "Host: x\r\nContent-Length: 52428800\r\n\r\n")
                                << 413;
    QTest::newRow("50 KB header") << "GET / HTTP/1.1\r\nHost: x\r\nX-Pad: " +
                                         QByteArray(50 * 1024, 'a') + "\r\n\r\n"
                                  << 431;
    QTest::newRow("garbage request line") << QByteArray("HELLO THERE\r\n\r\n") << 400;
    QTest::newRow("length and chunks, request behind")
        << "POST /TolvarGetPaiMingIOS.php HTTP/1.1\r\nHost: localhost\r\nContent-Length: 5\r\n"
           "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n" +
               local("POST", "/_sim/advance?seconds=60")
        << 400;
    QTest::newRow("control from another host")
        << QByteArray("GET /_sim/state?devid=86000001 HTTP/1.1\r\nHost: attacker.example\r\n"
                      "Connection: close\r\n\r\n")
        << 403;
    QTest::newRow("control from another page")
        << QByteArray("POST /_sim/advance?seconds=60 HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                      "Origin: http://attacker.example\r\nConnection: close\r\n\r\n")
        << 403;
    for (const char* target :
         {"/_sim/state?devid=86000001&power=30", "/_sim/fault?kind=500", "/_sim/faults/clear",
          "/_sim/requests/clear", "/_sim/advance?seconds=60", "/_sim/device?devid=86000003"})
        QTest::addRow("GET %s", target) << local("GET", target) << 405;
    QTest::newRow("Connection: close honoured") << local("GET", "/") << 200;
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
    const RawReply reply = exchangeRaw(sim.port(), request);
    QCOMPARE(reply.status, status);
    QVERIFY(reply.closed);
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
    sim.addFault(SimFault::delay(2000, "/TolvarGetPaiMingIOS.php"));
    QCOMPARE(get(m_net, sim, "/TolvarGetPaiMingIOS.php").status, 200);
    // A head begun and never finished, the way slow-loris clients hold connections.
    QTcpSocket socket;
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, sim.port());
    QVERIFY(socket.waitForConnected(10000));
    socket.write("GET /TolvarGetPaiMingIOS.php HTTP/1.1\r\nHost: x\r\n");
    QVERIFY(closed.wait(20000));
}

void tst_DeviceServerSimulator::requestLogKeepsSizeHashAndHead()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen());
    const QByteArray big = QByteArray(5 * 1024 * 1024, 'b') + "end";
    for (int i = 0; i < 2; ++i)
        QCOMPARE(post(m_net, sim, "/TolvarGetPaiMingIOS.php", big).status, 200);
    const QByteArray sha = QCryptographicHash::hash(big, QCryptographicHash::Sha256).toHex();
    const SimRequest older = sim.requests().first();
    QCOMPARE(older.body, big.left(4096));
    QCOMPARE(older.bodySize, big.size());
    QCOMPARE(older.bodySha256, sha);
    QCOMPARE(sim.requests().last().body, big); // the newest is kept whole
    const QJsonObject listed = array(get(m_net, sim, "/_sim/requests")).first().toObject();
    QCOMPARE(listed.value("bodySize").toInteger(), big.size());
    QCOMPARE(listed.value("bodySha256").toString().toLatin1(), sha);
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
    for (auto* sim : {&a, &b, &c})
        sim->advance(5 * 3600);
    const QList<QByteArray> targets{"/TolvarGetPaiMingIOS.php",
                                    "/TolvarGetFriendIOS.php?devid=86000001",
                                    "/TolvarGetGpsInfo.php?devid=86000001&sid=0",
                                    "/TolvarGetEveryThingTimerIOS.php?devid=86000001"};
    bool anyDifferent = false;
    for (const QByteArray& target : targets) {
        const QByteArray fromA = portless(get(m_net, a, target).body, a);
        QCOMPARE(fromA, portless(get(m_net, b, target).body, b));
        anyDifferent = anyDifferent || fromA != portless(get(m_net, c, target).body, c);
    }
    QVERIFY(anyDifferent);
}

void tst_DeviceServerSimulator::dataDirKeepsAccountsAcrossRuns()
{
    QTemporaryDir dir;
    SimulatorOptions options;
    options.dataDir = dir.path();
    {
        DeviceServerSimulator sim(options);
        QVERIFY(sim.listen());
        get(m_net, sim,
            "/TolvarRegisterIOS.php?devid=86000002&username=keeper&pwd=abcdef&email=k%40x.cn&"
            "weixin=keeperwx");
        get(m_net, sim, "/TolvarUpdateSpeed.php?devid=86000002&maxspeed=15&lightspeed=12");
        get(m_net, sim, "/TolvarSendEmailVCodeIOS.php?code=QQ11&email=k%40x.cn");
    }
    QVERIFY(QFile::exists(dir.path() + "/devserver.sqlite"));
    DeviceServerSimulator again(options);
    QVERIFY(again.listen());
    const QJsonObject login =
        first(get(m_net, again, "/TolvarLoginIOS.php?devid=86000002&username=keeper&pwd=abcdef"));
    QCOMPARE(login.value("loginreturnmsg").toString(), QString("ok"));
    QCOMPARE(login.value("maxspeed").toString(), QString("15"));
    QCOMPARE(again.lastCodeFor("k@x.cn"), QString("QQ11"));
}

QTEST_MAIN(tst_DeviceServerSimulator)
#include "tst_DeviceServerSimulator.moc"
