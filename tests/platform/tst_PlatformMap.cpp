#include "platform/map/MapAnnotationLayer.h"
#include "platform/map/MapAnnotationView.h"
#include "platform/map/MapCamera.h"
#include "platform/map/MapLineLayer.h"
#include "platform/map/MapPointAnnotation.h"
#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapProjection.h"
#include "platform/map/MapServices.h"
#include "platform/map/MapStrokeRaster.h"
#include "platform/map/MapTiles.h"
#include "platform/map/MapView.h"
#include "platform/map/MapViewDelegate.h"
#include "platform/map/TileSource.h"

#include <QBuffer>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

// Records its selection calls; paints itself in `fill`.
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

// A 20 x 20 view per title, reused by title, and one renderer for black 4-point lines.
class Delegate : public MapViewDelegate
{
public:
    MapAnnotationView* viewForAnnotation(MapView* map, const MapAnnotationPtr& a) override
    {
        ++asked;
        if (auto* view = map->dequeueReusableAnnotationViewWithIdentifier(a->title())) {
            ++reused;
            return view;
        }
        auto* view = new RecordingView(a, a->title());
        view->setBounds(QSize(20, 20));
        return view;
    }
    MapOverlayRendererPtr rendererForOverlay(MapView*, const MapOverlay&) override
    {
        if (!line) {
            line = std::make_shared<MapPolylineRenderer>();
            line->setLineWidth(4.0);
            line->setStrokeColor(Qt::black);
        }
        return line;
    }
    MapOverlayRendererPtr line;
    int asked = 0, reused = 0;
};

const MapCoordinate Hangzhou{30.2741, 120.1551};

MapPointAnnotationPtr mark(const MapCoordinate& at, const QString& title)
{
    return std::make_shared<MapPointAnnotation>(at, title, QStringLiteral("sub"));
}

// The coordinate `dx`, `dy` points from the map's centre.
MapCoordinate offset(const MapView& map, double dx, double dy)
{
    return map.convertPoint(QPointF(map.width() / 2.0 + dx, map.height() / 2.0 + dy));
}

MapPolyline lineThrough(const QList<QPointF>& world)
{
    QList<MapCoordinate> coordinates;
    for (const QPointF& p : world)
        coordinates.append(MapProjection::fromWorld(p));
    return MapPolyline(coordinates);
}

// A map of `side` points square over Hangzhou, with the delegate.
struct Map
{
    explicit Map(double side = 300) : view(QRectF(0, 0, side, side))
    {
        view.setShowsScaleBar(false);
        view.setDelegate(&delegate);
        view.setCenterCoordinate(Hangzhou, false);
    }
    QImage snapshot() { return view.takeSnapshotInRect(QRectF(0, 0, view.width(), view.height())); }
    RecordingView* viewFor(const MapAnnotationPtr& a)
    {
        return static_cast<RecordingView*>(view.viewForAnnotation(a));
    }
    Delegate delegate;
    MapView view;
};

// A tile server that holds each request until the test answers it.
struct HeldTileServer : QTcpServer
{
    HeldTileServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, [this, socket] { read(socket); });
        });
    }
    void read(QTcpSocket* socket)
    {
        QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (!head.endsWith("\r\n\r\n"))
            return;
        held.append(socket);
        paths.append(head.split(' ').value(1));
        for (const QByteArray& line : head.split('\n'))
            agents += line.toLower().startsWith("user-agent:") ? line.mid(11).trimmed() : "";
        most = qMax(most, int(held.size()));
    }
    void answer(const QByteArray& status, const QByteArray& body)
    {
        QTcpSocket* socket = held.takeFirst();
        socket->write("HTTP/1.1 " + status + "\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
    QList<QTcpSocket*> held;
    QList<QByteArray> paths;
    QByteArray agents;
    int most = 0;
};

} // namespace

// The map stand-in: projection, annotation views and their reuse, selection, overlays and the
// line layer the ride's track is drawn with.
class tst_PlatformMap : public QObject
{
    Q_OBJECT

private slots:
    void projectionRoundTrip();
    void cameraCentresZoomsAndPans();
    void annotationViewsComeInSightAndAreReused();
    void duplicatesAndAbsentItemsChangeNothing();
    void tapSelectsTheTopmostAndDeselects();
    void overlaysAndMarksAreInTheSnapshot();
    void tilesFromAnAddressTemplate();
    void lineLayerJoinsAndSimplifies();
    void longTrackDrawsOnlyWhatIsInSight();
    void keptPictureFollowsTheViewAndNewSegments();
    void rasterStrokeHasTheLineWidth();
};

