#include "screens/desktop/AlarmLogWindow.h"

#include "platform/Localized.h"
#include "platform/map/MapView.h"
#include "platform/ui/Theme.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

constexpr int MapHeight = 220;
constexpr int TextPixels = 13;

QString kindText(AlarmLog::Kind kind)
{
    return kind == AlarmLog::Kind::Battery ? Localized::string(QStringLiteral("电量报警"))
                                           : Localized::string(QStringLiteral("围栏报警"));
}

QString itemText(const AlarmLog::Entry& alarm)
{
    const QString when = alarm.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    // The battery figure wraps as a whole.
    const QString battery = Localized::string(QStringLiteral("电量 %1%"))
                                .arg(alarm.battery)
                                .replace(QLatin1Char(' '), QChar::Nbsp);
    return QStringLiteral("%1  %2\n%3  ·  %4")
        .arg(when, kindText(alarm.kind), alarm.message, battery);
}

void setRoleColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

} // namespace

AlarmLogWindow::AlarmLogWindow(QWidget* parent)
    : QWidget(parent), m_mark(std::make_shared<MapPointAnnotation>())
{
    setObjectName(QStringLiteral("AlarmLogWindow"));
    setWindowTitle(Localized::string(QStringLiteral("报警记录")));
    setAutoFillBackground(true);
    setRoleColor(this, QPalette::Window, Theme::Page);
    auto* layout = new QVBoxLayout(this);
    buildList();
    m_note = new QLabel(this);
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setMinimumHeight(MapHeight);
    Theme::setPixelFont(m_note, TextPixels);
    setRoleColor(m_note, QPalette::WindowText, Theme::Muted);
    buildMap();
    layout->addWidget(m_list, 1);
    layout->addWidget(m_note);
    layout->addWidget(m_map);
    resize(360, 520);
    reload();
}

void AlarmLogWindow::buildList()
{
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("alarmList"));
    m_list->setSpacing(2);
    // Messages in longer languages wrap instead of scrolling sideways.
    m_list->setWordWrap(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setResizeMode(QListView::Adjust);
    Theme::setPixelFont(m_list, TextPixels);
    setRoleColor(m_list, QPalette::Text, Theme::ProfileInk);
    setRoleColor(m_list, QPalette::Highlight, Theme::Accent);
    connect(m_list, &QListWidget::currentRowChanged, this, &AlarmLogWindow::showAlarm);
}

void AlarmLogWindow::buildMap()
{
    m_map = new MapView(QRectF(0, 0, 360, MapHeight), this);
    m_map->setObjectName(QStringLiteral("alarmMap"));
    m_map->setFixedHeight(MapHeight);
    m_map->addAnnotation(m_mark);
}

void AlarmLogWindow::reload()
{
    m_alarms = AlarmLog::newest(ShownAlarms);
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const AlarmLog::Entry& alarm : std::as_const(m_alarms))
        m_list->addItem(itemText(alarm));
    m_list->setVisible(!m_alarms.isEmpty());
    if (m_alarms.isEmpty()) {
        showNote(Localized::string(QStringLiteral("没有报警记录")));
        return;
    }
    m_list->setCurrentRow(0);
    showAlarm(0);
}

void AlarmLogWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    reload();
}

void AlarmLogWindow::showAlarm(int row)
{
    if (row < 0 || row >= m_alarms.size())
        return;
    const AlarmLog::Entry& alarm = m_alarms.at(row);
    if (!alarm.position) {
        showNote(Localized::string(QStringLiteral("这次报警没有位置")));
        return;
    }
    m_note->hide();
    const MapCoordinate at{alarm.position->lat, alarm.position->lng};
    m_mark->setCoordinate(at);
    m_mark->setTitle(kindText(alarm.kind));
    m_map->setCenterCoordinate(at, false);
    m_map->show();
}

void AlarmLogWindow::showNote(const QString& text)
{
    m_map->hide();
    m_note->setText(text);
    m_note->show();
}
