#include "platform/net/ImageLoader.h"

#include "platform/ReplyGuard.h"
#include "platform/ui/ImageView.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// A request gives up after the phone HTTP stack's default of 60 seconds.
constexpr int TransferTimeoutMs = 60000;
constexpr int MemoryCacheBytes = 64 * 1024 * 1024;
constexpr qint64 DiskCacheBytes = 100 * 1024 * 1024;
constexpr const char* AddressProperty = "lvxingImageAddress";

} // namespace

ImageLoader::ImageLoader(const QString& diskCacheFolder, QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)),
      m_disk(new QNetworkDiskCache(this)), m_memory(MemoryCacheBytes)
{
    // The cache holds the rider's pictures: readable by the user only.
    QDir().mkpath(diskCacheFolder);
    QFile::setPermissions(diskCacheFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_disk->setCacheDirectory(diskCacheFolder);
    m_disk->setMaximumCacheSize(DiskCacheBytes);
    m_now = [] { return QDateTime::currentMSecsSinceEpoch(); };
}

ImageLoader::~ImageLoader() = default;

QUrl ImageLoader::usableUrl(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return QUrl();
    const QUrl url(trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https"))
        return QUrl();
    return url;
}

QImage ImageLoader::decode(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxSide || size.height() > MaxSide)
        return QImage();
    return reader.read();
}

void ImageLoader::setImageWithURL(ImageView* view, const QString& address,
                                  const QImage& placeholder)
{
    if (!view)
        return;
    view->setImage(placeholder);
    view->setProperty(AddressProperty, address);
    QPointer<ImageView> target(view);
    loadImage(address, [target, address](const QImage& image) {
        if (!target || image.isNull() || target->property(AddressProperty).toString() != address)
            return;
        target->setImage(image);
    });
}

void ImageLoader::loadImage(const QString& address, std::function<void(const QImage&)> done)
{
    const QUrl url = usableUrl(address);
    if (url.isEmpty()) {
        done(QImage());
        return;
    }
    const QString key = url.toString();
    if (QImage* cached = m_memory.object(key)) {
        done(*cached);
        return;
    }
    const QImage stored = fromDisk(url);
    if (!stored.isNull()) {
        m_memory.insert(key, new QImage(stored), int(qMin<qint64>(stored.sizeInBytes(), INT_MAX)));
        done(stored);
        return;
    }
    const auto failed = m_failedAt.constFind(key);
    if (failed != m_failedAt.constEnd() && m_now() - *failed < RetryAfterMs) {
        done(QImage());
        return;
    }
    const bool alreadyOnItsWay = m_waiting.contains(key);
    m_waiting[key].append(std::move(done));
    if (!alreadyOnItsWay)
        fetch(url);
}

void ImageLoader::fetch(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(TransferTimeoutMs);
    request.setMaximumRedirectsAllowed(2);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    ++m_requests;
    QNetworkReply* reply = m_network->get(request);
    ReplyGuard::guard(reply, MaxBytes, TransferTimeoutMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
        const QByteArray data = ok ? reply->readAll() : QByteArray();
        const QImage image = ok ? decode(data) : QImage();
        if (image.isNull()) {
            m_failedAt.insert(url.toString(), m_now());
        } else {
            m_failedAt.remove(url.toString());
            saveToDisk(url, data);
            m_memory.insert(url.toString(), new QImage(image),
                            int(qMin<qint64>(image.sizeInBytes(), INT_MAX)));
        }
        finish(url, image);
    });
}

void ImageLoader::finish(const QUrl& url, const QImage& image)
{
    const QList<std::function<void(const QImage&)>> waiting = m_waiting.take(url.toString());
    for (const auto& done : waiting)
        done(image);
}

QImage ImageLoader::fromDisk(const QUrl& url)
{
    std::unique_ptr<QIODevice> device(m_disk->data(url));
    if (!device)
        return QImage();
    return decode(device->readAll());
}

void ImageLoader::saveToDisk(const QUrl& url, const QByteArray& data)
{
    QNetworkCacheMetaData meta;
    meta.setUrl(url);
    meta.setSaveToDisk(true);
    QIODevice* device = m_disk->prepare(meta);
    if (!device)
        return;
    device->write(data);
    m_disk->insert(device);
}
