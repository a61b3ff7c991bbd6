#include "platform/map/MapTiles.h"

#include "platform/map/MapCamera.h"
#include "platform/map/MapServices.h"
#include "platform/map/MapTilePainter.h"

#include <QPainter>
#include <QPointer>
#include <cmath>

MapTiles::MapTiles(QObject* parent) : QObject(parent), m_cache(CacheTiles)
{
    if (MapServices* services = MapServices::shared()) {
        m_template = services->tileUrlTemplate();
        m_attribution = services->tileAttribution();
    }
}

quint64 MapTiles::key(int z, int x, int y)
{
    return (quint64(z) << 58) | (quint64(quint32(x)) << 29) | quint64(quint32(y));
}

QString MapTiles::tileAddress(const QString& urlTemplate, int z, int x, int y)
{
    QString address = urlTemplate;
    address.replace(QLatin1String("{z}"), QString::number(z));
    address.replace(QLatin1String("{x}"), QString::number(x));
    address.replace(QLatin1String("{y}"), QString::number(y));
    return address;
}

void MapTiles::draw(QPainter& painter, const MapCamera& camera)
{
    const int z = qBound(0, int(std::lround(camera.zoom())), 22);
    const int count = 1 << z;
    const double side = MapTilePainter::TileSize * std::exp2(camera.zoom() - z);
    const QPointF origin = camera.toView(QPointF(0, 0));
    const QSizeF view = camera.viewport();
    const int x0 = int(std::floor(-origin.x() / side));
    const int y0 = qMax(0, int(std::floor(-origin.y() / side)));
    const int x1 = int(std::floor((view.width() - origin.x()) / side));
    const int y1 = qMin(count - 1, int(std::floor((view.height() - origin.y()) / side)));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, std::abs(side - 256) > 0.01);
    for (int ty = y0; ty <= y1; ++ty) {
        for (int tx = x0; tx <= x1; ++tx) {
            const int wrapped = ((tx % count) + count) % count;
            // Whole-point edges keep neighbouring tiles from leaving hairline gaps.
            const QPointF topLeft = origin + QPointF(tx * side, ty * side);
            const QRect target(QPoint(int(std::floor(topLeft.x())), int(std::floor(topLeft.y()))),
                               QPoint(int(std::ceil(topLeft.x() + side)) - 1,
                                      int(std::ceil(topLeft.y() + side)) - 1));
            painter.drawImage(target, tile(z, wrapped, ty));
        }
    }
    painter.restore();
}

void MapTiles::drawAttribution(QPainter& painter, const QRect& view) const
{
    if (m_template.isEmpty() || m_attribution.isEmpty())
        return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QSize text(metrics.horizontalAdvance(m_attribution), metrics.height());
    const QRect box(view.right() - text.width() - 8, view.bottom() - text.height() - 1,
                    text.width() + 8, text.height() + 2);
    painter.fillRect(box, QColor(255, 255, 255, 190));
    painter.setPen(QColor(50, 50, 50));
    painter.drawText(box, Qt::AlignCenter, m_attribution);
    painter.restore();
}

const QImage& MapTiles::tile(int z, int x, int y)
{
    const quint64 k = key(z, x, y);
    if (QImage* cached = m_cache.object(k))
        return *cached;
    auto* image =
        new QImage(MapTilePainter::TileSize, MapTilePainter::TileSize, QImage::Format_RGB32);
    QPainter painter(image);
    MapTilePainter::paint(painter, z, x, y);
    painter.end();
    ++m_made;
    m_cache.insert(k, image);
    if (!m_template.isEmpty() && !m_failed.contains(k))
        request(z, x, y, k);
    return *m_cache.object(k);
}

void MapTiles::request(int z, int x, int y, quint64 k)
{
    MapServices* services = MapServices::shared();
    if (m_loading.contains(k) || !services || !services->tileLoader())
        return;
    m_loading.insert(k);
    QPointer<MapTiles> self(this);
    services->tileLoader()(tileAddress(m_template, z, x, y), [self, k](const QImage& picture) {
        if (!self)
            return;
        self->m_loading.remove(k);
        if (picture.isNull()) {
            self->m_failed.insert(k);
            return;
        }
        self->m_cache.insert(
            k, new QImage(picture.scaled(MapTilePainter::TileSize, MapTilePainter::TileSize,
                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        emit self->tileArrived();
    });
}
