#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

class MapCamera;
class QPainter;

// The background of one map: 256-point tiles at the whole zoom nearest the camera's,
// scaled to fractional zooms. Tiles come from the address template of the shared map
// services when one is set (loaded through its loader, the drawn tile standing in until
// the picture arrives or when it never does), and are drawn by MapTilePainter otherwise.
// Recently used tiles stay in memory, so a frame while panning only copies pictures.
// Tiles from a server carry their provider's credit in the map's lower right corner.
class MapTiles : public QObject
{
    Q_OBJECT

public:
    static constexpr int CacheTiles = 48;

    explicit MapTiles(QObject* parent = nullptr);

    void draw(QPainter& painter, const MapCamera& camera);
    void drawAttribution(QPainter& painter, const QRect& view) const;
    // The address of tile z/x/y under a template with {z}, {x} and {y}.
    static QString tileAddress(const QString& urlTemplate, int z, int x, int y);
    int tilesMade() const { return m_made; }

signals:
    // A tile picture arrived: the map draws again.
    void tileArrived();

private:
    static quint64 key(int z, int x, int y);
    const QImage& tile(int z, int x, int y);
    void request(int z, int x, int y, quint64 k);

    QString m_template;
    QString m_attribution;
    QCache<quint64, QImage> m_cache;
    QSet<quint64> m_loading;
    QSet<quint64> m_failed;
    int m_made = 0;
};
