#include "platform/ui/PageControl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal DotDiameter = 7.0;
constexpr qreal DotPitch = 16.0;

} // namespace

PageControl::PageControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void PageControl::setNumberOfPages(int pages)
{
    m_pages = qMax(0, pages);
    m_current = qBound(0, m_current, qMax(0, m_pages - 1));
    update();
}

void PageControl::setCurrentPage(int page)
{
    m_current = qBound(0, page, qMax(0, m_pages - 1));
    update();
}

void PageControl::setPageIndicatorTintColor(const QColor& color)
{
    m_dotColor = color;
    update();
}

void PageControl::setCurrentPageIndicatorTintColor(const QColor& color)
{
    m_currentColor = color;
    update();
}

void PageControl::setBackgroundColor(const QColor& color)
{
    m_background = color;
    update();
}

void PageControl::setCornerRadius(qreal radius)
{
    m_radius = radius;
    update();
}

QPointF PageControl::dotCentre(int page) const
{
    const qreal pitch =
        m_pages > 1 ? qMin(DotPitch, (width() - DotDiameter) / (m_pages - 1)) : DotPitch;
    const qreal first = width() / 2.0 - pitch * (m_pages - 1) / 2.0;
    return QPointF(first + pitch * page, height() / 2.0);
}

void PageControl::tapAt(qreal x)
{
    if (m_pages < 2)
        return;
    const int next = x > dotCentre(m_current).x() ? m_current + 1 : m_current - 1;
    if (next < 0 || next >= m_pages)
        return;
    m_current = next;
    update();
    emit valueChanged();
}

void PageControl::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void PageControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        tapAt(event->position().x());
}

void PageControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_background.alpha() > 0) {
        QPainterPath body;
        body.addRoundedRect(QRectF(rect()), m_radius, m_radius);
        painter.fillPath(body, m_background);
    }
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < m_pages; ++i) {
        painter.setBrush(i == m_current ? m_currentColor : m_dotColor);
        painter.drawEllipse(dotCentre(i), DotDiameter / 2, DotDiameter / 2);
    }
}
