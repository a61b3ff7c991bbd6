#include "platform/map/MapPolylineList.h"

MapPolylineList::MapPolylineList() : m_store(std::make_shared<MapPolylineStore>()) {}

MapPolyline MapPolylineList::append(const MapCoordinate* coordinates, qsizetype count)
{
    return at(m_store->append(coordinates, count));
}

void MapPolylineList::clear()
{
    m_store = std::make_shared<MapPolylineStore>();
}
