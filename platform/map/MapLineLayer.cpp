#include "platform/map/MapLineLayer.h"

#include "platform/map/MapCamera.h"
#include "platform/map/MapPolyline.h"
#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapProjection.h"

#include <QPainter>
#include <cmath>

namespace {

// Closed rectangles overlap (a block along one street has no width or no height).
bool overlaps(const QRectF& a, const QRectF& b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    double t = length2 > 0 ? QPointF::dotProduct(p - a, ab) / length2 : 0;
    t = qBound(0.0, t, 1.0);
    const QPointF d = p - (a + ab * t);
    return std::sqrt(QPointF::dotProduct(d, d));
}

} // namespace

void MapLineLayer::clear()
{
    m_strokes.clear();
}

void MapLineLayer::append(const MapPolyline& line, double width, const QColor& color)
{
    const QList<QPointF>& points = line.worldPoints();
    if (points.isEmpty())
        return;
    qsizetype first = 0;
    bool joins = false;
    if (!m_strokes.isEmpty()) {
        const Stroke& last = m_strokes.last();
        joins = last.width == width && last.color == color &&
                last.blocks.last().points.last() == points.first();
    }
    if (joins) {
        first = 1;
    } else {
        m_strokes.append(Stroke{width, color, {Block{}}});
    }
    Stroke& stroke = m_strokes.last();
    for (qsizetype i = first; i < points.size(); ++i) {
        if (stroke.blocks.last().points.size() >= BlockSize) {
            // Blocks share their boundary point, so the stroke stays continuous.
            const QPointF boundary = stroke.blocks.last().points.last();
            stroke.blocks.append(Block{});
            extend(stroke.blocks.last(), boundary);
        }
        extend(stroke.blocks.last(), points.at(i));
    }
}

void MapLineLayer::extend(Block& block, const QPointF& point)
{
    if (block.points.isEmpty()) {
        block.bounds = QRectF(point, point);
    } else {
        block.bounds.setLeft(qMin(block.bounds.left(), point.x()));
        block.bounds.setRight(qMax(block.bounds.right(), point.x()));
        block.bounds.setTop(qMin(block.bounds.top(), point.y()));
        block.bounds.setBottom(qMax(block.bounds.bottom(), point.y()));
    }
    block.points.append(point);
    block.simplifiedZoom = -1;
}

qsizetype MapLineLayer::pointCount() const
{
    qsizetype count = 0;
    for (const Stroke& stroke : m_strokes) {
        // Each block after the first repeats the last point of the one before.
        for (const Block& block : stroke.blocks)
            count += block.points.size() - 1;
        count += 1;
    }
    return count;
}

qsizetype MapLineLayer::memoryBytes() const
{
    qsizetype bytes = qsizetype(m_strokes.capacity() * sizeof(Stroke));
    for (const Stroke& stroke : m_strokes) {
        bytes += stroke.blocks.capacity() * qsizetype(sizeof(Block));
        for (const Block& block : stroke.blocks) {
            bytes += block.points.capacity() * qsizetype(sizeof(QPointF));
            bytes += block.simplified.capacity() * qsizetype(sizeof(QPointF));
        }
    }
    return bytes;
}

void MapLineLayer::draw(QPainter& painter, const MapCamera& camera)
{
    m_lastDrawn = 0;
    // Simplified at the next whole zoom, so the error on screen stays under the tolerance
    // at every fractional zoom below it.
    const int zoom = int(std::ceil(camera.zoom() - 1e-9));
    for (Stroke& stroke : m_strokes)
        drawStroke(painter, camera, stroke, zoom);
}

void MapLineLayer::drawStroke(QPainter& painter, const MapCamera& camera, Stroke& stroke, int zoom)
{
    const QRectF visible = camera.visibleWorld(stroke.width + 2);
    MapPolylineRenderer::applyPen(painter, stroke.width, stroke.color);
    QPolygonF run;
    auto flush = [&] {
        if (run.size() >= 2) {
            painter.drawPolyline(run);
            m_lastDrawn += run.size();
        } else if (run.size() == 1) {
            painter.drawPoint(run.first());
            m_lastDrawn += 1;
        }
        run.clear();
    };
    for (Block& block : stroke.blocks) {
        if (!overlaps(visible, block.bounds)) {
            flush();
            continue;
        }
        const QList<QPointF>& points = simplifiedFor(block, zoom);
        // A block following a drawn one starts at that one's last point.
        for (qsizetype i = run.isEmpty() ? 0 : 1; i < points.size(); ++i)
            run.append(camera.toView(points.at(i)));
    }
    flush();
}

const QList<QPointF>& MapLineLayer::simplifiedFor(Block& block, int zoom)
{
    if (block.simplifiedZoom != zoom) {
        block.simplified = simplify(block.points, Tolerance / MapProjection::worldSize(zoom));
        block.simplified.squeeze();
        block.simplifiedZoom = zoom;
    }
    return block.simplified;
}

QList<QPointF> MapLineLayer::simplify(const QList<QPointF>& points, double tolerance)
{
    const qsizetype n = points.size();
    if (n <= 2)
        return points;
    QList<bool> keep(n, false);
    keep[0] = keep[n - 1] = true;
    QList<std::pair<qsizetype, qsizetype>> ranges{{0, n - 1}};
    while (!ranges.isEmpty()) {
        const auto [from, to] = ranges.takeLast();
        double farthest = -1;
        qsizetype index = -1;
        for (qsizetype i = from + 1; i < to; ++i) {
            const double d = distanceToSegment(points.at(i), points.at(from), points.at(to));
            if (d > farthest) {
                farthest = d;
                index = i;
            }
        }
        if (index >= 0 && farthest > tolerance) {
            keep[index] = true;
            ranges.append({from, index});
            ranges.append({index, to});
        }
    }
    QList<QPointF> kept;
    for (qsizetype i = 0; i < n; ++i) {
        if (keep.at(i))
            kept.append(points.at(i));
    }
    return kept;
}
