#include "platform/map/MapAnnotation.h"

#include "platform/map/MapProjection.h"

QPointF MapAnnotation::worldPoint() const
{
    if (!m_worldKnown) {
        m_world = MapProjection::toWorld(coordinate());
        m_worldKnown = true;
    }
    return m_world;
}

void MapAnnotation::coordinateWasSet()
{
    m_worldKnown = false;
    emit coordinateChanged();
}
