#include "platform/map/MapAnnotationView.h"
#include "platform/map/MapPointAnnotation.h"
#include "platform/map/MapPolyline.h"
#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapProjection.h"
#include "platform/map/MapServices.h"
#include "platform/map/MapTiles.h"
#include "platform/map/MapView.h"
#include "platform/map/MapViewDelegate.h"

#include <QPainter>
#include <QtTest>

namespace {

// A view that records its selection calls.
class RecordingView : public MapAnnotationView
{
public:
    using MapAnnotationView::MapAnnotationView;
    void setSelected(bool selected, bool animated) override
    {
        calls.append(selected);
        MapAnnotationView::setSelected(selected, animated);
    }
    void paintEvent(QPaintEvent*) override
    {
        if (fill.isValid())
            QPainter(this).fillRect(rect(), fill);
    }
    QList<bool> calls;
    QColor fill;
};

// Makes a 20 x 20 view per title, reusing by title, and black 4-point lines.
class Delegate : public MapViewDelegate
{
public:
    MapAnnotationView* viewForAnnotation(MapView* map, const MapAnnotationPtr& a) override
    {
        ++asked;
        if (auto* reused = map->dequeueReusableAnnotationViewWithIdentifier(a->title())) {
            ++reusedCount;
            return reused;
        }
        auto* view = new RecordingView(a, a->title());
        view->setBounds(QSize(20, 20));
        return view;
    }
    std::unique_ptr<MapOverlayRenderer> rendererForOverlay(MapView*,
                                                           const MapOverlayPtr& o) override
    {
        auto line = std::dynamic_pointer_cast<MapPolyline>(o);
        if (!line)
            return nullptr;
        auto renderer = std::make_unique<MapPolylineRenderer>(line);
        renderer->setLineWidth(4.0);
        renderer->setStrokeColor(Qt::black);
        return renderer;
    }
    int asked = 0;
    int reusedCount = 0;
};

const MapCoordinate Hangzhou{30.2741, 120.1551};

MapPointAnnotationPtr mark(const MapCoordinate& at, const QString& title)
{
    return std::make_shared<MapPointAnnotation>(at, title, QStringLiteral("sub"));
}

// A coordinate `dx`, `dy` points from the map's centre.
MapCoordinate offset(const MapView& map, double dx, double dy)
{
    return map.convertPoint(QPointF(map.width() / 2.0 + dx, map.height() / 2.0 + dy));
}

} // namespace

class tst_MapView : public QObject
{
    Q_OBJECT

private slots:
    void projectionRoundTrip_data();
    void projectionRoundTrip();
    void projectionScale();
    void frameKeepsFractions();
    void centringAndZoom();
    void viewsComeFromDelegateAndAreReused();
    void viewsOnlyForAnnotationsInSight();
    void movingAnAnnotationMovesItsView();
    void absentItemsAndDuplicatesChangeNothing();
    void tapSelectsTopmostAndDeselects();
    void viewRetiredWhileSelectedComesBackUnselected();
    void overlaysGetRenderersAndDraw();
    void nullRendererDrawsNothing();
    void snapshotSizeAndContent();
    void gesturesPanAndZoom();
    void tilesFromAnAddressTemplate();
    void scaleBar();
};

void tst_MapView::projectionRoundTrip_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lng");
    QTest::newRow("origin") << 0.0 << 0.0;
    QTest::newRow("hangzhou") << 30.2741 << 120.1551;
    QTest::newRow("south-west") << -33.8688 << -70.6693;
    QTest::newRow("far north") << 84.9 << 179.9;
    QTest::newRow("single precision") << double(30.2741f) << double(120.1551f);
}

void tst_MapView::projectionRoundTrip()
{
    QFETCH(double, lat);
    QFETCH(double, lng);
    const QPointF world = MapProjection::toWorld({lat, lng});
    QVERIFY(world.x() >= 0 && world.x() <= 1 && world.y() >= 0 && world.y() <= 1);
    const MapCoordinate back = MapProjection::fromWorld(world);
    QVERIFY(qAbs(back.latitude - lat) < 1e-9);
    QVERIFY(qAbs(back.longitude - lng) < 1e-9);
}

