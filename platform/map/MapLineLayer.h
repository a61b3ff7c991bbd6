#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>

class MapCamera;
class MapPolyline;
class QPainter;

// The map's polylines as strokes: consecutive polylines of one style that meet end to
// start are joined into one stroke, kept in blocks with their bounds, and each block is
// simplified for the zoom it is drawn at. A block's simplification is worked out once for
// every tolerance, so a zoom to any level only filters its points. The strokes in and around the
// view are drawn into a picture that later frames only copy while the camera stays within it at the
// same zoom; lines added meanwhile are drawn onto it. Dense strokes are drawn through
// MapStrokeRaster. A frame thus costs little however long the track.
class MapLineLayer
{
public:
    static constexpr int BlockSize = 512;
    // Largest distance, in points, between a simplified line and the full one.
    static constexpr double Tolerance = 0.4;
    // Strokes with more points in sight than this go through MapStrokeRaster.
    static constexpr int DirectLimit = 400;
    // New segments drawn onto the kept picture before it is drawn afresh instead.
    static constexpr int PendingLimit = 256;

    void clear();
    void append(const MapPolyline& line, double width, const QColor& color);
    void draw(QPainter& painter, const MapCamera& camera);

    int strokeCount() const { return int(m_strokes.size()); }
    qsizetype pointCount() const;
    // Points drawn when the picture was last made (after simplification and culling).
    qsizetype lastDrawnPoints() const { return m_lastDrawn; }
    // How often the picture has been made afresh.
    int renderCount() const { return m_renders; }
    // Bytes held for the points and their simplification.
    qsizetype memoryBytes() const;

    // Douglas-Peucker over world points with a tolerance in world units; keeps both ends.
    static QList<QPointF> simplify(const QList<QPointF>& points, double tolerance);
    // For each point, the squared tolerance below which Douglas-Peucker keeps it: the
    // least of the distances that split the ranges it lies in, down to its own.
    static QList<double> keptBelow(const QList<QPointF>& points);

private:
    struct Block
    {
        QList<QPointF> points;
        QRectF bounds;
        // keptBelow(points), or empty until the block is next drawn after it grew.
        QList<double> keptBelow;
    };
    struct Stroke
    {
        double width;
        QColor color;
        QList<Block> blocks;
    };
    struct Segment
    {
        QPointF from;
        QPointF to;
        double width;
        QColor color;
    };
    static void extend(Block& block, const QPointF& point);
    QList<QPolygonF> runsOf(Stroke& stroke, const MapCamera& camera, int zoom) const;
    bool pictureCovers(const MapCamera& camera) const;
    void makePicture(const MapCamera& camera);
    void drawPending();
    void addPending(const QPointF& from, const QPointF& to, double width, const QColor& color);
    void dropPicture();

    QList<Stroke> m_strokes;
    qsizetype m_lastDrawn = 0;
    QImage m_picture;
    bool m_hasPicture = false;
    QPointF m_pictureOrigin; // world point at the picture's pixel (0, 0)
    double m_pictureZoom = -1;
    QSizeF m_pictureViewport;
    QList<Segment> m_pending;
    int m_renders = 0;
};
