#include "screens/position/AllOfPosPages1.h"

#include "platform/Localized.h"
#include "platform/NumberText.h"
#include "platform/Timer.h"
#include "platform/ui/Theme.h"
#include "store/MyBasicInfo.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Three figures side by side on the page's own 720-wide grid.
constexpr double ColumnWidth = 240;

} // namespace

AllOfPosPages1::AllOfPosPages1(QWidget* parent) : Screen(parent) {}

void AllOfPosPages1::viewDidLoad()
{
    m_textlicheng = makeFigure(0, QStringLiteral("今日里程"), QStringLiteral("km"));
    m_speedlicheng = makeFigure(1, QStringLiteral("平均速度"), QStringLiteral("km/h"));
    m_timelicheng = makeFigure(2, QStringLiteral("节省时间"), QStringLiteral("分钟"));
    m_textlicheng->setObjectName(QStringLiteral("textlicheng"));
    m_speedlicheng->setObjectName(QStringLiteral("speedlicheng"));
    m_timelicheng->setObjectName(QStringLiteral("timelicheng"));
    m_timer = new Timer(
        1.0, true, [this] { progressChange(); }, this);
}

QLabel* AllOfPosPages1::makeFigure(int column, const QString& caption, const QString& unit)
{
    auto* figure = new QLabel(this);
    figure->setAlignment(Qt::AlignCenter);
    figure->setStyleSheet(QStringLiteral("color: %1; font-weight: bold").arg(Theme::Accent.name()));
    auto* title = new QLabel(Localized::string(caption), this);
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet(QStringLiteral("color: %1").arg(Theme::PositionMuted.name()));
    auto* units = new QLabel(Localized::string(unit), this);
    units->setAlignment(Qt::AlignCenter);
    units->setStyleSheet(QStringLiteral("color: %1").arg(Theme::PositionFaint.name()));
    const double left = column * ColumnWidth;
    // The page is the pager's band: its height is its own, so the rows follow it.
    auto row = [this](double top, double h) { return QRectF(0, height() * top, 0, height() * h); };
    place(title, [=, this] {
        Theme::setPixelSize(title, height() * 0.13);
        const QRectF r = row(0.14, 0.2);
        return QRectF(gx(left), r.top(), gx(ColumnWidth), r.height());
    });
    place(figure, [=, this] {
        Theme::setPixelSize(figure, height() * 0.26);
        const QRectF r = row(0.36, 0.32);
        return QRectF(gx(left), r.top(), gx(ColumnWidth), r.height());
    });
    place(units, [=, this] {
        Theme::setPixelSize(units, height() * 0.11);
        const QRectF r = row(0.7, 0.18);
        return QRectF(gx(left), r.top(), gx(ColumnWidth), r.height());
    });
    return figure;
}

void AllOfPosPages1::viewWillAppear()
{
    m_timer->setFireDate(Timer::FireDate::DistantPast);
}

void AllOfPosPages1::viewDidDisappear()
{
    m_timer->setFireDate(Timer::FireDate::DistantFuture);
}

int AllOfPosPages1::minutesSaved(const QString& speed, const QString& distance)
{
    const float v = NumberText::toFloat(speed);
    const float d = NumberText::toFloat(distance);
    if (v < WalkingSpeed)
        return 0;
    const float minutes = (d / WalkingSpeed - d / v) * 60.0f;
    // A huge or broken figure from the server must not reach an undefined conversion.
    if (!std::isfinite(minutes))
        return 0;
    return int(std::clamp(double(minutes), -1e9, 1e9));
}

void AllOfPosPages1::progressChange()
{
    const QString distance = MyBasicInfo::GetValue(QStringLiteral("todaylicheng"));
    const QString speed = MyBasicInfo::GetValue(QStringLiteral("pingjunspeed"));
    m_textlicheng->setText(distance);
    m_speedlicheng->setText(speed);
    m_timelicheng->setText(QString::number(minutesSaved(speed, distance)));
}

void AllOfPosPages1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Theme::PositionDivider);
    for (int column = 1; column < 3; ++column) {
        const double x = gx(column * ColumnWidth);
        painter.drawLine(QPointF(x, height() * 0.2), QPointF(x, height() * 0.8));
    }
}
