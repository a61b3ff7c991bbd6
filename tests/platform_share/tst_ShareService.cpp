#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/share/SendMessageRequest.h"
#include "platform/share/ShareService.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class Share : public ShareService
{
public:
    bool registerApp(const QString& appId) override
    {
        m_id = appId;
        return true;
    }
    QString registeredAppId() const override { return m_id; }

private:
    QString m_id;
};

QByteArray png(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

SendMessageRequest imageRequest(const QImage& picture)
{
    QImage thumb(20, 20, QImage::Format_RGB32);
    thumb.fill(Qt::green);
    MediaMessage message;
    message.setThumbImage(thumb, "touxiang1.png");
    ImageObject object;
    object.setImageData(png(picture));
    message.setMediaObject(object);
    SendMessageRequest request;
    request.setBText(false);
    request.setMessage(message);
    request.setScene(SendMessageRequest::SceneTimeline);
    return request;
}

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace

class tst_ShareService : public QObject
{
    Q_OBJECT

private slots:
    void sendWritesPictureAndDescription();
    void twoSendsInOneSecondKeepBoth();
    void unwritableOutboxReportsFailure();
};

void tst_ShareService::sendWritesPictureAndDescription()
{
    QTemporaryDir dir;
    FakeClock clock;
    clock.set(QDateTime(QDate(2026, 12, 6), QTime(10, 15, 2)));
    Share share;
    share.setOutboxFolder(dir.filePath("outbox"));
    share.setClock(&clock);
    QImage picture(32, 48, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    Log::Capture log;
    QVERIFY(share.sendReq(imageRequest(picture)));

    const QString json = share.lastSentFile();
    QCOMPARE(QFileInfo(json).fileName(), QString("share-20261206-101502.json"));
    const QJsonObject sent = readJson(json);
    QCOMPARE(sent["scene"].toInt(), 1);
    QCOMPARE(sent["text"].toBool(), false);
    QCOMPARE(sent["thumbnail"].toString(), QString("touxiang1.png"));
    QCOMPARE(sent["thumbnailSize"].toArray(), (QJsonArray{20, 20}));
    QCOMPARE(sent["imageSize"].toArray(), (QJsonArray{32, 48}));
    QCOMPARE(sent["time"].toString(), QString("2026-12-06T10:15:02"));
    const QImage written(QDir(dir.filePath("outbox")).filePath(sent["image"].toString()));
    QCOMPARE(written.size(), QSize(32, 48));
    QCOMPARE(written.pixelColor(3, 3), QColor(Qt::blue));
    QCOMPARE(log.matching("share: sent to scene 1").size(), 1);
}

void tst_ShareService::twoSendsInOneSecondKeepBoth()
{
    QTemporaryDir dir;
    FakeClock clock;
    Share share;
    share.setOutboxFolder(dir.path());
    share.setClock(&clock);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(share.sendReq(imageRequest(picture)));
    const QString first = share.lastSentFile();
    QVERIFY(share.sendReq(imageRequest(picture)));
    QVERIFY(share.lastSentFile() != first);
    QCOMPARE(QDir(dir.path()).entryList({"*.json"}).size(), 2);
    QCOMPARE(QDir(dir.path()).entryList({"*.png"}).size(), 2);
}

void tst_ShareService::unwritableOutboxReportsFailure()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Share share;
    share.setOutboxFolder(dir.filePath("file/outbox")); // under a plain file
    Log::Capture log;
    QVERIFY(!share.sendReq(imageRequest(QImage(4, 4, QImage::Format_RGB32))));
    QVERIFY(share.lastSentFile().isEmpty());
}

QTEST_MAIN(tst_ShareService)
#include "tst_ShareService.moc"