void tst_MapView::projectionScale()
{
    QCOMPARE(MapProjection::toWorld({0, 0}), QPointF(0.5, 0.5));
    QCOMPARE(MapProjection::toWorld({0, -180}).x(), 0.0);
    // North is up: a higher latitude is nearer the top.
    QVERIFY(MapProjection::toWorld({10, 0}).y() < 0.5);
    QCOMPARE(MapProjection::toWorld({89.9, 0}).y(), MapProjection::toWorld({90, 0}).y());
    QCOMPARE(MapProjection::worldSize(0), 256.0);
    QCOMPARE(MapProjection::worldSize(15), 256.0 * 32768);
    // About 4.78 m a point on the equator at zoom 15, half that at 60 degrees.
    QVERIFY(qAbs(MapProjection::metersPerPoint(0, 15) - 4.777) < 0.01);
    QVERIFY(qAbs(MapProjection::metersPerPoint(60, 15) - 4.777 / 2) < 0.01);
}

void tst_MapView::frameKeepsFractions()
{
    MapView map(QRectF(0, 0, 320, 363.875));
    QCOMPARE(map.frameRect(), QRectF(0, 0, 320, 363.875));
    QCOMPARE(map.geometry(), QRect(0, 0, 320, 364));
}

void tst_MapView::centringAndZoom()
{
    MapView map(QRectF(0, 0, 360, 400));
    QCOMPARE(map.zoomLevel(), MapView::DefaultZoom);
    map.setCenterCoordinate(Hangzhou, true);
    // The centre asked for holds at once; the picture gets there by animation.
    QVERIFY(qAbs(map.centerCoordinate().latitude - Hangzhou.latitude) < 1e-9);
    QVERIFY(qAbs(map.centerCoordinate().longitude - Hangzhou.longitude) < 1e-9);
    map.finishAnimations();
    const QPointF centre = map.convertCoordinate(Hangzhou);
    QVERIFY(qAbs(centre.x() - 180) < 1e-6 && qAbs(centre.y() - 200) < 1e-6);
    map.setZoomLevel(40);
    QCOMPARE(map.zoomLevel(), MapView::MaxZoom);
    map.setZoomLevel(-2);
    QCOMPARE(map.zoomLevel(), MapView::MinZoom);
}

void tst_MapView::viewsComeFromDelegateAndAreReused()
{
    MapView map(QRectF(0, 0, 300, 300));
    Delegate delegate;
    map.setDelegate(&delegate);
    map.setCenterCoordinate(Hangzhou, false);

    auto first = mark(Hangzhou, "a");
    map.addAnnotation(first);
    QCOMPARE(delegate.asked, 1);
    MapAnnotationView* view = map.viewForAnnotation(first);
    QVERIFY(view);
    QCOMPARE(view->parentWidget(), &map);
    // Centred on the annotation's point.
    QCOMPARE(view->geometry(), QRect(140, 140, 20, 20));

    map.removeAnnotation(first);
    QVERIFY(!map.viewForAnnotation(first));
    QVERIFY(view->isHidden());
    QCOMPARE(map.reusableViewCount("a"), 1);

    auto second = mark(offset(map, 30, 0), "a");
    map.addAnnotation(second);
    QCOMPARE(delegate.reusedCount, 1);
    QCOMPARE(map.viewForAnnotation(second), view);
    QVERIFY(!view->isHidden());
    QCOMPARE(map.reusableViewCount(), 0);

    // Another identifier gets a view of its own.
    auto third = mark(Hangzhou, "b");
    map.addAnnotation(third);
    QVERIFY(map.viewForAnnotation(third) != view);
}

void tst_MapView::viewsOnlyForAnnotationsInSight()
{
    MapView map(QRectF(0, 0, 300, 300));
    Delegate delegate;
    map.setDelegate(&delegate);
    map.setCenterCoordinate(Hangzhou, false);
    auto far = mark(offset(map, 1000, 0), "far");
    map.addAnnotation(far);
    QCOMPARE(delegate.asked, 0);
    QVERIFY(!map.viewForAnnotation(far));
    QCOMPARE(map.annotations().size(), 1);

    map.panBy(QPointF(-1000, 0));
    QVERIFY(map.viewForAnnotation(far));
    QCOMPARE(map.viewForAnnotation(far)->geometry(), QRect(140, 140, 20, 20));
    map.panBy(QPointF(1000, 0));
    QVERIFY(!map.viewForAnnotation(far));
    QCOMPARE(map.reusableViewCount("far"), 1);
}

