#include "platform/map/MapPolylineRenderer.h"

#include <QPainter>

void MapPolylineRenderer::applyPen(QPainter& painter, double width, const QColor& color)
{
    QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
}
