#include "screens/dashboard/GaugeOverflowView.h"

#include <QPainter>

GaugeOverflowView::GaugeOverflowView(GaugeView* gauge, QWidget* parent)
    : QWidget(parent), m_gauge(gauge)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_gauge->setParent(parent);
    m_gauge->setVisible(false);
}

void GaugeOverflowView::paintEvent(QPaintEvent*)
{
    if (!m_gauge)
        return;
    QPainter painter(this);
    painter.translate(m_gauge->geometry().topLeft() - geometry().topLeft());
    m_gauge->paintOverflowing(painter, m_gauge->size());
}