void tst_MapView::movingAnAnnotationMovesItsView()
{
    MapView map(QRectF(0, 0, 300, 300));
    Delegate delegate;
    map.setDelegate(&delegate);
    map.setCenterCoordinate(Hangzhou, false);
    auto moving = mark(Hangzhou, "m");
    map.addAnnotation(moving);
    moving->setCoordinate(offset(map, 50, -20));
    QCOMPARE(map.viewForAnnotation(moving)->geometry(), QRect(190, 120, 20, 20));
    moving->setCoordinate(offset(map, 5000, 0));
    QVERIFY(!map.viewForAnnotation(moving));
    QCOMPARE(delegate.asked, 1);
}

void tst_MapView::absentItemsAndDuplicatesChangeNothing()
{
    MapView map(QRectF(0, 0, 300, 300));
    Delegate delegate;
    map.setDelegate(&delegate);
    map.setCenterCoordinate(Hangzhou, false);
    auto onMap = mark(Hangzhou, "x");
    auto never = mark(Hangzhou, "y");
    map.addAnnotation(onMap);
    map.addAnnotation(onMap);
    QCOMPARE(map.annotations().size(), 1);
    QCOMPARE(delegate.asked, 1);
    map.removeAnnotation(never);
    map.removeAnnotations({never, nullptr});
    map.removeAnnotation(nullptr);
    QCOMPARE(map.annotations(), QList<MapAnnotationPtr>{onMap});
    map.removeAnnotations({onMap, onMap, never});
    QVERIFY(map.annotations().isEmpty());
    QCOMPARE(map.reusableViewCount("x"), 1); // its view went to the queue once
    map.addAnnotation(onMap);
    QCOMPARE(map.annotations().size(), 1);

    const MapCoordinate points[] = {Hangzhou, offset(map, 10, 10)};
    auto line = MapPolyline::polylineWithCoordinates(points, 2);
    auto other = MapPolyline::polylineWithCoordinates(points, 2);
    map.addOverlay(line);
    map.addOverlay(line);
    QCOMPARE(map.overlays().size(), 1);
    map.removeOverlay(other);
    map.removeOverlays({other});
    QCOMPARE(map.overlays().size(), 1);
    map.removeOverlays({line, line});
    QVERIFY(map.overlays().isEmpty());
    map.removeOverlay(line);
    QVERIFY(!map.rendererForOverlay(line));
}

void tst_MapView::tapSelectsTopmostAndDeselects()
{
    MapView map(QRectF(0, 0, 300, 300));
    Delegate delegate;
    map.setDelegate(&delegate);
    map.setCenterCoordinate(Hangzhou, false);
    auto under = mark(Hangzhou, "under");
    auto over = mark(offset(map, 8, 0), "over");
    map.addAnnotations({under, over});
    auto* underView = static_cast<RecordingView*>(map.viewForAnnotation(under));
    auto* overView = static_cast<RecordingView*>(map.viewForAnnotation(over));

    map.tapAt(QPointF(154, 150)); // inside both: the later one lies on top
    QCOMPARE(map.selectedAnnotation(), MapAnnotationPtr(over));
    QCOMPARE(overView->calls, QList<bool>{true});
    QVERIFY(underView->calls.isEmpty());

    map.tapAt(QPointF(154, 150)); // the selected one again: no new call
    QCOMPARE(overView->calls, QList<bool>{true});

    map.tapAt(QPointF(142, 150)); // only the lower one
    QCOMPARE(overView->calls, (QList<bool>{true, false}));
    QCOMPARE(underView->calls, QList<bool>{true});

    map.tapAt(QPointF(20, 20)); // empty map
    QCOMPARE(underView->calls, (QList<bool>{true, false}));
    QVERIFY(!map.selectedAnnotation());
}

void tst_MapView::viewRetiredWhileSelectedComesBackUnselected()
{
    MapView map(QRectF(0, 0, 300, 300));
    Delegate delegate;
    map.setDelegate(&delegate);
    map.setCenterCoordinate(Hangzhou, false);
    auto a = mark(Hangzhou, "a");
    auto b = mark(offset(map, 1000, 0), "b");
    map.addAnnotations({a, b});
    map.selectAnnotation(a, false);
    map.panBy(QPointF(-1000, 0)); // a goes to the reuse queue, b comes into sight
    map.selectAnnotation(b, false);
    map.panBy(QPointF(1000, 0));
    auto* view = static_cast<RecordingView*>(map.viewForAnnotation(a));
    QVERIFY(!view->isSelected());
    map.tapAt(QPointF(150, 150));
    QCOMPARE(map.selectedAnnotation(), MapAnnotationPtr(a));
    QCOMPARE(view->calls.last(), true);
}

