#pragma once

#include "platform/map/MapPolyline.h"

// What the map lays over its background: polylines, held as small values.
using MapOverlay = MapPolyline;
