#include "tour/PositionTour.h"

#include "platform/Localized.h"
#include "platform/map/MapProjection.h"
#include "platform/map/MapView.h"
#include "platform/share/ShareService.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"
#include "screens/position/ViewControllerPos.h"
#include "store/MyBasicInfo.h"
#include "tour/SimulatorControl.h"
#include "tour/Tour.h"
#include "views/CustomAnnotationViewFriend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <cmath>

namespace PositionTour {

namespace {

ViewControllerPos* position(Tour& tour)
{
    return qobject_cast<ViewControllerPos*>(tour.top());
}

// The map on display; the maps of earlier appearances stay hidden under it.
MapView* shownMap(Tour& tour)
{
    return qobject_cast<MapView*>(tour.find(QStringLiteral("mapView")));
}

bool hasTrack(Tour& tour, int answers)
{
    ViewControllerPos* pos = position(tour);
    return pos && pos->overlaysLine().size() >= answers;
}

// The world rectangle of the whole track received so far.
QRectF trackBounds(ViewControllerPos* pos)
{
    QRectF bounds;
    for (const MapPolyline& line : pos->overlaysLine())
        bounds =
            bounds.isNull() ? line.boundingWorldRect() : bounds.united(line.boundingWorldRect());
    return bounds;
}

// The longer side of the track's bounds in metres.
double trackMetres(Tour& tour, ViewControllerPos* pos)
{
    const QRectF bounds = trackBounds(pos);
    MapView* map = shownMap(tour);
    if (bounds.isNull() || !map)
        return 0;
    return qMax(bounds.width(), bounds.height()) * MapProjection::worldSize(0) *
           MapProjection::metersPerPoint(map->centerCoordinate().latitude, 0);
}

constexpr double RiddenMetres = 400;

// True once the scooter has ridden a few hundred metres; the rider then zooms the map to
// the whole track.
bool trackRidden(Tour& tour)
{
    ViewControllerPos* pos = position(tour);
    if (!pos || trackMetres(tour, pos) < RiddenMetres)
        return false;
    MapView* map = shownMap(tour);
    const QRectF bounds = trackBounds(pos);
    const double fit = qMin(map->width() / MapProjection::worldSize(0) / bounds.width(),
                            map->height() / MapProjection::worldSize(0) / bounds.height());
    map->setZoomLevel(qBound(MapView::MinZoom, std::floor(std::log2(fit * 0.85)), 16.0));
    map->setCenterCoordinate(MapProjection::fromWorld(bounds.center()), false);
    return true;
}

// Moves the simulator's clock on by a quarter of an hour a step, so the parked scooter
// sets off on one of its rides while the screen polls.
void rideOn(Tour& tour)
{
    auto* timer = new QTimer(tour.window());
    auto steps = std::make_shared<int>(0);
    QPointer<Tour> guide(&tour);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, steps, guide] {
        ViewControllerPos* pos = guide ? position(*guide) : nullptr;
        // Rides start between 07:00 and 21:00 and a day may have none, so an hour a step
        // for up to two and a half days finds one whenever the walk is made.
        if (!pos || trackMetres(*guide, pos) >= RiddenMetres || ++*steps > 60) {
            timer->deleteLater();
            return;
        }
        SimulatorControl::change(QStringLiteral("/_sim/advance?seconds=3600"));
    });
    timer->start(400);
}

// Taps the mark of a rider other than the user, so the card shows that rider.
bool chooseRider(Tour& tour)
{
    MapView* map = position(tour) ? shownMap(tour) : nullptr;
    if (!map)
        return false;
    map->finishAnimations();
    const QString me = MyBasicInfo::GetValue(QStringLiteral("localusername"));
    for (auto* mark : map->findChildren<CustomAnnotationViewFriend*>()) {
        if (mark->isVisible() && mark->lvyouusername != me &&
            map->rect().contains(mark->geometry())) {
            map->tapAt(QRectF(mark->geometry()).center());
            return true;
        }
    }
    tour.note(QStringLiteral("no rider mark in sight"));
    return false;
}

QString sentPicture(const Tour& tour)
{
    if (!tour.share() || tour.share()->lastSentFile().isEmpty())
        return QString();
    const QString json = tour.share()->lastSentFile();
    QFile file(json);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString image = QJsonDocument::fromJson(file.readAll()).object()["image"].toString();
    return image.isEmpty() ? QString() : QFileInfo(json).dir().filePath(image);
}

// The sent picture on a dark sheet over the window, as the messaging app would show it.
QWidget* showSent(Tour& tour)
{
    auto* sheet = new QWidget(tour.window());
    sheet->setObjectName(QStringLiteral("SharedPicture"));
    sheet->setAutoFillBackground(true);
    QPalette palette = sheet->palette();
    palette.setColor(QPalette::Window, QColor(30, 34, 36));
    sheet->setPalette(palette);
    sheet->setGeometry(tour.window()->rect());
    const QImage picture(sentPicture(tour));
    auto* caption = new QLabel(Localized::string(QStringLiteral("朋友圈 · %1 × %2"))
                                   .arg(picture.width())
                                   .arg(picture.height()),
                               sheet);
    caption->setStyleSheet(QStringLiteral("color: #e8ecec; font-size: 15px"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setGeometry(0, 12, sheet->width(), 24);
    auto* view = new ImageView(picture, sheet);
    view->setContentMode(ImageView::ContentMode::AspectFit);
    view->setGeometry(sheet->rect().adjusted(24, 48, -24, -24));
    sheet->show();
    sheet->raise();
    return sheet;
}

} // namespace

void addAll(Tour& tour)
{
    tour.add({QStringLiteral("track"),
              [](Tour& t) {
                  if (!t.tap(QStringLiteral("PosImage")))
                      t.segue(QStringLiteral("SetToPos"));
              },
              [](Tour& t) { return hasTrack(t, 1); }, 8000, 1500, true});
    // The scooter sets off; every one-second answer brings its new points.
    tour.add({QStringLiteral("track-growing"), [](Tour& t) { rideOn(t); },
              [](Tour& t) { return trackRidden(t); }, 40000, 1500, true});
    tour.add({QStringLiteral("riders"), [](Tour& t) { t.swipe(); },
              [](Tour& t) {
                  ViewControllerPos* pos = position(t);
                  return pos && !pos->array_lvyou().isEmpty();
              },
              8000, 1200, true});
    tour.shoot(
        QStringLiteral("rider-card"), [](Tour& t) { chooseRider(t); }, 1500);
    auto sheet = std::make_shared<QPointer<QWidget>>();
    tour.add({QString(), [](Tour& t) { t.tap(QStringLiteral("shareButton")); },
              [](Tour& tour) { return !sentPicture(tour).isEmpty(); }, 4000, 100, false});
    tour.add({QStringLiteral("shared"),
              [sheet](Tour& t) { *sheet = showSent(t); },
              {},
              0,
              400,
              true,
              QStringLiteral("SharedPicture")});
    tour.add({QString(),
              [sheet](Tour& t) {
                  delete sheet->data();
                  t.swipe(false);
              },
              {},
              0,
              600,
              false});
}

} // namespace PositionTour
