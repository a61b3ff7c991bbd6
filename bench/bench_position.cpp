// One frame of the position screen at 360 x 640 with a day's track (86,400 points, one
// a second, each arriving as its own answer as the one-second poll delivers them), while
// still, while panning, across a zoom change and while the track grows; for comparison
// the same screen without a track and the whole track stroked as one plain polyline.
// Also a frame with an hour's standing marks at one spot, the heap taken per track point
// as the answers arrive, and the bytes the lines and the line layer hold once the track has
// been drawn at a few zoom levels.
#include "BenchReport.h"
#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "platform/map/MapProjection.h"
#include "platform/map/MapView.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenCatalog.h"
#include "screens/position/ViewControllerPos.h"
#include "store/MyUtil.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <malloc.h>
#include <random>

namespace {

constexpr int DayPoints = 86400;
const QSize ScreenSize(360, 640);

// A day of riding around a base: about 5 m a second, turning now and then, kept within
// about 1.5 km of the base.
QList<TrackPoint> dayOfRiding()
{
    std::mt19937 random(7);
    std::normal_distribution<double> turn(0.0, 0.08);
    const double baseLat = 30.2741, baseLng = 120.1551;
    const double metersPerDegree = 111320.0;
    double x = 0, y = 0, heading = 0.3;
    QList<TrackPoint> points;
    points.reserve(DayPoints);
    for (int i = 0; i < DayPoints; ++i) {
        heading += turn(random);
        if (std::hypot(x, y) > 1500)
            heading = std::atan2(-y, -x) + turn(random);
        x += 5 * std::cos(heading);
        y += 5 * std::sin(heading);
        const double lat = baseLat + y / metersPerDegree;
        const double lng = baseLng + x / (metersPerDegree * std::cos(baseLat * M_PI / 180));
        points.append({QString::number(i + 1), QString::number(lat, 'f', 6),
                       QString::number(lng, 'f', 6), i % 600 == 0 ? "2" : "1"});
    }
    return points;
}

// Large blocks are mapped apart from the heap's arena, and count as much.
size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct PositionScreen
{
    QTemporaryDir dir;
    AppDelegate delegate{dir.path()};
    QWidget host;
    Storyboard storyboard{&host};
    ViewControllerPos* pos = nullptr;
    QImage frame{ScreenSize, QImage::Format_ARGB32_Premultiplied};

    PositionScreen()
    {
        delegate.setServerUrl("http://127.0.0.1:9");
        MyUtil::InitMyDateBase();
        host.resize(ScreenSize);
        ScreenCatalog::install(storyboard, delegate.context());
        pos = qobject_cast<ViewControllerPos*>(storyboard.start("ViewControllerPos"));
        pos->nearbyFeed()->pause();
        pos->trackFeed()->pause();
    }
    void draw() { pos->render(&frame); }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Log::Quiet quiet;
    const QList<TrackPoint> day = dayOfRiding();

    PositionScreen empty;
    empty.pos->findChild<MapView*>(QStringLiteral("mapView"))
        ->setCenterCoordinate({30.2741, 120.1551}, false);
    empty.draw();
    const double emptyNs = medianNs([&] { empty.draw(); }, 20, 15);
    report("position_frame_empty_360x640", emptyNs);

    // A rider parked for an hour with the section open: 3,600 standing marks at one spot.
    PositionScreen parked;
    for (int i = 1; i <= 3600; ++i)
        parked.pos->trackFeed()->receive({{QString::number(i), "30.2741", "120.1551", "2"}});
    parked.pos->findChild<MapView*>(QStringLiteral("mapView"))->finishAnimations();
    parked.draw();
    report("position_frame_3600_marks_at_one_spot", medianNs([&] { parked.draw(); }, 5, 15),
           emptyNs, "empty map");

    // The floor: the day's coordinates alone, as a plain array.
    size_t floorBytes = heapInUse();
    {
        QList<MapCoordinate> coordinates;
        coordinates.reserve(day.size());
        for (const TrackPoint& p : day)
            coordinates.append({p.lat.toDouble(), p.lng.toDouble()});
        floorBytes = heapInUse() - floorBytes;
    }

    PositionScreen screen;
    const size_t before = heapInUse();
    for (const TrackPoint& point : day)
        screen.pos->trackFeed()->receive({point});
    const size_t after = heapInUse();
    MapView* map = screen.pos->findChild<MapView*>(QStringLiteral("mapView"));
    map->finishAnimations();
    map->setCenterCoordinate({30.2741, 120.1551}, false);
    screen.draw();

    const double stillNs = medianNs([&] { screen.draw(); }, 20, 15);
    report("position_frame_86400pts_still", stillNs, emptyNs, "empty map");
    int step = 0;
    const double panNs = medianNs(
        [&] {
            const double dx = (step++ / 40) % 2 ? 6 : -6;
            map->panBy(QPointF(dx, 3 * (dx > 0 ? 1 : -1)));
            screen.draw();
        },
        20, 15);
    report("position_frame_86400pts_panning", panNs, emptyNs, "empty map");
    int zoomStep = 0;
    const double zoomNs = medianNs(
        [&] {
            map->setZoomLevel(++zoomStep % 2 ? 14 : 15);
            screen.draw();
        },
        10, 15);
    report("position_frame_86400pts_zoom_change", zoomNs, emptyNs, "empty map");
    // Three levels in turn: each frame is at a level other than the last two drawn.
    int cycle = 0;
    const double cycleNs = medianNs(
        [&] {
            map->setZoomLevel(13 + (++cycle % 3));
            screen.draw();
        },
        6, 15);
    report("position_frame_86400pts_zoom_cycle_3_levels", cycleNs, emptyNs, "empty map");
    map->setZoomLevel(15); // the track grows in the same view as before
    int next = DayPoints;
    const double growNs = medianNs(
        [&] {
            ++next;
            screen.pos->trackFeed()->receive({{QString::number(next), "30.2741", "120.1551", "1"}});
            screen.draw();
        },
        20, 15);
    report("position_frame_86400pts_track_grows", growNs, emptyNs, "empty map");

    // The whole day stroked as one polyline, with nothing skipped.
    QPolygonF whole;
    const MapCamera camera = map->camera();
    for (const TrackPoint& p : day)
        whole.append(camera.toView(MapProjection::toWorld({p.lat.toDouble(), p.lng.toDouble()})));
    QImage plain(ScreenSize, QImage::Format_ARGB32_Premultiplied);
    const double naiveNs = medianNs(
        [&] {
            plain.fill(Qt::white);
            QPainter painter(&plain);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(whole);
        },
        2, 5);
    report("plain_polyline_86400pts", naiveNs, stillNs, "position frame still");

    const double perPoint = double(after - before) / DayPoints;
    const qsizetype lines = screen.pos->overlaysLine().memoryBytes();
    const qsizetype layer = map->lineLayer().memoryBytes();
    std::printf("position_track_memory bytes_per_point=%.1f drawn_bytes_per_point=%.1f (points "
                "%d, overlays %lld, lines %lld bytes, line layer %lld bytes) ratio=%.2f vs the "
                "coordinates alone (%.1f bytes a point)\n",
                perPoint, double(lines + layer) / DayPoints, DayPoints,
                qlonglong(screen.pos->overlaysLine().size()), qlonglong(lines), qlonglong(layer),
                perPoint / (double(floorBytes) / DayPoints), double(floorBytes) / DayPoints);
    return 0;
}
