#include "tour/TourSteps.h"

#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Images.h"
#include "platform/Localized.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"
#include "poll/MyUtil.h"
#include "poll/StatusPoller.h"
#include "screens/profile/AllOfMinePages2.h"
#include "store/MyBasicInfo.h"
#include "tour/AccountTour.h"
#include "tour/AssetGallery.h"
#include "tour/DashboardTour.h"
#include "tour/DesktopTour.h"
#include "tour/PositionTour.h"
#include "tour/SimulatorControl.h"
#include "tour/Tour.h"
#include "tour/GaugeGallery.h"

#include <QDir>
#include <QPointer>


namespace TourSteps {

namespace {

void addDashboard(Tour& tour)
{
    DashboardTour::addAll(tour);
}

void addPosition(Tour& tour)
{
    PositionTour::addAll(tour);
}

void addProfile(Tour& tour)
{
    tour.add({QStringLiteral("profile"),
              [](Tour& t) {
                  if (!t.tap("RightImage"))
                      t.segue("PosToMine");
              },
              {},
              0,
              2500,
              true});
    // The arrow on the profile leads to the ranking list; the third rider there is chosen
    // and shown on the map.
    tour.shoot(
        QStringLiteral("ranking"),
        [](Tour& t) {
            if (!t.tap("leftimage"))
                t.swipe();
        },
        1500);
    tour.shoot(
        QStringLiteral("ranking-map"),
        [](Tour& t) {
            auto* table = qobject_cast<TableView*>(t.find("tableView"));
            if (table && table->numberOfRows() >= 3)
                table->tapAt(QPointF(table->width() / 2.0, AllOfMinePages2::RowHeight * 2.5));
            else
                t.swipe();
        },
        2500);
    tour.shoot(
        QString(), [](Tour& t) { t.segue("MineToSet"); }, 1200);
}

bool alarmShows(const QString& message)
{
    AlertController* alert = AlertController::topAlert();
    return alert && alert->title() == Localized::string(QStringLiteral("报警")) &&
           alert->message() == Localized::string(message);
}

// Both alarms as a rider meets them with the app in front: the tracker is carried 5 km
// from its base with a flat battery, the next status poll finds both, and each alarm
// arrives as the in-app alert.
void addAlarms(Tour& tour)
{
    tour.add({QString(),
              [](Tour&) {
                  const QString devid = MyBasicInfo::GetValue(QStringLiteral("devid"));
                  MyBasicInfo::SetValue(QStringLiteral("weilanmode"), QStringLiteral("1"));
                  MyUtil::UpdateBasePos();
                  const double lat = NumberText::toDouble(MyBasicInfo::GetValue(QStringLiteral("lat")));
                  const double lng = NumberText::toDouble(MyBasicInfo::GetValue(QStringLiteral("lng")));
                  SimulatorControl::change(QStringLiteral("/_sim/state?devid=%1&lat=%2&lng=%3&power=34&banlvstate=1")
                                   .arg(devid)
                                   .arg(lat + 0.05, 0, 'f', 6)
                                   .arg(lng, 0, 'f', 6));
              },
              {},
              0,
              800,
              false});
    tour.add({QStringLiteral("geofence-alarm"),
              [](Tour&) {
                  StatusPoller* poller = StatusPoller::installed();
                  if (poller->notifications())
                      poller->notifications()->setApplicationActive(true);
                  poller->setLastPollTime(poller->now().addSecs(-61));
                  MyUtil::GetEveryThing();
              },
              [](Tour&) { return alarmShows(QStringLiteral("主人，快来救我!")); },
              8000,
              500,
              true});
    tour.add({QStringLiteral("battery-alarm"),
              [](Tour& t) { t.pressAlert(QStringLiteral("OK")); },
              [](Tour&) {
                  AlertController* alert = AlertController::topAlert();
                  return alert && alert->title() == Localized::string(QStringLiteral("报警")) &&
                         !alert->message().isEmpty() &&
                         alert->message() != Localized::string(QStringLiteral("主人，快来救我!"));
              },
              3000,
              500,
              true});
    tour.add({QString(), [](Tour& t) { t.pressAlert(QStringLiteral("OK")); }, {}, 0, 100, false});
}

void addGalleries(Tour& tour)
{
    auto gallery = std::make_shared<QPointer<AssetGallery>>();
    tour.add({QString(),
              [gallery](Tour& t) {
                  auto* sheet = new AssetGallery(Images::names(), t.window());
                  sheet->setBaseGeometry(t.window()->rect());
                  sheet->show();
                  sheet->raise();
                  *gallery = sheet;
              },
              {},
              0,
              300,
              true,
              QStringLiteral("AssetGallery")});
    tour.add({QString(),
              [gallery](Tour& t) {
                  delete gallery->data();
                  const QStringList written =
                      GaugeGallery::writeAll(QDir(t.folder()).filePath(QStringLiteral("gauges")));
                  t.note(QStringLiteral("gauge gallery: %1 pictures").arg(written.size()));
              },
              {},
              0,
              0,
              false});
}

} // namespace

void addAll(Tour& tour)
{
    AccountTour::addFirstStart(tour);
    addDashboard(tour);
    addPosition(tour);
    DesktopTour::addRideList(tour);
    addProfile(tour);
    AccountTour::addReturningRider(tour);
    addAlarms(tour);
    DesktopTour::addStatusBarAndAlarmLog(tour);
    addGalleries(tour);
}

} // namespace TourSteps
