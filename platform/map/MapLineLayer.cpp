#include "platform/map/MapLineLayer.h"

#include "platform/map/MapCamera.h"
#include "platform/map/MapPolyline.h"
#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapProjection.h"
#include "platform/map/MapStrokeRaster.h"

#include <QPainter>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

// Closed rectangles overlap (a block along one street has no width or no height).
bool overlaps(const QRectF& a, const QRectF& b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

double distanceToSegment2(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    double t = length2 > 0 ? QPointF::dotProduct(p - a, ab) / length2 : 0;
    t = qBound(0.0, t, 1.0);
    const QPointF d = p - (a + ab * t);
    return QPointF::dotProduct(d, d);
}

} // namespace

void MapLineLayer::clear()
{
    m_strokes.clear();
    dropPicture();
}

void MapLineLayer::dropPicture()
{
    m_hasPicture = false;
    m_pending.clear();
}

void MapLineLayer::addPending(const QPointF& from, const QPointF& to, double width,
                              const QColor& color)
{
    if (!m_hasPicture)
        return;
    if (m_pending.size() >= PendingLimit) {
        dropPicture();
        return;
    }
    m_pending.append({from, to, width, color});
}

void MapLineLayer::append(const MapPolyline& line, double width, const QColor& color)
{
    const qsizetype count = line.pointCount();
    if (count == 0)
        return;
    const QPointF start = MapProjection::toWorld(line.coordinate(0));
    bool joins = false;
    if (!m_strokes.isEmpty()) {
        const Stroke& last = m_strokes.last();
        joins =
            last.width == width && last.color == color && last.blocks.last().points.last() == start;
    }
    if (!joins) {
        // A new stroke's first point is drawn onto the kept picture as a dot.
        addPending(start, start, width, color);
        m_strokes.append(Stroke{width, color, {Block{}}});
        extend(m_strokes.last().blocks.last(), start);
    }
    Stroke& stroke = m_strokes.last();
    QPointF previous = start;
    for (qsizetype i = 1; i < count; ++i) {
        const QPointF point = MapProjection::toWorld(line.coordinate(i));
        addPending(previous, point, width, color);
        previous = point;
        if (stroke.blocks.last().points.size() >= BlockSize) {
            // Blocks share their boundary point, so the stroke stays continuous. A full
            // block gives back what its list grew beyond.
            stroke.blocks.last().points.squeeze();
            const QPointF boundary = stroke.blocks.last().points.last();
            stroke.blocks.append(Block{});
            extend(stroke.blocks.last(), boundary);
        }
        extend(stroke.blocks.last(), point);
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
    block.keptBelow.clear();
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
            bytes += block.keptBelow.capacity() * qsizetype(sizeof(double));
        }
    }
    return bytes;
}

void MapLineLayer::draw(QPainter& painter, const MapCamera& camera)
{
    if (m_strokes.isEmpty())
        return;
    if (pictureCovers(camera))
        drawPending();
    else
        makePicture(camera);
    const QPointF at = camera.toView(m_pictureOrigin);
    painter.drawImage(QPoint(int(std::lround(at.x())), int(std::lround(at.y()))), m_picture);
}

bool MapLineLayer::pictureCovers(const MapCamera& camera) const
{
    if (!m_hasPicture || camera.zoom() != m_pictureZoom || camera.viewport() != m_pictureViewport)
        return false;
    const QPointF at = camera.toView(m_pictureOrigin);
    return at.x() <= 0.5 && at.y() <= 0.5 &&
           at.x() + m_picture.width() >= camera.viewport().width() - 0.5 &&
           at.y() + m_picture.height() >= camera.viewport().height() - 0.5;
}