void tst_PlatformMap::projectionRoundTrip()
{
    for (const MapCoordinate& at : {Hangzhou, MapCoordinate{-33.8688, -70.6693}, {84.9, 179.9}}) {
        const QPointF world = MapProjection::toWorld(at);
        QVERIFY(world.x() >= 0 && world.x() <= 1 && world.y() >= 0 && world.y() <= 1);
        QVERIFY(MapProjection::toWorld({at.latitude + 1, at.longitude}).y() < world.y());
        const MapCoordinate back = MapProjection::fromWorld(world);
        QVERIFY(qAbs(back.latitude - at.latitude) + qAbs(back.longitude - at.longitude) < 1e-9);
    }
    // About 4.78 m a point on the equator at zoom 15, half that at 60 degrees; the scale bar
    // shows the longest round length under 90 points.
    QVERIFY(qAbs(MapProjection::metersPerPoint(0, 15) - 4.777) < 0.01);
    QVERIFY(qAbs(MapProjection::metersPerPoint(60, 15) - 4.777 / 2) < 0.01);
    MapView map(QRectF(0, 0, 300, 300));
    map.setCenterCoordinate({0, 0}, false);
    QCOMPARE(map.scaleBarLength().first, 200);
    map.setZoomLevel(10);
    QCOMPARE(map.scaleBarLength().first, 10000);
}

void tst_PlatformMap::cameraCentresZoomsAndPans()
{
    MapView map(QRectF(0, 0, 360, 363.875));
    QCOMPARE(map.geometry(), QRect(0, 0, 360, 364));
    map.setCenterCoordinate(Hangzhou, true);
    // The centre asked for holds at once; the picture gets there by animation.
    QVERIFY(qAbs(map.centerCoordinate().latitude - Hangzhou.latitude) < 1e-9);
    map.finishAnimations();
    QVERIFY(QLineF(map.convertCoordinate(Hangzhou), QPointF(180, 182)).length() < 1e-6);
    map.setZoomLevel(40);
    QCOMPARE(map.zoomLevel(), MapView::MaxZoom);
    map.setZoomLevel(-2);
    QCOMPARE(map.zoomLevel(), MapView::MinZoom);
    map.setZoomLevel(MapView::DefaultZoom);

    const MapCoordinate east = offset(map, 40, 0);
    map.panBy(QPointF(-40, 0)); // dragging left brings what lay east to the centre
    QVERIFY(qAbs(map.centerCoordinate().longitude - east.longitude) < 1e-9);
    // A zoom keeps the point under the fingers where it is.
    const QPointF anchor(60, 250);
    const MapCoordinate under = map.convertPoint(anchor);
    map.zoomBy(1.5, anchor);
    QCOMPARE(map.zoomLevel(), MapView::DefaultZoom + 1.5);
    QVERIFY(QLineF(map.convertCoordinate(under), anchor).length() < 1e-6);

    const MapCoordinate before = map.centerCoordinate();
    QTest::mousePress(&map, Qt::LeftButton, {}, QPoint(150, 150));
    QTest::mouseMove(&map, QPoint(150, 200));
    QTest::mouseRelease(&map, Qt::LeftButton, {}, QPoint(150, 200));
    QVERIFY(map.centerCoordinate().latitude > before.latitude);
    QWheelEvent wheel(QPointF(150, 150), map.mapToGlobal(QPointF(150, 150)), QPoint(),
                      QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&map, &wheel);
    QCOMPARE(map.zoomLevel(), MapView::DefaultZoom + 2.5);
}