void tst_MapView::overlaysGetRenderersAndDraw()
{
    MapView map(QRectF(0, 0, 200, 200));
    map.setShowsScaleBar(false);
    Delegate delegate;
    map.setDelegate(&delegate);
    map.setCenterCoordinate(Hangzhou, false);
    const MapCoordinate points[] = {offset(map, -80, 0), offset(map, 80, 0)};
    auto line = MapPolyline::polylineWithCoordinates(points, 2);
    map.addOverlay(line);
    auto* renderer = dynamic_cast<MapPolylineRenderer*>(map.rendererForOverlay(line));
    QVERIFY(renderer);
    QCOMPARE(renderer->lineWidth(), 4.0);
    QCOMPARE(renderer->strokeColor(), QColor(Qt::black));

    QImage picture = map.takeSnapshotInRect(QRectF(0, 0, 200, 200));
    QCOMPARE(picture.pixelColor(100, 100), QColor(Qt::black));
    QCOMPARE(picture.pixelColor(100, 101), QColor(Qt::black));
    QVERIFY(picture.pixelColor(100, 110) != QColor(Qt::black));
    QVERIFY(picture.pixelColor(190, 100) != QColor(Qt::black)); // past the line's end

    map.removeOverlay(line);
    picture = map.takeSnapshotInRect(QRectF(0, 0, 200, 200));
    QVERIFY(picture.pixelColor(100, 100) != QColor(Qt::black));
}

void tst_MapView::nullRendererDrawsNothing()
{
    MapView map(QRectF(0, 0, 200, 200));
    map.setShowsScaleBar(false);
    map.setCenterCoordinate(Hangzhou, false);
    const QImage before = map.takeSnapshotInRect(QRectF(0, 0, 200, 200));
    const MapCoordinate points[] = {offset(map, -80, 0), offset(map, 80, 0)};
    auto line = MapPolyline::polylineWithCoordinates(points, 2);
    map.addOverlay(line); // no delegate: no renderer
    QCOMPARE(map.overlays().size(), 1);
    QVERIFY(!map.rendererForOverlay(line));
    QCOMPARE(map.takeSnapshotInRect(QRectF(0, 0, 200, 200)), before);
}

void tst_MapView::snapshotSizeAndContent()
{
    MapView map(QRectF(0, 0, 320, 363.875));
    map.setCenterCoordinate(Hangzhou, false);
    const QImage whole = map.takeSnapshotInRect(QRectF(0, 0, 320, 363.875));
    QCOMPARE(whole.size(), QSize(320, 364));
    QCOMPARE(map.takeSnapshotInRect(QRectF(10, 20, 100, 50)).size(), QSize(100, 50));
    QVERIFY(map.takeSnapshotInRect(QRectF(0, 0, 0, 100)).isNull());
    MapView empty(QRectF(0, 0, 0, 0));
    QVERIFY(empty.takeSnapshotInRect(QRectF(0, 0, 10, 10)).isNull());

    // The marks' views are in the picture, hidden (retired) ones are not.
    Delegate delegate;
    map.setDelegate(&delegate);
    auto a = mark(map.convertPoint(QPointF(160, 182)), "a");
    map.addAnnotation(a);
    static_cast<RecordingView*>(map.viewForAnnotation(a))->fill = QColor(255, 0, 255);
    QCOMPARE(map.takeSnapshotInRect(QRectF(0, 0, 320, 363.875)).pixelColor(160, 182),
             QColor(255, 0, 255));
    map.removeAnnotation(a);
    QVERIFY(map.takeSnapshotInRect(QRectF(0, 0, 320, 363.875)).pixelColor(160, 182) !=
            QColor(255, 0, 255));
}

