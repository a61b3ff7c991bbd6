#pragma once

#include "platform/map/MapOverlay.h"

class MapCamera;
class QPainter;

// Draws one overlay for the map that asked its delegate for it.
class MapOverlayRenderer
{
public:
    explicit MapOverlayRenderer(MapOverlayPtr overlay) : m_overlay(std::move(overlay)) {}
    virtual ~MapOverlayRenderer() = default;

    const MapOverlayPtr& overlay() const { return m_overlay; }
    virtual void draw(QPainter& painter, const MapCamera& camera) const = 0;

private:
    MapOverlayPtr m_overlay;
};
