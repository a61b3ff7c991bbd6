#include "platform/map/MapCamera.h"
#include "platform/map/MapLineLayer.h"
#include "platform/map/MapPolyline.h"
#include "platform/map/MapProjection.h"
#include "platform/map/MapStrokeRaster.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

MapPolyline lineThrough(const QList<QPointF>& world)
{
    QList<MapCoordinate> coordinates;
    for (const QPointF& p : world)
        coordinates.append(MapProjection::fromWorld(p));
    return MapPolyline(coordinates);
}

// World points of a zigzag walk from `start`, `count` steps of `step` world units.
QList<QPointF> walk(const QPointF& start, int count, double step)
{
    QList<QPointF> points;
    for (int i = 0; i < count; ++i)
        points.append(start + QPointF(i * step, (i % 2) * step * 0.01));
    return points;
}

} // namespace

class tst_MapLineLayer : public QObject
{
    Q_OBJECT

private slots:
    void joinsPiecesThatMeetIntoOneStroke();
    void simplifyKeepsEndsAndShape();
    void longTrackDrawsOnlyWhatIsInSight();
    void drawsWhereTheLineIs();
    void keptPictureIsReused();
    void rasterStrokeHasTheLineWidth();
};

void tst_MapLineLayer::joinsPiecesThatMeetIntoOneStroke()
{
    MapLineLayer layer;
    const QPointF a(0.5, 0.5), b(0.5001, 0.5), c(0.5002, 0.5001), d(0.6, 0.6);
    layer.append(lineThrough({a, a, b}), 4, Qt::black);
    layer.append(lineThrough({b, c}), 4, Qt::black); // continues from b
    QCOMPARE(layer.strokeCount(), 1);
    QCOMPARE(layer.pointCount(), 4);
    layer.append(lineThrough({d, a}), 4, Qt::black); // does not start where the last ended
    QCOMPARE(layer.strokeCount(), 2);
    layer.append(lineThrough({a, b}), 2, Qt::black); // another style
    layer.append(lineThrough({b, c}), 2, Qt::red);
    QCOMPARE(layer.strokeCount(), 4);
    layer.clear();
    QCOMPARE(layer.strokeCount(), 0);
    QCOMPARE(layer.pointCount(), 0);
}

void tst_MapLineLayer::simplifyKeepsEndsAndShape()
{
    // A straight run with one corner: only the ends and the corner stay.
    QList<QPointF> points;
    for (int i = 0; i <= 10; ++i)
        points.append(QPointF(i, 0));
    for (int i = 1; i <= 10; ++i)
        points.append(QPointF(10, i));
    const QList<QPointF> kept = MapLineLayer::simplify(points, 0.1);
    QCOMPARE(kept, (QList<QPointF>{{0, 0}, {10, 0}, {10, 10}}));
    // Wiggles under the tolerance go, larger ones stay.
    const QList<QPointF> wiggle{{0, 0}, {1, 0.05}, {2, 0}, {3, 0.5}, {4, 0}};
    QCOMPARE(MapLineLayer::simplify(wiggle, 0.1),
             (QList<QPointF>{{0, 0}, {2, 0}, {3, 0.5}, {4, 0}}));
    QCOMPARE(MapLineLayer::simplify({{1, 1}, {2, 2}}, 5).size(), 2);
}

