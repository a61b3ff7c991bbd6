#include "platform/map/MapAnnotationView.h"

#include <QPainter>
#include <QPainterPath>

MapAnnotationView::MapAnnotationView(const MapAnnotationPtr& annotation,
                                     const QString& reuseIdentifier, QWidget* parent)
    : QWidget(parent), m_annotation(annotation), m_reuseIdentifier(reuseIdentifier)
{
    // The map does the hit testing itself (pointInside), so a tap on a mark never reaches
    // the widget underneath by accident.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(0, 0);
}

void MapAnnotationView::setSelected(bool selected, bool)
{
    m_selected = selected;
    update();
}

bool MapAnnotationView::pointInside(const QPointF& point) const
{
    return QRectF(rect()).contains(point);
}

void MapAnnotationView::setBounds(const QSize& size)
{
    resize(size);
}

MapAnnotationView* MapAnnotationView::makePin(const MapAnnotationPtr& annotation)
{
    auto* pin = new MapAnnotationView(annotation, QString());
    pin->m_drawsPin = true;
    pin->setBounds(QSize(22, 30));
    pin->setCenterOffset(QPointF(0, -15));
    return pin;
}

void MapAnnotationView::paintEvent(QPaintEvent*)
{
    if (!m_drawsPin)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath pin;
    pin.moveTo(11, 29);
    pin.cubicTo(6, 20, 1, 16, 1, 10);
    pin.arcTo(QRectF(1, 0, 20, 20), 180, -180);
    pin.cubicTo(21, 16, 16, 20, 11, 29);
    painter.setPen(QPen(QColor(150, 20, 20), 1));
    painter.setBrush(m_selected ? QColor(240, 90, 60) : QColor(220, 50, 40));
    painter.drawPath(pin);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(11, 10), 3.5, 3.5);
}
