#include "screens/account/RoundView.h"

#include <QPainter>

RoundView::RoundView(const QColor& fill, QWidget* parent) : QWidget(parent), m_fill(fill)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void RoundView::setAlpha(double alpha)
{
    m_alpha = qBound(0.0, alpha, 1.0);
    update();
}

void RoundView::setRing(const QColor& color, qreal widthFraction)
{
    m_ring = color;
    m_ringFraction = widthFraction;
    update();
}

void RoundView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_alpha);
    const qreal side = qMin(width(), height());
    const qreal ring = side * m_ringFraction;
    QRectF circle((width() - side) / 2 + ring / 2, (height() - side) / 2 + ring / 2, side - ring,
                  side - ring);
    painter.setBrush(m_fill);
    painter.setPen(ring > 0 ? QPen(m_ring, ring) : QPen(Qt::NoPen));
    painter.drawEllipse(circle);
}
