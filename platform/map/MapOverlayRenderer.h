#pragma once

#include "platform/map/MapPolylineRenderer.h"

#include <memory>

// A delegate hands out one renderer per style; the map keeps it for every overlay it draws
// in that style.
using MapOverlayRendererPtr = std::shared_ptr<MapPolylineRenderer>;
