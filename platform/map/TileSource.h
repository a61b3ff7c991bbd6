#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class MapServices;
class QNetworkAccessManager;
class QNetworkDiskCache;
class QNetworkReply;

// Downloads map tiles from an XYZ tile server the way its usage rules ask of a client:
// a User-Agent naming the app, at most MaxDownloads at once (the newest wish first, since
// it is what the map shows now), only the tiles a map asks for, and every tile kept on
// disk and reused without asking for at least FreshDays, longer when the server says so.
// An answer that is not a picture, an error or no answer at all is remembered for
// RetryAfterMs, so a map without network never asks in a loop.
class TileSource : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxDownloads = 2;
    static constexpr int FreshDays = 7;
    static constexpr qint64 RetryAfterMs = 5 * 60 * 1000;
    static constexpr qint64 MaxBytes = 1024 * 1024;
    static constexpr qint64 DiskCacheBytes = 200 * 1024 * 1024;

    TileSource(const QString& cacheFolder, const QByteArray& userAgent, QObject* parent = nullptr);
    ~TileSource() override;

    // "Lvxing/<version> (...)": how the app names itself to tile servers.
    static QByteArray appUserAgent();

    // Makes this source where the maps of `services` take their tiles from.
    void serve(MapServices& services, const QString& urlTemplate, const QString& attribution);
    // `done` gets the tile at `address`, or a null image when it cannot be had.
    void load(const QString& address, std::function<void(const QImage&)> done);
    int downloadsStarted() const { return m_started; }
    // Tiles asked for that have not come yet, waiting or on their way.
    int pending() const { return int(m_waiting.size()); }

private:
    using Done = std::function<void(const QImage&)>;
    void startNext();
    void fetch(const QUrl& url);
    void finished(QNetworkReply* reply, const QUrl& url);
    QImage fromDisk(const QUrl& url, bool* fresh);
    void keep(const QUrl& url, const QByteArray& data, const QNetworkReply* reply);
    void keepLonger(const QUrl& url, const QNetworkReply* reply);
    QDateTime freshUntil(const QNetworkReply* reply) const;

    QNetworkAccessManager* m_network;
    QNetworkDiskCache* m_disk;
    QByteArray m_userAgent;
    QHash<QString, QList<Done>> m_waiting;
    QList<QUrl> m_queue;
    QHash<QString, qint64> m_failedAt;
    int m_running = 0;
    int m_started = 0;
};
