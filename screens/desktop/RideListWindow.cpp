#include "screens/desktop/RideListWindow.h"

#include "platform/Localized.h"
#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapProjection.h"
#include "platform/map/MapView.h"
#include "platform/ui/Theme.h"
#include "store/MyBasicInfo.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// A ride fills this share of the map, leaving room for the line's width at the edges.
constexpr double FrameShare = 0.8;
// A ride that barely moved is shown at street level, not at the closest zoom.
constexpr double ClosestFrame = 17;

QString durationText(qint64 seconds)
{
    if (seconds < 60)
        return Localized::string(QStringLiteral("%1 秒")).arg(seconds);
    const qint64 minutes = seconds / 60;
    if (minutes < 60)
        return Localized::string(QStringLiteral("%1 分钟")).arg(minutes);
    return Localized::string(QStringLiteral("%1 小时 %2 分钟")).arg(minutes / 60).arg(minutes % 60);
}

QString rideText(const Rides::Ride& ride)
{
    const QString hours = QStringLiteral("HH:mm");
    const QString when =
        ride.timed
            ? QStringLiteral("%1–%2").arg(ride.start.toString(hours), ride.end.toString(hours))
            : Localized::string(QStringLiteral("%1 收到")).arg(ride.start.toString(hours));
    const QString duration =
        ride.timed ? durationText(ride.seconds()) : Localized::string(QStringLiteral("时间不详"));
    return QStringLiteral("%1    %2    %3 km")
        .arg(when, duration, QString::asprintf("%0.2f", ride.metres / 1000));
}

QString dateText(const QDate& date)
{
    return date.toString(Localized::string(QStringLiteral("yyyy年M月d日")));
}

QString noRides()
{
    return Localized::string(QStringLiteral("还没有骑行记录"));
}

} // namespace

RideListWindow::RideListWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_list(new QListWidget(this)),
      m_map(new MapView(QRectF(0, 0, 360, 320), this)), m_empty(new QLabel(noRides(), this))
{
    setObjectName(QStringLiteral("RideListWindow"));
    setWindowTitle(Localized::string(QStringLiteral("骑行记录")));
    setStyleSheet(QStringLiteral("RideListWindow { background: %1 }").arg(Theme::Page.name()));
    resize(360, 560);
    m_map->setDelegate(this);
    applyTheme();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_map, 3);
    layout->addWidget(m_list, 2);
    layout->addWidget(m_empty, 1);
    connect(m_list, &QListWidget::currentRowChanged, this, &RideListWindow::showChosenRide);
    reload();
}

void RideListWindow::applyTheme()
{
    m_list->setStyleSheet(
        QStringLiteral("QListWidget { background: %1; border: none; outline: 0; color: %2;"
                       " padding: 4px 8px } QListWidget::item { padding: 6px 4px; border: none }"
                       " QListWidget::item:selected { background: %3; color: %2 }")
            .arg(Theme::Page.name(), Theme::PositionInk.name(), Theme::AccentPale.name()));
    Theme::setPixelFont(m_list, 15);
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setStyleSheet(QStringLiteral("color: %1").arg(Theme::Muted.name()));
    Theme::setPixelFont(m_empty, 16);
}

QString RideListWindow::devid()
{
    return MyBasicInfo::GetValue(QStringLiteral("devid"));
}

void RideListWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    reload();
}

void RideListWindow::reload()
{
    Rides rides;
    RideLog::forEach(devid(), [&rides](const RideLog::Point& point) { rides.add(point); });
    m_rides = rides.list();
    std::reverse(m_rides.begin(), m_rides.end());
    m_empty->setVisible(m_rides.isEmpty());
    m_map->setVisible(!m_rides.isEmpty());
    m_list->setVisible(!m_rides.isEmpty());
    fillList();
    chooseRide(m_rides.isEmpty() ? -1 : 0);
}

void RideListWindow::fillList()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    QFont bold = m_list->font();
    bold.setBold(true);
    QDate day;
    for (int i = 0; i < m_rides.size(); ++i) {
        if (m_rides[i].start.date() != day) {
            day = m_rides[i].start.date();
            auto* header = new QListWidgetItem(dateText(day), m_list);
            header->setFlags(Qt::NoItemFlags);
            header->setFont(bold);
        }
        auto* item = new QListWidgetItem(rideText(m_rides[i]), m_list);
        item->setData(Qt::UserRole, i);
    }
}

int RideListWindow::chosenRide() const
{
    const QListWidgetItem* item = m_list->currentItem();
    const QVariant index = item ? item->data(Qt::UserRole) : QVariant();
    return index.isValid() ? index.toInt() : -1;
}

void RideListWindow::chooseRide(int index)
{
    for (int row = 0; row < m_list->count(); ++row) {
        const QVariant ride = m_list->item(row)->data(Qt::UserRole);
        if (ride.isValid() && ride.toInt() == index) {
            m_list->setCurrentRow(row);
            return;
        }
    }
    m_list->setCurrentRow(-1);
    showChosenRide();
}

