#include "platform/map/MapPointAnnotation.h"

MapPointAnnotation::MapPointAnnotation(const MapCoordinate& coordinate, const QString& title,
                                       const QString& subtitle)
    : m_coordinate(coordinate), m_title(title), m_subtitle(subtitle)
{
}

void MapPointAnnotation::setCoordinate(const MapCoordinate& coordinate)
{
    m_coordinate = coordinate;
    coordinateWasSet();
}
