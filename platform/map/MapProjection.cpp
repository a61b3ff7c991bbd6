#include "platform/map/MapProjection.h"

#include <QtMath>
#include <cmath>

namespace MapProjection {

QPointF toWorld(const MapCoordinate& coordinate)
{
    const double latitude = qBound(-MaxLatitude, coordinate.latitude, MaxLatitude);
    const double phi = qDegreesToRadians(latitude);
    const double x = (coordinate.longitude + 180.0) / 360.0;
    const double y = 0.5 - std::log(std::tan(M_PI / 4 + phi / 2)) / (2 * M_PI);
    return QPointF(x, y);
}

MapCoordinate fromWorld(const QPointF& world)
{
    const double longitude = world.x() * 360.0 - 180.0;
    const double latitude =
        qRadiansToDegrees(2 * std::atan(std::exp((0.5 - world.y()) * 2 * M_PI)) - M_PI / 2);
    return {latitude, longitude};
}

double worldSize(double zoom)
{
    return TileSize * std::exp2(zoom);
}

double metersPerPoint(double latitude, double zoom)
{
    return std::cos(qDegreesToRadians(latitude)) * 2 * M_PI * EarthRadius / worldSize(zoom);
}

} // namespace MapProjection