void tst_PlatformMap::annotationViewsComeInSightAndAreReused()
{
    Map m;
    auto first = mark(Hangzhou, "a");
    m.view.addAnnotation(first);
    MapAnnotationView* view = m.view.viewForAnnotation(first);
    QVERIFY(view);
    QCOMPARE(view->geometry(), QRect(140, 140, 20, 20)); // centred on its point
    m.view.removeAnnotation(first);
    QVERIFY(view->isHidden());
    QCOMPARE(m.view.reusableViewCount("a"), 1);
    auto second = mark(offset(m.view, 30, 0), "a");
    m.view.addAnnotation(second);
    QCOMPARE(m.view.viewForAnnotation(second), view);
    QCOMPARE(m.delegate.reused, 1);
    QVERIFY(!view->isHidden());
    auto other = mark(Hangzhou, "b");
    m.view.addAnnotation(other);
    QVERIFY(m.view.viewForAnnotation(other) != view);

    // Out of sight: no view until the map is panned to it.
    auto far = mark(offset(m.view, 1000, 0), "far");
    m.view.addAnnotation(far);
    QCOMPARE(m.delegate.asked, 3);
    QVERIFY(!m.view.viewForAnnotation(far));
    m.view.panBy(QPointF(-1000, 0));
    QCOMPARE(m.view.viewForAnnotation(far)->geometry(), QRect(140, 140, 20, 20));
    m.view.panBy(QPointF(1000, 0));
    QVERIFY(!m.view.viewForAnnotation(far));
    QCOMPARE(m.view.reusableViewCount("far"), 1);

    // A moving annotation moves its view, and out of sight gives it up.
    second->setCoordinate(offset(m.view, 50, -20));
    QCOMPARE(m.view.viewForAnnotation(second)->geometry(), QRect(190, 120, 20, 20));
    second->setCoordinate(offset(m.view, 5000, 0));
    QVERIFY(!m.view.viewForAnnotation(second));
}

void tst_PlatformMap::duplicatesAndAbsentItemsChangeNothing()
{
    Map m;
    auto onMap = mark(Hangzhou, "x");
    auto never = mark(Hangzhou, "y");
    m.view.addAnnotation(onMap);
    m.view.addAnnotation(onMap);
    QCOMPARE(m.delegate.asked, 1);
    m.view.removeAnnotations({never, nullptr});
    QCOMPARE(m.view.annotations(), QList<MapAnnotationPtr>{onMap});
    m.view.removeAnnotations({onMap, onMap});
    QVERIFY(m.view.annotations().isEmpty());
    QCOMPARE(m.view.reusableViewCount("x"), 1);

    const MapCoordinate points[] = {Hangzhou, offset(m.view, 10, 10)};
    auto line = MapPolyline::polylineWithCoordinates(points, 2);
    m.view.addOverlay(line);
    m.view.addOverlay(line);
    m.view.removeOverlay(MapPolyline::polylineWithCoordinates(points, 2));
    QCOMPARE(m.view.overlays().size(), 1);
    m.view.removeOverlays({line, line});
    QVERIFY(m.view.overlays().isEmpty());
    QVERIFY(!m.view.rendererForOverlay(line));

    // A piece that starts where the one before ended shares that point; a piece taken out
    // of the middle leaves the others in order, and comes back last.
    MapPolylineList list;
    const MapCoordinate far = offset(m.view, 50, 0);
    const MapCoordinate path[] = {Hangzhou, points[1], points[1], far, Hangzhou};
    const MapPolyline a = list.append(path, 2), b = list.append(path + 2, 2);
    const MapPolyline c = list.append(path + 4, 1), none = list.append(path, 0);
    QCOMPARE((QList<qsizetype>{a.pointCount(), b.pointCount(), c.pointCount(), none.pointCount()}),
             (QList<qsizetype>{2, 2, 1, 0}));
    QCOMPARE(b.coordinates(), (QList<MapCoordinate>{points[1], far}));
    QCOMPARE(c.coordinate(0), Hangzhou);
    m.view.addOverlays(list);
    m.view.addOverlay(line);
    m.view.removeOverlay(b);
    QCOMPARE(m.view.overlays(), (QList<MapOverlay>{a, c, none, line}));
    QVERIFY(!m.view.rendererForOverlay(b) && m.view.rendererForOverlay(c));
    m.view.addOverlay(b);
    QCOMPARE(m.view.overlays(), (QList<MapOverlay>{a, c, none, line, b}));
}

void tst_PlatformMap::tapSelectsTheTopmostAndDeselects()
{
    Map m;
    auto under = mark(Hangzhou, "under");
    auto over = mark(offset(m.view, 8, 0), "over");
    auto far = mark(offset(m.view, 1000, 0), "far");
    m.view.addAnnotations({under, over, far});
    m.view.tapAt(QPointF(154, 150)); // inside both: the later one lies on top
    QCOMPARE(m.view.selectedAnnotation(), MapAnnotationPtr(over));
    m.view.tapAt(QPointF(154, 150)); // the selected one again: no new call
    QCOMPARE(m.viewFor(over)->calls, QList<bool>{true});
    m.view.tapAt(QPointF(142, 150)); // only the lower one
    QCOMPARE(m.viewFor(over)->calls, (QList<bool>{true, false}));
    m.view.tapAt(QPointF(20, 20)); // empty map
    QCOMPARE(m.viewFor(under)->calls, (QList<bool>{true, false}));
    QVERIFY(!m.view.selectedAnnotation());

    // A view retired while selected comes back unselected.
    m.view.selectAnnotation(under, false);
    m.view.panBy(QPointF(-1000, 0));
    m.view.selectAnnotation(far, false);
    m.view.panBy(QPointF(1000, 0));
    QVERIFY(!m.viewFor(under)->isSelected());
    m.view.tapAt(QPointF(142, 150));
    QCOMPARE(m.view.selectedAnnotation(), MapAnnotationPtr(under));
}

