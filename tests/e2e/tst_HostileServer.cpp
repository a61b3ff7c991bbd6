#include "platform/Log.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// The real app binary against a device server that means harm: what it logs, what it
// keeps and how much it reads, seen from outside as an attacker would see it.
class tst_HostileServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void passwordsStayOutOfTheLog();
    void endlessAnswerIsCutOff();
    void unusableNumbersKeepTheLastGoodValues();
    void storeThatCannotBeMadeStopsTheApp();

private:
    using Answer = std::function<void(QTcpSocket*, const QByteArray& target)>;
    void serve(Answer answer);
    void startApp(const QString& dataDir, const QString& platform = QStringLiteral("minimal"));
    bool logShows(const QString& text, int timeoutMs = 60000);

    static constexpr const char* Password = "Sesame-42";

    QTcpServer m_server;
    QProcess m_app;
    QString m_log;
    std::unique_ptr<TestApp> m_seed;
};

namespace {

void answerJson(QTcpSocket* socket, const QByteArray& json)
{
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(json.size()) + "\r\nConnection: close\r\n\r\n" + json);
    socket->disconnectFromHost();
}

// The device query names an account whose password the server gives away.
bool deviceQuery(QTcpSocket* socket, const QByteArray& target)
{
    if (!target.startsWith("/TolvarDevId.php"))
        return false;
    answerJson(socket, QByteArray("[{\"devid\":\"86000001\",\"username\":\"rider01\",\"pwd\":\"") +
                           "Sesame-42" + "\",\"email\":\"r@example.com\"}]");
    return true;
}

qint64 peakMemoryKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype at = text.indexOf("VmHWM:");
    return at < 0 ? -1 : text.mid(at + 6).trimmed().split(' ').first().toLongLong();
}

} // namespace

void tst_HostileServer::init()
{
    QVERIFY(m_server.listen(QHostAddress::LocalHost));
    m_log.clear();
    m_seed = std::make_unique<TestApp>();
    Log::Quiet quiet;
    MyUtil::InitMyDateBase();
    const QList<std::pair<const char*, QString>> seeded = {
        {"devid", "86000001"},    {"localusername", "rider01"},
        {"localpwd", Password},   {"serverpwd", Password},
        {"benzhoulicheng", "30"}, {"power", "47.5"},
        {"lat", "30.27"},         {"lng", "120.15"}};
    for (const auto& [key, value] : seeded)
        MyBasicInfo::SetValue(key, value);
    m_seed->delegate.reset();
}

void tst_HostileServer::cleanup()
{
    if (m_app.state() != QProcess::NotRunning) {
        m_app.kill();
        m_app.waitForFinished(30000);
    }
    m_server.close();
    m_server.disconnect(this);
    m_app.disconnect(this);
    m_seed.reset();
}

void tst_HostileServer::serve(Answer answer)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this, answer] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto request = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [socket, request, answer] {
                if (request->contains("\r\n\r\n"))
                    return;
                *request += socket->readAll();
                if (request->contains("\r\n\r\n"))
                    answer(socket, request->split(' ').value(1));
            });
        }
    });
}

void tst_HostileServer::startApp(const QString& dataDir, const QString& platform)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The minimal platform runs the app as a rider has it; offscreen would start the tour.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    m_app.setProcessEnvironment(env);
    connect(&m_app, &QProcess::readyReadStandardError, this,
            [this] { m_log += QString::fromUtf8(m_app.readAllStandardError()); });
    m_app.start(
        QStringLiteral(LVXING_APP),
        {"--data-dir", dataDir, "--server",
         QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()), "--location-replay",
         QStringLiteral(LVXING_SOURCE_DIR "/resources/route/demo.nmea"), "--tiles", "none"});
    QVERIFY(m_app.waitForStarted(30000));
}

bool tst_HostileServer::logShows(const QString& text, int timeoutMs)
{
    return QTest::qWaitFor(
               [&] { return m_log.contains(text) || m_app.state() == QProcess::NotRunning; },
               timeoutMs) &&
           m_log.contains(text);
}

