#pragma once

#include "platform/map/MapAnnotation.h"
#include "platform/map/MapOverlay.h"
#include "platform/map/MapOverlayRenderer.h"

#include <memory>

class MapAnnotationView;
class MapView;

// What a map asks of the screen that shows it: a view for each annotation it brings into
// sight and a renderer for each overlay. None means the map's default pin, or no drawing.
class MapViewDelegate
{
public:
    virtual ~MapViewDelegate() = default;
    // The map takes the view as its child (a view taken from the reuse queue is its own).
    virtual MapAnnotationView* viewForAnnotation(MapView* mapView,
                                                 const MapAnnotationPtr& annotation)
    {
        Q_UNUSED(mapView);
        Q_UNUSED(annotation);
        return nullptr;
    }
    // Overlays of one style may all get the same renderer.
    virtual MapOverlayRendererPtr rendererForOverlay(MapView* mapView, const MapOverlay& overlay)
    {
        Q_UNUSED(mapView);
        Q_UNUSED(overlay);
        return nullptr;
    }
};
