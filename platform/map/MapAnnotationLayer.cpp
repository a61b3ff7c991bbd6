#include "platform/map/MapAnnotationLayer.h"

#include "platform/map/MapCamera.h"
#include "platform/map/MapProjection.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Blending one picture over itself (source over) at the same pixels moves each channel
// monotonically towards a fixed point it reaches within 255 steps; past that, more copies
// change nothing. A parked rider's standing marks are such a stack, so longer runs stop.
constexpr int SettledAfter = 256;

} // namespace

MapAnnotationLayer::MapAnnotationLayer(PictureMaker makePicture)
    : m_makePicture(std::move(makePicture))
{
}

int MapAnnotationLayer::kindOf(const QString& title)
{
    for (int i = 0; i < m_kinds.size(); ++i) {
        if (m_kinds[i].title == title)
            return i;
    }
    const Picture picture = m_makePicture ? m_makePicture(title) : Picture();
    const QSize size = picture.image.isNull() ? QSize(0, 0) : picture.image.size();
    m_kinds.append({title, picture.image, size, picture.centerOffset});
    return int(m_kinds.size() - 1);
}

void MapAnnotationLayer::append(const MapCoordinate& coordinate, const QString& title)
{
    const QPointF world = MapProjection::toWorld(coordinate);
    if (m_marks.size() % ChunkSize == 0)
        m_chunks.push_back({world.x(), world.y(), world.x(), world.y()});
    else
        m_chunks.back().extend(world);
    m_marks.push_back({coordinate, world, kindOf(title)});
    emit changed();
}

void MapAnnotationLayer::setCoordinate(qsizetype index, const MapCoordinate& coordinate)
{
    // The stop mark is set each second where it already is; that needs no drawing.
    Mark& mark = m_marks[index];
    if (mark.coordinate == coordinate)
        return;
    mark.coordinate = coordinate;
    mark.world = MapProjection::toWorld(coordinate);
    // A chunk's bounds only grow: a moved mark is still found, at the cost of a wider look.
    m_chunks[index / ChunkSize].extend(mark.world);
    emit changed();
}

void MapAnnotationLayer::setImage(const QString& title, const QImage& image)
{
    Kind& kind = m_kinds[kindOf(title)];
    if (kind.image.cacheKey() == image.cacheKey())
        return;
    kind.image = image;
    emit changed();
}

void MapAnnotationLayer::clear()
{
    m_marks.clear();
    m_chunks.clear();
    emit changed();
}

QPoint MapAnnotationLayer::topLeft(const Kind& kind, const QPointF& place)
{
    const QPointF centre = place + kind.centerOffset;
    return QPoint(int(std::lround(centre.x() - kind.size.width() / 2.0)),
                  int(std::lround(centre.y() - kind.size.height() / 2.0)));
}

QRect MapAnnotationLayer::frame(qsizetype index, const MapCamera& camera) const
{
    const Mark& mark = m_marks[index];
    const Kind& kind = m_kinds[mark.kind];
    return QRect(topLeft(kind, camera.toView(mark.world)), kind.size);
}

bool MapAnnotationLayer::Stack::settled(const QPoint& place, int kindOfMark)
{
    if (place == at && kindOfMark == kind)
        return ++copies >= SettledAfter;
    at = place;
    kind = kindOfMark;
    copies = 0;
    return false;
}

void MapAnnotationLayer::Bounds::extend(const QPointF& p)
{
    left = std::min(left, p.x());
    right = std::max(right, p.x());
    top = std::min(top, p.y());
    bottom = std::max(bottom, p.y());
}

bool MapAnnotationLayer::Bounds::meets(const QRectF& rect) const
{
    return left <= rect.right() && right >= rect.left() && top <= rect.bottom() &&
           bottom >= rect.top();
}

void MapAnnotationLayer::draw(QPainter& painter, const MapCamera& camera, const QRect& area,
                              qsizetype first) const
{
    double reach = 1;
    for (const Kind& kind : m_kinds)
        reach = std::max({reach, std::abs(kind.centerOffset.x()) + kind.size.width(),
                          std::abs(kind.centerOffset.y()) + kind.size.height()});
    const QRectF sight(camera.toWorld(QPointF(area.topLeft()) - QPointF(reach, reach)),
                       camera.toWorld(QPointF(area.bottomRight()) + QPointF(reach, reach)));
    Stack stack;
    for (qsizetype chunk = std::max<qsizetype>(first, 0) / ChunkSize;
         chunk < qsizetype(m_chunks.size()); ++chunk) {
        if (!m_chunks[chunk].meets(sight))
            continue;
        const qsizetype end = std::min((chunk + 1) * ChunkSize, size());
        for (qsizetype i = std::max(first, chunk * ChunkSize); i < end; ++i) {
            const Mark& mark = m_marks[i];
            if (!sight.contains(mark.world))
                continue;
            const Kind& kind = m_kinds[mark.kind];
            const QPoint at = topLeft(kind, camera.toView(mark.world));
            if (!stack.settled(at, mark.kind) && QRect(at, kind.size).intersects(area))
                drawMark(painter, kind, at);
        }
    }
}

void MapAnnotationLayer::drawMark(QPainter& painter, const Kind& kind, const QPoint& at) const
{
    if (kind.image.isNull())
        return;
    if (kind.image.size() == kind.size) {
        painter.drawImage(at, kind.image);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QRect(at, kind.size)), kind.image);
    painter.restore();
}
