#include "platform/map/TileSource.h"

#include "platform/ReplyGuard.h"
#include "platform/map/MapServices.h"
#include "platform/net/ImageLoader.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>

namespace {

constexpr int TransferTimeoutMs = 30000;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

TileSource::TileSource(const QString& cacheFolder, const QByteArray& userAgent, QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)),
      m_disk(new QNetworkDiskCache(this)), m_userAgent(userAgent)
{
    QDir().mkpath(cacheFolder);
    QFile::setPermissions(cacheFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_disk->setCacheDirectory(cacheFolder);
    m_disk->setMaximumCacheSize(DiskCacheBytes);
}

TileSource::~TileSource() = default;

QByteArray TileSource::appUserAgent()
{
    const QString version = QCoreApplication::applicationVersion();
    return QStringLiteral("Lvxing/%1 (e-scooter tracker companion; Qt %2)")
        .arg(version.isEmpty() ? QStringLiteral("0") : version, QString::fromLatin1(qVersion()))
        .toUtf8();
}

void TileSource::serve(MapServices& services, const QString& urlTemplate,
                       const QString& attribution)
{
    services.setTileUrlTemplate(urlTemplate);
    services.setTileAttribution(attribution);
    QPointer<TileSource> self(this);
    services.setTileLoader([self](const QString& address, std::function<void(const QImage&)> done) {
        if (self)
            self->load(address, std::move(done));
        else
            done(QImage());
    });
}

void TileSource::load(const QString& address, std::function<void(const QImage&)> done)
{
    const QUrl url = ImageLoader::usableUrl(address);
    bool fresh = false;
    const QImage stored = url.isEmpty() ? QImage() : fromDisk(url, &fresh);
    if (fresh || url.isEmpty()) {
        done(stored);
        return;
    }
    const QString key = url.toString();
    const auto failed = m_failedAt.constFind(key);
    if (failed != m_failedAt.constEnd() && nowMs() - *failed < RetryAfterMs) {
        done(stored);
        return;
    }
    const bool alreadyWaiting = m_waiting.contains(key);
    m_waiting[key].append(std::move(done));
    if (alreadyWaiting)
        return;
    m_queue.append(url);
    startNext();
}

void TileSource::startNext()
{
    while (m_running < MaxDownloads && !m_queue.isEmpty())
        fetch(m_queue.takeLast());
}

void TileSource::fetch(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    request.setTransferTimeout(TransferTimeoutMs);
    request.setMaximumRedirectsAllowed(2);
    // A stale tile is asked for again only if it changed.
    const QNetworkCacheMetaData meta = m_disk->metaData(url);
    for (const auto& [name, value] : meta.rawHeaders()) {
        if (name.compare("ETag", Qt::CaseInsensitive) == 0)
            request.setRawHeader("If-None-Match", value);
    }
    if (meta.lastModified().isValid())
        request.setHeader(QNetworkRequest::IfModifiedSinceHeader, meta.lastModified());
    ++m_running;
    ++m_started;
    QNetworkReply* reply = m_network->get(request);
    ReplyGuard::guard(reply, MaxBytes, TransferTimeoutMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] { finished(reply, url); });
}

void TileSource::finished(QNetworkReply* reply, const QUrl& url)
{
    reply->deleteLater();
    --m_running;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QImage image;
    if (reply->error() == QNetworkReply::NoError && status == 304) {
        bool fresh = false;
        image = fromDisk(url, &fresh);
        if (!image.isNull())
            keepLonger(url, reply);
    } else if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        const QByteArray data = reply->readAll();
        image = ImageLoader::decode(data);
        if (!image.isNull())
            keep(url, data, reply);
    }
    const QString key = url.toString();
    if (image.isNull()) {
        // Offline, a stale tile is still better than none.
        bool fresh = false;
        image = fromDisk(url, &fresh);
        m_failedAt.insert(key, nowMs());
    } else {
        m_failedAt.remove(key);
    }
    const QList<Done> waiting = m_waiting.take(key);
    for (const Done& done : waiting)
        done(image);
    startNext();
}

QImage TileSource::fromDisk(const QUrl& url, bool* fresh)
{
    const QNetworkCacheMetaData meta = m_disk->metaData(url);
    if (!meta.isValid())
        return QImage();
    std::unique_ptr<QIODevice> device(m_disk->data(url));
    const QImage image = device ? ImageLoader::decode(device->readAll()) : QImage();
    if (image.isNull())
        m_disk->remove(url);
    *fresh = !image.isNull() && meta.expirationDate() > QDateTime::currentDateTimeUtc();
    return image;
}

// How long the server lets a tile be used, but never less than a week.
QDateTime TileSource::freshUntil(const QNetworkReply* reply) const
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QDateTime until = now.addDays(FreshDays);
    static const QRegularExpression maxAge(QStringLiteral("max-age=(\\d+)"));
    const QString control = QString::fromLatin1(reply->rawHeader("Cache-Control"));
    if (const auto match = maxAge.match(control); match.hasMatch())
        until = qMax(until, now.addSecs(match.captured(1).toLongLong()));
    const QDateTime expires =
        QDateTime::fromString(QString::fromLatin1(reply->rawHeader("Expires")), Qt::RFC2822Date);
    return expires.isValid() ? qMax(until, expires.toUTC()) : until;
}

void TileSource::keep(const QUrl& url, const QByteArray& data, const QNetworkReply* reply)
{
    if (reply->rawHeader("Cache-Control").contains("no-store"))
        return;
    QNetworkCacheMetaData meta;
    meta.setUrl(url);
    meta.setSaveToDisk(true);
    meta.setExpirationDate(freshUntil(reply));
    meta.setLastModified(reply->header(QNetworkRequest::LastModifiedHeader).toDateTime());
    if (reply->hasRawHeader("ETag"))
        meta.setRawHeaders({{"ETag", reply->rawHeader("ETag")}});
    QIODevice* device = m_disk->prepare(meta);
    if (!device)
        return;
    device->write(data);
    m_disk->insert(device);
}

void TileSource::keepLonger(const QUrl& url, const QNetworkReply* reply)
{
    QNetworkCacheMetaData meta = m_disk->metaData(url);
    meta.setExpirationDate(freshUntil(reply));
    m_disk->updateMetaData(meta);
}
