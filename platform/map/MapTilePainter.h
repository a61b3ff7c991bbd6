#pragma once

class QPainter;

// The map's own background, drawn without any tile server: land, water, parks, city
// blocks with buildings, and streets of three classes, all laid out by a fixed hash of
// their world position, so every tile meets its neighbours and a place always looks the
// same. Detail follows the zoom as on a street map.
namespace MapTilePainter {

constexpr int TileSize = 256;

// Draws tile x/y of zoom z into the square (0, 0, TileSize, TileSize) of the painter.
void paint(QPainter& painter, int z, int x, int y);

} // namespace MapTilePainter
