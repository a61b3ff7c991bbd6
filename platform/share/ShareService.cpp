#include "platform/share/ShareService.h"

#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/share/SendMessageRequest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QJsonArray sizeOf(const QImage& image)
{
    return QJsonArray{image.width(), image.height()};
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

} // namespace

QString ShareService::outboxFolder() const
{
    if (!m_outbox.isEmpty())
        return m_outbox;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("outbox"));
}

bool ShareService::sendReq(const SendMessageRequest& request)
{
    const QDir folder(outboxFolder());
    if (!folder.mkpath(QStringLiteral("."))) {
        Log::write(QStringLiteral("share: no outbox at %1").arg(folder.path()));
        return false;
    }
    const QDateTime now = m_clock ? m_clock->now() : QDateTime::currentDateTime();
    // Two sends in one second still get files of their own.
    QString base = QStringLiteral("share-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 2; QFile::exists(folder.filePath(base + QStringLiteral(".json"))); ++n)
        base = QStringLiteral("share-%1-%2")
                   .arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss")))
                   .arg(n);

    const MediaMessage message = request.message();
    const QByteArray picture = message.mediaObject().imageData();
    const QImage decoded = QImage::fromData(picture, "PNG");
    QJsonObject description{
        {QStringLiteral("scene"), request.scene()},
        {QStringLiteral("text"), request.bText()},
        {QStringLiteral("thumbnail"), message.thumbImageName()},
        {QStringLiteral("thumbnailSize"), sizeOf(message.thumbImage())},
        {QStringLiteral("imageSize"), sizeOf(decoded)},
        {QStringLiteral("time"), now.toString(Qt::ISODate)},
    };
    if (!picture.isEmpty()) {
        const QString image = base + QStringLiteral(".png");
        if (!writeFile(folder.filePath(image), picture))
            return false;
        description.insert(QStringLiteral("image"), image);
    }
    const QString json = folder.filePath(base + QStringLiteral(".json"));
    if (!writeFile(json, QJsonDocument(description).toJson(QJsonDocument::Indented)))
        return false;
    m_lastSent = json;
    Log::write(QStringLiteral("share: sent to scene %1, %2").arg(request.scene()).arg(json));
    return true;
}
