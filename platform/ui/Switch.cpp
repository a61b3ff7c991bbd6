#include "platform/ui/Switch.h"

#include <QPainter>
#include <QPainterPath>

Switch::Switch(QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    connect(this, &QAbstractButton::clicked, this, &Switch::valueChanged);
}

void Switch::setOn(bool on)
{
    const QSignalBlocker blocker(this);
    setChecked(on);
    update();
}

void Switch::setOnTintColor(const QColor& color)
{
    m_onTint = color;
    update();
}

void Switch::setTintColor(const QColor& color)
{
    m_tint = color;
    update();
}

void Switch::setThumbTintColor(const QColor& color)
{
    m_thumb = color;
    update();
}

void Switch::setScale(qreal scale)
{
    m_scale = scale > 0 ? scale : 1.0;
    updateGeometry();
    update();
}

void Switch::tap()
{
    click();
}

void Switch::nextCheckState()
{
    setChecked(!isChecked());
    update();
}

QSize Switch::sizeHint() const
{
    return QSize(qRound(NaturalWidth * m_scale), qRound(NaturalHeight * m_scale));
}

QRectF Switch::trackRect() const
{
    const QSizeF size(NaturalWidth * m_scale, NaturalHeight * m_scale);
    return QRectF(QPointF(width() - size.width(), height() - size.height()) / 2.0, size);
}

void Switch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = trackRect();
    const qreal radius = track.height() / 2.0;
    const qreal border = 2.0 * m_scale;
    QPainterPath body;
    body.addRoundedRect(track, radius, radius);
    if (isOn()) {
        painter.fillPath(body, m_onTint);
    } else {
        painter.fillPath(body, m_tint);
        QPainterPath inner;
        inner.addRoundedRect(track.adjusted(border, border, -border, -border), radius - border,
                             radius - border);
        painter.fillPath(inner, Qt::white);
    }
    const qreal thumbRadius = radius - border;
    const qreal x = isOn() ? track.right() - radius : track.left() + radius;
    const QPointF centre(x, track.center().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(centre + QPointF(0, 1.0 * m_scale), thumbRadius, thumbRadius);
    painter.setBrush(m_thumb);
    painter.drawEllipse(centre, thumbRadius, thumbRadius);
}