void MapLineLayer::makePicture(const MapCamera& camera)
{
    // A quarter of the view to spare on every side, so panning keeps the picture a while.
    const QSizeF view = camera.viewport();
    const int marginX = int(std::ceil(view.width() / 4));
    const int marginY = int(std::ceil(view.height() / 4));
    const QSize size(int(std::ceil(view.width())) + 2 * marginX,
                     int(std::ceil(view.height())) + 2 * marginY);
    const MapCamera wide(camera.centerWorld(), camera.zoom(),
                         QSizeF(view.width() + 2 * marginX, view.height() + 2 * marginY));
    m_picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_picture.fill(Qt::transparent);
    m_pictureOrigin = camera.toWorld(QPointF(-marginX, -marginY));
    m_pictureZoom = camera.zoom();
    m_pictureViewport = view;
    m_pending.clear();
    m_hasPicture = true;
    ++m_renders;
    m_lastDrawn = 0;
    // Simplified at the next whole zoom, so the error on screen stays under the tolerance
    // at every fractional zoom below it.
    const int zoom = int(std::ceil(camera.zoom() - 1e-9));
    QPainter painter(&m_picture);
    painter.setRenderHint(QPainter::Antialiasing);
    for (Stroke& stroke : m_strokes) {
        const QList<QPolygonF> runs = runsOf(stroke, wide, zoom);
        qsizetype points = 0;
        for (const QPolygonF& run : runs)
            points += run.size();
        m_lastDrawn += points;
        if (points > DirectLimit) {
            painter.drawImage(QPoint(0, 0),
                              MapStrokeRaster::paint(runs, size, stroke.width, stroke.color));
            continue;
        }
        MapPolylineRenderer::applyPen(painter, stroke.width, stroke.color);
        for (const QPolygonF& run : runs) {
            if (run.size() >= 2)
                painter.drawPolyline(run);
            else if (run.size() == 1)
                painter.drawPoint(run.first());
        }
    }
}

void MapLineLayer::drawPending()
{
    if (m_pending.isEmpty())
        return;
    const double scale = MapProjection::worldSize(m_pictureZoom);
    QPainter painter(&m_picture);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Segment& segment : std::as_const(m_pending)) {
        MapPolylineRenderer::applyPen(painter, segment.width, segment.color);
        painter.drawLine((segment.from - m_pictureOrigin) * scale,
                         (segment.to - m_pictureOrigin) * scale);
    }
    m_pending.clear();
}

QList<QPolygonF> MapLineLayer::runsOf(Stroke& stroke, const MapCamera& camera, int zoom) const
{
    const QRectF visible = camera.visibleWorld(stroke.width + 2);
    const double tolerance = Tolerance / MapProjection::worldSize(zoom);
    const double tolerance2 = tolerance * tolerance;
    QList<QPolygonF> runs;
    QPolygonF run;
    for (Block& block : stroke.blocks) {
        if (!overlaps(visible, block.bounds)) {
            if (!run.isEmpty())
                runs.append(std::exchange(run, QPolygonF()));
            continue;
        }
        if (block.keptBelow.size() != block.points.size()) {
            block.keptBelow = keptBelow(block.points);
            block.keptBelow.squeeze();
        }
        // A block following a drawn one starts at that one's last point.
        for (qsizetype i = run.isEmpty() ? 0 : 1; i < block.points.size(); ++i) {
            if (block.keptBelow.at(i) > tolerance2)
                run.append(camera.toView(block.points.at(i)));
        }
    }
    if (!run.isEmpty())
        runs.append(run);
    return runs;
}

QList<QPointF> MapLineLayer::simplify(const QList<QPointF>& points, double tolerance)
{
    const QList<double> below = keptBelow(points);
    const double tolerance2 = tolerance * tolerance;
    QList<QPointF> kept;
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (below.at(i) > tolerance2)
            kept.append(points.at(i));
    }
    return kept;
}

QList<double> MapLineLayer::keptBelow(const QList<QPointF>& points)
{
    const qsizetype n = points.size();
    constexpr double Always = std::numeric_limits<double>::infinity();
    QList<double> below(n, 0.0);
    if (n == 0)
        return below;
    below[0] = below[n - 1] = Always;
    struct Range
    {
        qsizetype from;
        qsizetype to;
        double bound; // the least split distance of the ranges around this one
    };
    // Which point splits a range does not depend on the tolerance, only whether it does.
    std::vector<Range> ranges{{0, n - 1, Always}};
    while (!ranges.empty()) {
        const Range range = ranges.back();
        ranges.pop_back();
        double farthest = -1;
        qsizetype index = -1;
        const QPointF a = points.at(range.from), b = points.at(range.to);
        for (qsizetype i = range.from + 1; i < range.to; ++i) {
            const double d = distanceToSegment2(points.at(i), a, b);
            if (d > farthest) {
                farthest = d;
                index = i;
            }
        }
        if (index >= 0 && farthest > 0) {
            below[index] = qMin(range.bound, farthest);
            ranges.push_back({range.from, index, below[index]});
            ranges.push_back({index, range.to, below[index]});
        }
    }
    return below;
}
