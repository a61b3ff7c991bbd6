#pragma once

#include <QRectF>
#include <memory>

// A shape laid over the map (a line through a track); a renderer from the map's delegate
// draws it.
class MapOverlay
{
public:
    virtual ~MapOverlay() = default;
    // The world rectangle the shape covers.
    virtual QRectF boundingWorldRect() const = 0;
};

using MapOverlayPtr = std::shared_ptr<MapOverlay>;
