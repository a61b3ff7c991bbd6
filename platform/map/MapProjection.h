#pragma once

#include "platform/map/MapCoordinate.h"

#include <QPointF>

// Web Mercator: positions as world points in [0, 1] x [0, 1] (x east, y south), and the
// scale of the map at a zoom level (256 points for the whole world at zoom 0).
namespace MapProjection {

constexpr double MaxLatitude = 85.0511287798066;
constexpr double TileSize = 256.0;
constexpr double EarthRadius = 6378137.0;

QPointF toWorld(const MapCoordinate& coordinate);
MapCoordinate fromWorld(const QPointF& world);
// Points per world unit at `zoom`.
double worldSize(double zoom);
// Metres covered by one point at `latitude` and `zoom`.
double metersPerPoint(double latitude, double zoom);

} // namespace MapProjection
