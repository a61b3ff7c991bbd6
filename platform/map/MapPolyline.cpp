#include "platform/map/MapPolyline.h"

#include "platform/map/MapProjection.h"

std::shared_ptr<MapPolyline> MapPolyline::polylineWithCoordinates(const MapCoordinate* coordinates,
                                                                  qsizetype count)
{
    QList<MapCoordinate> list;
    if (coordinates && count > 0)
        list = QList<MapCoordinate>(coordinates, coordinates + count);
    return std::make_shared<MapPolyline>(list);
}

MapPolyline::MapPolyline(const QList<MapCoordinate>& coordinates)
{
    m_points.reserve(coordinates.size());
    double left = 1, top = 1, right = 0, bottom = 0;
    for (const MapCoordinate& coordinate : coordinates) {
        const QPointF p = MapProjection::toWorld(coordinate);
        m_points.append(p);
        left = qMin(left, p.x());
        right = qMax(right, p.x());
        top = qMin(top, p.y());
        bottom = qMax(bottom, p.y());
    }
    if (!m_points.isEmpty())
        m_bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
}

MapCoordinate MapPolyline::coordinate(qsizetype index) const
{
    return MapProjection::fromWorld(m_points.at(index));
}

QList<MapCoordinate> MapPolyline::coordinates() const
{
    QList<MapCoordinate> list;
    list.reserve(m_points.size());
    for (const QPointF& p : m_points)
        list.append(MapProjection::fromWorld(p));
    return list;
}
