#include "tour/DashboardTour.h"

#include "platform/Localized.h"
#include "platform/NumberText.h"
#include "platform/net/WebView.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "screens/dashboard/SpeedLimit.h"
#include "store/MyBasicInfo.h"
#include "tour/SimulatorControl.h"
#include "tour/Tour.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace DashboardTour {

namespace {

// The gauges climb for up to three seconds after a page appears.
constexpr int GaugeSettleMs = 3300;

// A finger dragged along a dial from `from` to `to` (fractions of its width), released.
bool drag(Tour& tour, const QString& dial, double from, double to)
{
    QWidget* view = tour.find(dial);
    auto* pan = view ? view->findChild<PanGestureRecognizer*>() : nullptr;
    if (!pan) {
        tour.note(QStringLiteral("no dial named %1 on %2").arg(dial, tour.topIdentifier()));
        return false;
    }
    const double y = view->height() * 0.5;
    pan->drive(PanGestureRecognizer::State::Began, QPointF(from * view->width(), y));
    pan->drive(PanGestureRecognizer::State::Changed, QPointF((from + to) / 2 * view->width(), y));
    pan->drive(PanGestureRecognizer::State::Ended, QPointF(to * view->width(), y));
    return true;
}

bool uploadsDone()
{
    return !SpeedLimit::of(SpeedLimit::Kind::MaxSpeed).hasUploadsInFlight() &&
           !SpeedLimit::of(SpeedLimit::Kind::LightSpeed).hasUploadsInFlight();
}

bool childrenMode()
{
    return NumberText::toLong(MyBasicInfo::GetValue(QStringLiteral("weilanmode"))) != 0;
}

bool mapShown(Tour& tour)
{
    auto* web = qobject_cast<WebView*>(tour.find(QStringLiteral("MyWebView")));
    return !web || !web->isLoading();
}

// Asks the simulator to fail the next speed upload; `then` runs once it has said yes (or
// could not be asked).
void failNextSpeedUpload(std::function<void()> then)
{
    SimulatorControl::change(
        QStringLiteral("/_sim/fault?kind=500&script=/TolvarUpdateSpeed.php&count=1"),
        [then](const QJsonDocument&) { then(); });
}

void addPages(Tour& tour)
{
    tour.add({QStringLiteral("page1"),
              [](Tour& t) { t.ensure("ViewControllerSet", "GoToSet2"); },
              {},
              0,
              GaugeSettleMs,
              true});
    tour.shoot(
        QStringLiteral("page2"), [](Tour& t) { t.swipe(); }, GaugeSettleMs);
    tour.shoot(
        QStringLiteral("page3"), [](Tour& t) { t.swipe(); }, 500);
}

void addSpeedDials(Tour& tour)
{
    tour.add({QStringLiteral("page3-dragged"),
              [](Tour& t) { drag(t, QStringLiteral("MyMaxSpeedCView"), 0.45, 0.93); },
              [](Tour&) { return uploadsDone(); }, 6000, 400, true});
    tour.add({QStringLiteral("page3-refused"),
              [](Tour& t) {
                  QPointer<Tour> tour(&t);
                  failNextSpeedUpload([tour] {
                      if (tour)
                          drag(*tour, QStringLiteral("MyMaxSpeedCView"), 0.9, 0.4);
                  });
              },
              [](Tour&) { return AlertController::topAlert() != nullptr; }, 6000, 400, true});
    tour.add({QStringLiteral("page3-restored"),
              [](Tour& t) { t.pressAlert(Localized::string(QStringLiteral("确定"))); },
              {},
              0,
              400,
              true});
    tour.add({QStringLiteral("page4-dragged"),
              [](Tour& t) {
                  t.swipe();
                  drag(t, QStringLiteral("MyLightCView"), 0.3, 0.62);
              },
              [](Tour&) { return uploadsDone(); }, 6000, 400, true});
}

void addGeofence(Tour& tour)
{
    tour.add({QStringLiteral("page5"), [](Tour& t) { t.swipe(); },
              [](Tour& t) { return mapShown(t); }, 6000, 600, true});
    tour.add({QStringLiteral("page5-children-on"),
              [](Tour& t) {
                  if (!childrenMode())
                      t.tap(QStringLiteral("childrenbutton"));
                  // A finished drag reloads the page, which moves the fence to the device.
                  drag(t, QStringLiteral("MyWLCView"), 0.5, 0.42);
              },
              [](Tour& t) { return mapShown(t); }, 6000, 600, true});
    tour.add({QStringLiteral("page5-children-off"),
              [](Tour& t) {
                  if (childrenMode())
                      t.tap(QStringLiteral("childrenbutton"));
              },
              [](Tour& t) { return mapShown(t); }, 6000, 600, true});
}

} // namespace

void addAll(Tour& tour)
{
    addPages(tour);
    addSpeedDials(tour);
    addGeofence(tour);
}

} // namespace DashboardTour
