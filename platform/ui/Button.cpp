#include "platform/ui/Button.h"

#include <QPainter>
#include <QPainterPath>

Button::Button(QWidget* parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void Button::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void Button::setBackgroundColor(const QColor& color)
{
    m_background = color;
    update();
}

void Button::setTitleColor(const QColor& color)
{
    m_titleColor = color;
    update();
}

void Button::setCornerRadius(qreal radius)
{
    m_radius = radius;
    update();
}

QSize Button::sizeHint() const
{
    if (!m_image.isNull())
        return m_image.size();
    return fontMetrics().size(0, text()) + QSize(24, 16);
}

void Button::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (isDown())
        painter.setOpacity(0.7);
    if (m_background.alpha() > 0) {
        QPainterPath body;
        body.addRoundedRect(QRectF(rect()), m_radius, m_radius);
        painter.fillPath(body, m_background);
    }
    if (!m_image.isNull())
        painter.drawImage(QRectF(rect()), m_image);
    if (!text().isEmpty()) {
        painter.setPen(m_titleColor);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
}