void tst_PlatformMap::overlaysAndMarksAreInTheSnapshot()
{
    Map m(200);
    const QImage empty = m.snapshot();
    const MapCoordinate points[] = {offset(m.view, -80, 0), offset(m.view, 80, 0)};
    auto line = MapPolyline::polylineWithCoordinates(points, 2);
    m.view.addOverlay(line);
    QImage picture = m.snapshot();
    QCOMPARE(picture.pixelColor(100, 101), QColor(Qt::black));
    QVERIFY(picture.pixelColor(100, 110) != QColor(Qt::black));
    QVERIFY(picture.pixelColor(190, 100) != QColor(Qt::black)); // past the line's end
    m.view.removeOverlay(line);
    QCOMPARE(m.snapshot(), empty);

    auto a = mark(offset(m.view, 30, 30), "a");
    m.view.addAnnotation(a);
    m.viewFor(a)->fill = QColor(255, 0, 255);
    QCOMPARE(m.snapshot().pixelColor(130, 130), QColor(255, 0, 255));
    m.view.removeAnnotation(a); // a retired view is not drawn
    QCOMPARE(m.snapshot(), empty);

    // Picture marks stand on their offset, the later above, from the first shown on. A long
    // stack at one spot looks as if every copy were drawn.
    auto layer = std::make_shared<MapAnnotationLayer>([](const QString& colour) {
        QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(colour));
        return MapAnnotationLayer::Picture{image, QPointF(0, -5)};
    });
    for (const char* colour : {"#ff0000", "#0000ff"})
        layer->append(offset(m.view, -30, 0), colour);
    m.view.addAnnotationLayer(layer);
    QCOMPARE(m.snapshot().pixelColor(70, 90), QColor(0, 0, 255));
    QCOMPARE(m.view.markCount(), 2);
    m.view.removeAnnotationLayer(layer);
    QCOMPARE(m.snapshot(), empty);
    QImage stacked = empty;
    QPainter painter(&stacked);
    for (int i = 0; i < 400; ++i) {
        layer->append(offset(m.view, -30, 0), "#03ff0000");
        painter.drawImage(QPoint(65, 90), layer->image(2));
    }
    painter.end();
    m.view.addAnnotationLayer(layer, 2);
    QCOMPARE(m.snapshot(), stacked);
    m.view.removeAnnotationLayer(layer);
    QCOMPARE(m.view.takeSnapshotInRect(QRectF(10, 20, 100, 50)).size(), QSize(100, 50));
    QVERIFY(m.view.takeSnapshotInRect(QRectF(0, 0, 0, 100)).isNull());

    MapView bare(QRectF(0, 0, 200, 200)); // no delegate: no renderer, nothing drawn
    bare.setShowsScaleBar(false);
    bare.setCenterCoordinate(Hangzhou, false);
    bare.addOverlay(line);
    QVERIFY(!bare.rendererForOverlay(line));
    QCOMPARE(bare.takeSnapshotInRect(QRectF(0, 0, 200, 200)), empty);
}

