#include "platform/map/MapCamera.h"

#include "platform/map/MapProjection.h"

MapCamera::MapCamera(const QPointF& centerWorld, double zoom, const QSizeF& viewport)
    : m_center(centerWorld), m_zoom(zoom), m_viewport(viewport),
      m_scale(MapProjection::worldSize(zoom))
{
}

QPointF MapCamera::toView(const QPointF& world) const
{
    return (world - m_center) * m_scale + QPointF(m_viewport.width() / 2, m_viewport.height() / 2);
}

QPointF MapCamera::toWorld(const QPointF& view) const
{
    return (view - QPointF(m_viewport.width() / 2, m_viewport.height() / 2)) / m_scale + m_center;
}

QRectF MapCamera::visibleWorld(double marginPoints) const
{
    const QPointF topLeft = toWorld(QPointF(-marginPoints, -marginPoints));
    const QPointF bottomRight =
        toWorld(QPointF(m_viewport.width() + marginPoints, m_viewport.height() + marginPoints));
    return QRectF(topLeft, bottomRight);
}
