#include "views/GaugeView.h"

#include <QPainter>

GaugeView::GaugeView(QWidget* parent) : QWidget(parent)
{
    // The gauges lie over page backgrounds and never fill their own.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
}

void GaugeView::paintTo(QPainter& painter, const QSizeF& size) const
{
    painter.save();
    // A view draws only inside its bounds, wherever the painter puts it.
    painter.setClipRect(QRectF(QPointF(0, 0), size), Qt::IntersectClip);
    paintOverflowing(painter, size);
    painter.restore();
}

void GaugeView::paintOverflowing(QPainter& painter, const QSizeF& size) const
{
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    draw(painter, size);
    painter.restore();
}

QImage GaugeView::toImage(const QSize& size, qreal scale) const
{
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintTo(painter, size);
    return image;
}

void GaugeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintTo(painter, size());
}