void tst_MapLineLayer::longTrackDrawsOnlyWhatIsInSight()
{
    MapLineLayer layer;
    const double zoom = 16;
    const double point = 1 / MapProjection::worldSize(zoom); // one screen point
    // 100,000 points, 3 screen points apart: 300,000 points long, the view 360 wide.
    const QList<QPointF> track = walk(QPointF(0.3, 0.4), 100000, 3 * point);
    for (int i = 0; i + 1 < track.size(); i += 100)
        layer.append(lineThrough(track.mid(i, 101)), 4, Qt::black);
    QCOMPARE(layer.strokeCount(), 1);
    QCOMPARE(layer.pointCount(), 100000);

    QImage image(360, 640, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const MapCamera camera(track.at(50000), zoom, QSizeF(360, 640));
    layer.draw(painter, camera);
    QVERIFY(layer.lastDrawnPoints() > 0);
    // Only the blocks near the view are drawn: a few blocks' worth, not the track.
    QVERIFY2(layer.lastDrawnPoints() <= 4 * MapLineLayer::BlockSize,
             qPrintable(QString::number(layer.lastDrawnPoints())));

    // Zoomed far out the whole track is in sight, and simplification keeps it small.
    const MapCamera wide(track.at(50000), 8, QSizeF(360, 640));
    layer.draw(painter, wide);
    QVERIFY(layer.lastDrawnPoints() > 0);
    QVERIFY2(layer.lastDrawnPoints() < 2000, qPrintable(QString::number(layer.lastDrawnPoints())));
}

void tst_MapLineLayer::drawsWhereTheLineIs()
{
    MapLineLayer layer;
    const double zoom = 15;
    const double point = 1 / MapProjection::worldSize(zoom);
    const QPointF centre(0.7, 0.4);
    layer.append(lineThrough({centre - QPointF(50 * point, 0), centre}), 4, Qt::black);
    layer.append(lineThrough({centre, centre + QPointF(0, 50 * point)}), 4, Qt::black);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    layer.draw(painter, MapCamera(centre, zoom, QSizeF(100, 100)));
    painter.end();
    QCOMPARE(image.pixelColor(25, 50), QColor(Qt::black)); // along the first piece
    QCOMPARE(image.pixelColor(50, 75), QColor(Qt::black)); // along the second
    QCOMPARE(image.pixelColor(75, 50), QColor(Qt::white));
    QCOMPARE(image.pixelColor(50, 25), QColor(Qt::white));
}

void tst_MapLineLayer::keptPictureIsReused()
{
    MapLineLayer layer;
    const double zoom = 15;
    const double point = 1 / MapProjection::worldSize(zoom);
    const QPointF centre(0.7, 0.4);
    layer.append(lineThrough({centre - QPointF(50 * point, 0), centre}), 4, Qt::black);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    auto draw = [&](const QPointF& at, double z) {
        image.fill(Qt::white);
        QPainter painter(&image);
        layer.draw(painter, MapCamera(at, z, QSizeF(100, 100)));
    };
    draw(centre, zoom);
    QCOMPARE(layer.renderCount(), 1);
    draw(centre, zoom);
    draw(centre + QPointF(20 * point, -10 * point), zoom); // within the spare quarter
    QCOMPARE(layer.renderCount(), 1);
    QCOMPARE(image.pixelColor(20, 60), QColor(Qt::black)); // the line moved with the view
    QCOMPARE(image.pixelColor(20, 50), QColor(Qt::white));

    // A segment added later is drawn onto the kept picture.
    layer.append(lineThrough({centre, centre + QPointF(0, 40 * point)}), 4, Qt::black);
    draw(centre, zoom);
    QCOMPARE(layer.renderCount(), 1);
    QCOMPARE(image.pixelColor(50, 80), QColor(Qt::black));

    draw(centre + QPointF(60 * point, 0), zoom); // beyond the spare quarter
    QCOMPARE(layer.renderCount(), 2);
    draw(centre, zoom + 0.5); // another zoom
    QCOMPARE(layer.renderCount(), 3);
    QCOMPARE(image.pixelColor(50, 50 + 30), QColor(Qt::black)); // 20 points down x 1.41
    layer.clear();
    draw(centre, zoom + 0.5);
    QCOMPARE(image.pixelColor(50, 80), QColor(Qt::white));
}

void tst_MapLineLayer::rasterStrokeHasTheLineWidth()
{
    const QList<QPolygonF> lines{QPolygonF{QPointF(10, 20), QPointF(90, 20)},
                                 QPolygonF{QPointF(50, 40), QPointF(50, 90)}};
    const QImage black = MapStrokeRaster::paint(lines, QSize(100, 100), 4, Qt::black);
    QCOMPARE(black.size(), QSize(100, 100));
    // Full inside the width, soft at its edge, clear beyond it: four points in all.
    for (int y : {19, 20, 21})
        QCOMPARE(black.pixelColor(30, y), QColor(Qt::black));
    for (int y : {18, 22}) {
        const int alpha = black.pixelColor(30, y).alpha();
        QVERIFY2(alpha > 64 && alpha < 192, qPrintable(QString::number(alpha)));
    }
    QCOMPARE(black.pixelColor(30, 17).alpha(), 0);
    QCOMPARE(black.pixelColor(30, 23).alpha(), 0);
    QCOMPARE(black.pixelColor(51, 70), QColor(Qt::black));
    QCOMPARE(black.pixelColor(53, 70).alpha(), 0);
    // Round ends: covered half the width past the end, clear beyond.
    QCOMPARE(black.pixelColor(50, 91).alpha(), 255);
    QCOMPARE(black.pixelColor(50, 93).alpha(), 0);

    const QImage red = MapStrokeRaster::paint(lines, QSize(100, 100), 8, QColor(255, 0, 0, 128));
    QCOMPARE(red.pixelColor(30, 23).red(), 255);
    QVERIFY(qAbs(red.pixelColor(30, 23).alpha() - 128) <= 1);
    QCOMPARE(red.pixelColor(30, 23).green(), 0);
}

QTEST_MAIN(tst_MapLineLayer)
#include "tst_MapLineLayer.moc"
