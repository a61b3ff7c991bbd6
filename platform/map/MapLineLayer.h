#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>

class MapCamera;
class MapPolyline;
class QPainter;

// The map's polylines as strokes: consecutive polylines of one style that meet end to
// start are joined into one stroke, kept in blocks with their bounds, and each block is
// simplified for the zoom it is drawn at. A frame thus draws only the blocks in sight, at
// the detail the zoom can show, however long the track.
class MapLineLayer
{
public:
    static constexpr int BlockSize = 512;
    // Largest distance, in points, between a simplified line and the full one.
    static constexpr double Tolerance = 0.4;

    void clear();
    void append(const MapPolyline& line, double width, const QColor& color);
    void draw(QPainter& painter, const MapCamera& camera);

    int strokeCount() const { return int(m_strokes.size()); }
    qsizetype pointCount() const;
    // Points drawn by the last frame (after simplification and culling).
    qsizetype lastDrawnPoints() const { return m_lastDrawn; }
    // Bytes held for the points (blocks and their simplified copies).
    qsizetype memoryBytes() const;

    // Douglas-Peucker over world points with a tolerance in world units; keeps both ends.
    static QList<QPointF> simplify(const QList<QPointF>& points, double tolerance);

private:
    struct Block
    {
        QList<QPointF> points;
        QRectF bounds;
        int simplifiedZoom = -1;
        QList<QPointF> simplified;
    };
    struct Stroke
    {
        double width;
        QColor color;
        QList<Block> blocks;
    };
    static void extend(Block& block, const QPointF& point);
    static const QList<QPointF>& simplifiedFor(Block& block, int zoom);
    void drawStroke(QPainter& painter, const MapCamera& camera, Stroke& stroke, int zoom);

    QList<Stroke> m_strokes;
    qsizetype m_lastDrawn = 0;
};