void tst_MapView::gesturesPanAndZoom()
{
    MapView map(QRectF(0, 0, 300, 300));
    map.setCenterCoordinate(Hangzhou, false);
    const MapCoordinate east = offset(map, 40, 0);
    // Dragging the map left by 40 points brings the point 40 points east to the centre.
    map.panBy(QPointF(-40, 0));
    QVERIFY(qAbs(map.centerCoordinate().longitude - east.longitude) < 1e-9);

    // A zoom keeps the point under the fingers where it is.
    const QPointF anchor(60, 250);
    const MapCoordinate under = map.convertPoint(anchor);
    map.zoomBy(1.5, anchor);
    QCOMPARE(map.zoomLevel(), MapView::DefaultZoom + 1.5);
    const QPointF after = map.convertCoordinate(under);
    QVERIFY(qAbs(after.x() - anchor.x()) < 1e-6 && qAbs(after.y() - anchor.y()) < 1e-6);

    // The mouse: a drag pans, a click without moving selects nothing on an empty map.
    const MapCoordinate before = map.centerCoordinate();
    QTest::mousePress(&map, Qt::LeftButton, {}, QPoint(150, 150));
    QTest::mouseMove(&map, QPoint(150, 200));
    QTest::mouseRelease(&map, Qt::LeftButton, {}, QPoint(150, 200));
    QVERIFY(map.centerCoordinate().latitude > before.latitude);
    QVERIFY(qAbs(map.centerCoordinate().longitude - before.longitude) < 1e-9);

    QWheelEvent wheel(QPointF(150, 150), map.mapToGlobal(QPointF(150, 150)), QPoint(),
                      QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    const double zoom = map.zoomLevel();
    QApplication::sendEvent(&map, &wheel);
    QCOMPARE(map.zoomLevel(), zoom + 1.0);
}

void tst_MapView::tilesFromAnAddressTemplate()
{
    QCOMPARE(MapTiles::tileAddress("http://t/{z}/{x}/{y}.png", 15, 27325, 13390),
             QString("http://t/15/27325/13390.png"));
    MapServices services;
    QCOMPARE(MapServices::shared(), &services);
    services.setTileUrlTemplate("http://t/{z}/{x}/{y}.png");
    QStringList asked;
    QList<std::function<void(const QImage&)>> pending;
    services.setTileLoader([&](const QString& address, std::function<void(const QImage&)> done) {
        asked.append(address);
        pending.append(std::move(done));
    });
    MapView map(QRectF(0, 0, 200, 200));
    map.setShowsScaleBar(false);
    map.setCenterCoordinate(Hangzhou, false);
    // Until the pictures come, the drawn map stands in.
    const QImage drawn = map.takeSnapshotInRect(QRectF(0, 0, 200, 200));
    QVERIFY(drawn.pixelColor(100, 100) != QColor(255, 0, 255));
    QVERIFY(!asked.isEmpty());
    QVERIFY(asked.first().startsWith("http://t/15/"));
    QImage magenta(256, 256, QImage::Format_RGB32);
    magenta.fill(QColor(255, 0, 255));
    const int tiles = int(pending.size());
    for (int i = 0; i < tiles; ++i)
        pending[i](i == 0 ? QImage() : magenta); // the first one fails
    pending.clear();
    const QImage loaded = map.takeSnapshotInRect(QRectF(0, 0, 200, 200));
    int magentaTiles = 0;
    for (const QPoint& p : {QPoint(2, 2), QPoint(197, 2), QPoint(2, 197), QPoint(197, 197)})
        magentaTiles += loaded.pixelColor(p) == QColor(255, 0, 255) ? 1 : 0;
    QVERIFY(magentaTiles >= 1);
    // A tile that failed is not asked for again.
    map.update();
    map.takeSnapshotInRect(QRectF(0, 0, 200, 200));
    QCOMPARE(asked.count(asked.first()), 1);
}

void tst_MapView::scaleBar()
{
    MapView map(QRectF(0, 0, 300, 300));
    map.setCenterCoordinate({0, 0}, false);
    // 4.78 m a point at zoom 15 on the equator: 200 m is the longest step under 90 points.
    auto [metres, points] = map.scaleBarLength();
    QCOMPARE(metres, 200);
    QVERIFY(qAbs(points - 200 / 4.777) < 0.1);
    map.setZoomLevel(10);
    std::tie(metres, points) = map.scaleBarLength();
    QCOMPARE(metres, 10000);
    QVERIFY(points <= 90);
}

QTEST_MAIN(tst_MapView)
#include "tst_MapView.moc"
