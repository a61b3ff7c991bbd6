#pragma once

#include "platform/map/MapCoordinate.h"
#include "platform/map/MapOverlay.h"

#include <QList>
#include <QPointF>

// A line through a sequence of coordinates, kept as world points.
class MapPolyline : public MapOverlay
{
public:
    static std::shared_ptr<MapPolyline> polylineWithCoordinates(const MapCoordinate* coordinates,
                                                                qsizetype count);
    explicit MapPolyline(const QList<MapCoordinate>& coordinates);

    qsizetype pointCount() const { return m_points.size(); }
    const QList<QPointF>& worldPoints() const { return m_points; }
    MapCoordinate coordinate(qsizetype index) const;
    QList<MapCoordinate> coordinates() const;
    QRectF boundingWorldRect() const override { return m_bounds; }

private:
    QList<QPointF> m_points;
    QRectF m_bounds;
};

using MapPolylinePtr = std::shared_ptr<MapPolyline>;