void tst_HostileServer::passwordsStayOutOfTheLog()
{
    serve([](QTcpSocket* socket, const QByteArray& target) {
        if (!deviceQuery(socket, target))
            answerJson(socket, "[{\"timerreturnmsg\":\"error\"}]");
    });
    startApp(m_seed->dir.path());
    QVERIFY(logShows("str = [{\"devid\""));
    QVERIFY(logShows("type=localpwd"));
    QVERIFY2(!m_log.contains(Password), qPrintable(m_log));
}

void tst_HostileServer::endlessAnswerIsCutOff()
{
    // The device query's answer never ends: 300 MB at most, sent as fast as the app takes it.
    auto sent = std::make_shared<qint64>(0);
    auto closed = std::make_shared<bool>(false);
    serve([sent, closed](QTcpSocket* socket, const QByteArray& target) {
        if (!target.startsWith("/TolvarDevId.php"))
            return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n[\"");
        const QByteArray chunk(64 * 1024, 'x');
        auto more = [socket, sent, chunk] {
            if (socket->bytesToWrite() < 1024 * 1024 && *sent < 300LL * 1024 * 1024) {
                *sent += chunk.size();
                socket->write(chunk);
            }
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        QObject::connect(socket, &QTcpSocket::disconnected, [closed] { *closed = true; });
        more();
    });
    startApp(m_seed->dir.path());
    QTRY_VERIFY_WITH_TIMEOUT(*closed, 120000);
    QVERIFY(*sent < 100LL * 1024 * 1024);
    QVERIFY(peakMemoryKb(m_app.processId()) < 200 * 1024);
    QVERIFY(m_app.state() == QProcess::Running);
}

void tst_HostileServer::unusableNumbersKeepTheLastGoodValues()
{
    serve([](QTcpSocket* socket, const QByteArray& target) {
        if (!deviceQuery(socket, target))
            answerJson(socket, "[{\"timerreturnmsg\":\"ok\",\"benzhoulicheng\":\"NaN\","
                               "\"shangzhoulicheng\":\"-0\",\"power\":\"1e309\",\"maxspeed\":"
                               "\"-Infinity\",\"todaylicheng\":\"12.5\",\"lat\":\"NaN\",\"lng\":"
                               "\"120.2\",\"banlvstate\":3,\"weilanwaring\":0}]");
    });
    startApp(m_seed->dir.path());
    // The first poll goes out a minute after the first location update.
    QVERIFY2(logShows(QStringLiteral("无需检测报警.没有最新位置"), 240000), qPrintable(m_log));
    m_app.kill();
    QVERIFY(m_app.waitForFinished(30000));
    m_seed->restart();
    const QList<std::pair<const char*, const char*>> expected = {
        {"benzhoulicheng", "30"}, {"shangzhoulicheng", "0"}, {"power", "47.5"}, {"maxspeed", "0"},
        {"todaylicheng", "12.5"}, {"lat", "30.27"},          {"lng", "120.2"}};
    for (const auto& [key, value] : expected)
        QCOMPARE(MyBasicInfo::GetValue(key), QString::fromLatin1(value));
}

void tst_HostileServer::storeThatCannotBeMadeStopsTheApp()
{
    // A data folder that is a file: no store can be opened, made or moved aside there,
    // even for root.
    const QString notAFolder = m_seed->dir.filePath(QStringLiteral("plain-file"));
    QFile file(notAFolder);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    // Offscreen, where the message goes to stderr only: a dialog would wait for a click.
    startApp(notAFolder, QStringLiteral("offscreen"));
    QVERIFY(m_app.waitForFinished(60000));
    m_log += QString::fromUtf8(m_app.readAllStandardError());
    QCOMPARE(m_app.exitCode(), 2);
    QVERIFY2(m_log.contains(notAFolder), qPrintable(m_log));
    QVERIFY2(!m_log.contains(QStringLiteral("moved aside to")), qPrintable(m_log));
}

QTEST_GUILESS_MAIN(tst_HostileServer)
#include "tst_HostileServer.moc"
