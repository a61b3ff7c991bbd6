#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class ImageView;
class QNetworkAccessManager;
class QNetworkDiskCache;
class QNetworkReply;

// Loads pictures from addresses into image views: the placeholder shows at once and the
// downloaded picture replaces it when it arrives. Decoded pictures stay in memory and the
// downloads on disk, so a picture seen once needs no network again. An empty or bad
// address, a failed download, data that is no picture, or a picture wider or taller than
// MaxSide pixels (refused before decoding) leave the placeholder. A download is cut off
// past MaxBytes or a minute after it started, and an address whose download failed is
// not asked for again for RetryAfterMs, so a broken picture cannot be fetched in a loop.
class ImageLoader : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxSide = 4096;
    static constexpr qint64 MaxBytes = 2 * 1024 * 1024;
    static constexpr qint64 RetryAfterMs = 10 * 60 * 1000;

    explicit ImageLoader(const QString& diskCacheFolder, QObject* parent = nullptr);
    ~ImageLoader() override;

    // The view shows `placeholder` now and the picture at `address` once it is loaded. A
    // later call for the same view wins over a picture of an earlier one still on its way.
    void setImageWithURL(ImageView* view, const QString& address, const QImage& placeholder);
    // Loads the picture at `address`; `done` gets it, or a null image on any failure.
    void loadImage(const QString& address, std::function<void(const QImage&)> done);

    // Decodes picture data, refusing pictures over MaxSide in either direction unread.
    static QImage decode(const QByteArray& data);
    static QUrl usableUrl(const QString& address);

    // Milliseconds of a steady clock; tests move it on by hand.
    void setNow(std::function<qint64()> now) { m_now = std::move(now); }

    int networkRequestCount() const { return m_requests; }
    void clearMemoryCache() { m_memory.clear(); }

private:
    void fetch(const QUrl& url);
    void finish(const QUrl& url, const QImage& image);
    QImage fromDisk(const QUrl& url);
    void saveToDisk(const QUrl& url, const QByteArray& data);

    QNetworkAccessManager* m_network;
    QNetworkDiskCache* m_disk;
    QCache<QString, QImage> m_memory;
    QHash<QString, QList<std::function<void(const QImage&)>>> m_waiting;
    QHash<QString, qint64> m_failedAt;
    std::function<qint64()> m_now;
    int m_requests = 0;
};
