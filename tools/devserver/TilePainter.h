#pragma once

#include <QByteArray>
#include <QString>

// Draws the simulator's map tiles: land, a park or a pond here and there and streets of
// three classes on a grid of the whole world, so neighbouring tiles meet and a client
// can show a map without leaving the machine.
class TilePainter
{
public:
    static constexpr int kSize = 256;
    static constexpr int kMaxZoom = 19;

    // PNG bytes of tile "/tiles/z/x/y.png"; empty for a path that names no tile.
    static QByteArray pngForPath(const QString& path);
    static QByteArray png(int z, int x, int y);
};
