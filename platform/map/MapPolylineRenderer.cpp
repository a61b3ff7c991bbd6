#include "platform/map/MapPolylineRenderer.h"

#include "platform/map/MapCamera.h"

#include <QPainter>

MapPolylineRenderer::MapPolylineRenderer(MapPolylinePtr polyline)
    : MapOverlayRenderer(polyline), m_polyline(std::move(polyline))
{
}

void MapPolylineRenderer::draw(QPainter& painter, const MapCamera& camera) const
{
    if (!m_polyline || m_polyline->pointCount() < 2)
        return;
    QPolygonF line;
    line.reserve(m_polyline->pointCount());
    for (const QPointF& p : m_polyline->worldPoints())
        line.append(camera.toView(p));
    applyPen(painter, m_lineWidth, m_strokeColor);
    painter.drawPolyline(line);
}

void MapPolylineRenderer::applyPen(QPainter& painter, double width, const QColor& color)
{
    QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
}
