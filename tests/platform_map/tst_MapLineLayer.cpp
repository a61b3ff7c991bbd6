#include "platform/map/MapCamera.h"
#include "platform/map/MapLineLayer.h"
#include "platform/map/MapPolyline.h"
#include "platform/map/MapProjection.h"

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

QTEST_MAIN(tst_MapLineLayer)
#include "tst_MapLineLayer.moc"