// Tiles come over HTTP two at a time, go to the disk cache, and a failed one is drawn
// instead and not asked for again, by this source or after a restart from the cache.
void tst_PlatformMap::tilesFromAnAddressTemplate()
{
    QCOMPARE(MapTiles::tileAddress("http://t/{z}/{x}/{y}.png", 15, 27325, 13390),
             QString("http://t/15/27325/13390.png"));
    HeldTileServer server;
    const QString address = QString("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server.serverPort());
    QTemporaryDir cache;
    MapServices services;
    auto source = std::make_unique<TileSource>(cache.path(), "Lvxing/9.9 (test)");
    source->serve(services, address, "© Test Tiles");
    const QColor magenta(255, 0, 255);
    QImage tile(256, 256, QImage::Format_RGB32);
    tile.fill(magenta);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    tile.save(&buffer, "PNG");
    auto magentaPoints = [&](Map& m) {
        const QImage shot = m.snapshot();
        int count = 0;
        for (int x = 0; x < 300; x += 10)
            for (int y = 0; y < 280; y += 10)
                count += shot.pixelColor(x, y) == magenta ? 1 : 0;
        return count;
    };
    int loaded = 0;
    {
        Map m(300);
        QCOMPARE(magentaPoints(m), 0); // the drawn map stands in at first
        const int wanted = source->pending();
        QVERIFY(wanted > 2);
        QCOMPARE(source->downloadsStarted(), 2);
        for (int answered = 0; source->pending() > 0;) {
            QTRY_VERIFY_WITH_TIMEOUT(!server.held.isEmpty() || source->pending() == 0, 20000);
            if (!server.held.isEmpty())
                server.answer(answered++ == 0 ? "500 Broken" : "200 OK", png);
        }
        QCOMPARE(server.most, 2);
        QCOMPARE(server.agents, QByteArray(wanted, ' ').replace(' ', "Lvxing/9.9 (test)"));
        loaded = magentaPoints(m);
        QVERIFY(loaded > 0 && loaded < 30 * 28);
        const QImage shot = m.snapshot(); // the credit's dark text in the lower right
        int dark = 0;
        for (int x = 240; x < 300; ++x)
            dark += shot.pixelColor(x, 294).red() < 120 ? 1 : 0;
        QVERIFY(dark > 0);
    }
    Map again(300);
    QCOMPARE(magentaPoints(again), loaded); // from the disk, and the failed tile not retried
    QCOMPARE(source->downloadsStarted(), server.paths.size());
    source.reset();
    MapServices restarted;
    TileSource second(cache.path(), "Lvxing/9.9 (test)");
    second.serve(restarted, address, "© Test Tiles");
    Map later(300);
    QCOMPARE(magentaPoints(later), loaded);
    QCOMPARE(second.downloadsStarted(), 1); // only the tile that never came
    const qsizetype asked = server.paths.size();
    QTRY_COMPARE_WITH_TIMEOUT(server.paths.size(), asked + 1, 20000);
    QCOMPARE(server.paths.last(), server.paths.first());
}

void tst_PlatformMap::lineLayerJoinsAndSimplifies()
{
    MapLineLayer layer;
    const QPointF a(0.5, 0.5), b(0.5001, 0.5), c(0.5002, 0.5001), d(0.6, 0.6);
    layer.append(lineThrough({a, a, b}), 4, Qt::black);
    layer.append(lineThrough({b, c}), 4, Qt::black); // continues from b
    QCOMPARE(layer.strokeCount(), 1);
    QCOMPARE(layer.pointCount(), 4);
    layer.append(lineThrough({d, a}), 4, Qt::black); // starts elsewhere
    layer.append(lineThrough({a, b}), 2, Qt::black); // another width
    layer.append(lineThrough({b, c}), 2, Qt::red);   // another colour
    QCOMPARE(layer.strokeCount(), 4);
    layer.clear();
    QCOMPARE(layer.pointCount(), 0);

    // Ends and corners stay; wiggles under the tolerance go, larger ones stay.
    QList<QPointF> corner;
    for (int i = 0; i <= 20; ++i)
        corner.append(i <= 10 ? QPointF(i, 0) : QPointF(10, i - 10));
    QCOMPARE(MapLineLayer::simplify(corner, 0.1), (QList<QPointF>{{0, 0}, {10, 0}, {10, 10}}));
    QCOMPARE(MapLineLayer::simplify({{0, 0}, {1, 0.05}, {2, 0}, {3, 0.5}, {4, 0}}, 0.1),
             (QList<QPointF>{{0, 0}, {2, 0}, {3, 0.5}, {4, 0}}));
    QCOMPARE(MapLineLayer::simplify({{1, 1}, {2, 2}}, 5).size(), 2);
}

void tst_PlatformMap::longTrackDrawsOnlyWhatIsInSight()
{
    MapLineLayer layer;
    const double point = 1 / MapProjection::worldSize(16); // one screen point at zoom 16
    // 100,000 points, 3 screen points apart, in pieces of 100 as the track arrives.
    QList<QPointF> track;
    for (int i = 0; i < 100000; ++i)
        track.append(QPointF(0.3, 0.4) + QPointF(i * 3 * point, (i % 2) * 0.03 * point));
    for (int i = 0; i + 1 < track.size(); i += 100)
        layer.append(lineThrough(track.mid(i, 101)), 4, Qt::black);
    QCOMPARE(layer.strokeCount(), 1);
    QCOMPARE(layer.pointCount(), 100000);
    QImage image(360, 640, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    layer.draw(painter, MapCamera(track.at(50000), 16, QSizeF(360, 640)));
    QVERIFY(layer.lastDrawnPoints() > 0);
    QVERIFY(layer.lastDrawnPoints() <= 4 * MapLineLayer::BlockSize);
    // Zoomed far out all of it is in sight, and simplification keeps it small.
    layer.draw(painter, MapCamera(track.at(50000), 8, QSizeF(360, 640)));
    QVERIFY(layer.lastDrawnPoints() > 0 && layer.lastDrawnPoints() < 2000);
}

void tst_PlatformMap::keptPictureFollowsTheViewAndNewSegments()
{
    MapLineLayer layer;
    const double zoom = 15;
    const double point = 1 / MapProjection::worldSize(zoom);
    const QPointF centre(0.7, 0.4);
    layer.append(lineThrough({centre - QPointF(50 * point, 0), centre}), 4, Qt::black);
    layer.append(lineThrough({centre, centre + QPointF(0, 20 * point)}), 4, Qt::black);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    auto draw = [&](const QPointF& at, double z) {
        image.fill(Qt::white);
        QPainter painter(&image);
        layer.draw(painter, MapCamera(at, z, QSizeF(100, 100)));
    };
    draw(centre, zoom);
    QCOMPARE(image.pixelColor(25, 50), QColor(Qt::black)); // along the first piece
    QCOMPARE(image.pixelColor(50, 65), QColor(Qt::black)); // along the second
    QCOMPARE(image.pixelColor(75, 50), QColor(Qt::white));
    QCOMPARE(image.pixelColor(50, 25), QColor(Qt::white));
    draw(centre + QPointF(20 * point, -10 * point), zoom); // within the spare quarter
    QCOMPARE(layer.renderCount(), 1);
    QCOMPARE(image.pixelColor(20, 60), QColor(Qt::black)); // the line moved with the view
    QCOMPARE(image.pixelColor(20, 50), QColor(Qt::white));

    // A segment added later is drawn onto the kept picture.
    layer.append(lineThrough({centre + QPointF(0, 20 * point), centre + QPointF(0, 40 * point)}), 4,
                 Qt::black);
    draw(centre, zoom);
    QCOMPARE(layer.renderCount(), 1);
    QCOMPARE(image.pixelColor(50, 80), QColor(Qt::black));
    draw(centre + QPointF(60 * point, 0), zoom); // beyond the spare quarter
    draw(centre, zoom);
    QCOMPARE(layer.renderCount(), 3);
    draw(centre, zoom + 0.1); // another zoom, the picture still large enough
    QCOMPARE(layer.renderCount(), 4);
    layer.clear();
    draw(centre, zoom + 0.1);
    QCOMPARE(image.pixelColor(50, 80), QColor(Qt::white));
}

void tst_PlatformMap::rasterStrokeHasTheLineWidth()
{
    const QList<QPolygonF> lines{QPolygonF{QPointF(10, 20), QPointF(90, 20)},
                                 QPolygonF{QPointF(50, 40), QPointF(50, 90)}};
    const QImage black = MapStrokeRaster::paint(lines, QSize(100, 100), 4, Qt::black);
    // Full inside the width, soft at its edge, clear beyond it: four points in all.
    for (int y : {19, 20, 21})
        QCOMPARE(black.pixelColor(30, y), QColor(Qt::black));
    for (int y : {18, 22})
        QVERIFY(black.pixelColor(30, y).alpha() > 64 && black.pixelColor(30, y).alpha() < 192);
    QCOMPARE(black.pixelColor(30, 17).alpha() + black.pixelColor(30, 23).alpha(), 0);
    QCOMPARE(black.pixelColor(51, 70), QColor(Qt::black));
    QCOMPARE(black.pixelColor(53, 70).alpha(), 0);
    // Round ends: covered half the width past the end, clear beyond.
    QCOMPARE(black.pixelColor(50, 91).alpha(), 255);
    QCOMPARE(black.pixelColor(50, 93).alpha(), 0);
    const QImage red = MapStrokeRaster::paint(lines, QSize(100, 100), 8, QColor(255, 0, 0, 128));
    QCOMPARE(red.pixelColor(30, 23).red(), 255);
    QVERIFY(qAbs(red.pixelColor(30, 23).alpha() - 128) <= 1);
}

QTEST_MAIN(tst_PlatformMap)
#include "tst_PlatformMap.moc"