void RideListWindow::showChosenRide()
{
    m_map->removeOverlays(m_line);
    m_line.clear();
    const int index = chosenRide();
    if (index < 0)
        return;
    QList<MapCoordinate> line;
    const Rides::Ride& ride = m_rides[index];
    for (const RideLog::Point& point : RideLog::between(devid(), ride.start, ride.end))
        line.append({point.lat, point.lng});
    const MapPolyline drawn = m_line.append(line.constData(), line.size());
    m_map->addOverlay(drawn);
    if (!line.isEmpty())
        frame(drawn.boundingWorldRect());
}

void RideListWindow::frame(const QRectF& world)
{
    // World units each point of the map must cover for the whole ride to fit.
    const double perPoint =
        qMax(world.width() / qMax(1, m_map->width()), world.height() / qMax(1, m_map->height()));
    const double zoom =
        perPoint > 0 ? std::log2(FrameShare / (perPoint * MapProjection::TileSize)) : ClosestFrame;
    m_map->setZoomLevel(qBound(MapView::MinZoom, zoom, ClosestFrame));
    m_map->setCenterCoordinate(MapProjection::fromWorld(world.center()), false);
}

MapOverlayRendererPtr RideListWindow::rendererForOverlay(MapView*, const MapOverlay&)
{
    if (!m_renderer) {
        m_renderer = std::make_shared<MapPolylineRenderer>();
        m_renderer->setLineWidth(4.0);
        m_renderer->setStrokeColor(Theme::Accent);
    }
    return m_renderer;
}

// Export -----------------------------------------------------------------------------------

void RideListWindow::exportGpx()
{
    const QString title = Localized::string(QStringLiteral("导出 GPX"));
    if (chosenRide() < 0) {
        QMessageBox::information(this, title, noRides());
        return;
    }
    const std::optional<bool> wholeDay = askWholeDay();
    if (!wholeDay)
        return;
    const QString path = QFileDialog::getSaveFileName(this, title, suggestedPath(*wholeDay),
                                                      QStringLiteral("GPX (*.gpx)"));
    QString error;
    if (!path.isEmpty() && !exportTo(path, *wholeDay, &error))
        QMessageBox::warning(this, Localized::string(QStringLiteral("导出失败")), error);
}

std::optional<bool> RideListWindow::askWholeDay()
{
    QMessageBox ask(QMessageBox::Question, Localized::string(QStringLiteral("导出 GPX")),
                    Localized::string(QStringLiteral("导出这次骑行，还是当天的全部骑行？")),
                    QMessageBox::NoButton, this);
    const QPushButton* ride =
        ask.addButton(Localized::string(QStringLiteral("这次骑行")), QMessageBox::AcceptRole);
    const QPushButton* day =
        ask.addButton(Localized::string(QStringLiteral("当天全部")), QMessageBox::AcceptRole);
    ask.addButton(Localized::string(QStringLiteral("取消")), QMessageBox::RejectRole);
    ask.exec();
    if (ask.clickedButton() != ride && ask.clickedButton() != day)
        return std::nullopt;
    return ask.clickedButton() == day;
}

QString RideListWindow::suggestedPath(bool wholeDay) const
{
    const QDateTime start = m_rides[chosenRide()].start;
    const QString name =
        start.toString(wholeDay ? QStringLiteral("'lvxing-'yyyy-MM-dd'.gpx'")
                                : QStringLiteral("'lvxing-'yyyy-MM-dd-HHmm'.gpx'"));
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return (documents.exists() ? documents : QDir::home()).filePath(name);
}

bool RideListWindow::exportTo(const QString& path, bool wholeDay, QString* error)
{
    QString reason = noRides();
    if (chosenRide() >= 0) {
        if (GpxWriter::write(path, trackName(wholeDay), segments(wholeDay), &reason))
            return true;
        reason = Localized::string(QStringLiteral("无法写入 %1：%2"))
                     .arg(QDir::toNativeSeparators(path), reason);
    }
    if (error)
        *error = reason;
    return false;
}

QString RideListWindow::trackName(bool wholeDay) const
{
    return m_rides[chosenRide()].start.toString(wholeDay
                                                    ? QStringLiteral("'Lvxing 'yyyy-MM-dd")
                                                    : QStringLiteral("'Lvxing 'yyyy-MM-dd HH:mm"));
}

QList<GpxWriter::Segment> RideListWindow::segments(bool wholeDay) const
{
    const Rides::Ride& chosen = m_rides[chosenRide()];
    QList<GpxWriter::Segment> segments;
    // The list is newest first; the file holds the day's rides in the order they were ridden.
    for (auto ride = m_rides.crbegin(); ride != m_rides.crend(); ++ride) {
        if (wholeDay ? ride->start.date() == chosen.start.date() : ride->start == chosen.start)
            segments.append(RideLog::between(devid(), ride->start, ride->end));
    }
    return segments;
}
