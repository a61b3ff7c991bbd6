#include "app/TourSteps.h"

#include "app/AccountTour.h"
#include "app/AssetGallery.h"
#include "app/DashboardTour.h"
#include "app/PositionTour.h"
#include "app/Tour.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Images.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"
#include "screens/profile/AllOfMinePages2.h"

#include <QDir>
#include <QPointer>

#if __has_include("views/GaugeGallery.h")
#include "views/GaugeGallery.h"
#define LVXING_HAS_GAUGE_GALLERY 1
#endif

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
            if (!t.tap("LeftImage"))
                t.swipe();
        },
        1500);
    tour.shoot(
        QStringLiteral("ranking-map"),
        [](Tour& t) {
            auto* table = qobject_cast<TableView*>(t.find("RankingTable"));
            if (table && table->numberOfRows() >= 3)
                table->tapAt(QPointF(table->width() / 2.0, AllOfMinePages2::RowHeight * 2.5));
            else
                t.swipe();
        },
        2500);
    tour.shoot(
        QString(), [](Tour& t) { t.segue("MineToSet"); }, 1200);
}

void addAlert(Tour& tour)
{
    tour.shoot(
        QStringLiteral("alert"),
        [](Tour& t) { AlertController::showTip(t.window(), QStringLiteral("网络访问出错!")); },
        400);
    tour.add({QString(), [](Tour& t) { t.pressAlert(QStringLiteral("确定")); }, {}, 0, 100, false});
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
#ifdef LVXING_HAS_GAUGE_GALLERY
                  const QStringList written =
                      GaugeGallery::writeAll(QDir(t.folder()).filePath(QStringLiteral("gauges")));
                  t.note(QStringLiteral("gauge gallery: %1 pictures").arg(written.size()));
#else
                  t.note(QStringLiteral("gauge gallery not built yet"));
#endif
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
    addProfile(tour);
    AccountTour::addReturningRider(tour);
    addAlert(tour);
    addGalleries(tour);
}

} // namespace TourSteps
