#pragma once

#include <QByteArray>

// The geofence page: a self-contained HTML page with the fence drawn as an
// inline SVG circle around the device's position, its radius written on it.
class TestMapPage
{
public:
    static QByteArray html(int radiusMetres, double lng, double lat);

private:
    static QByteArray radiusText(int radiusMetres);
};
