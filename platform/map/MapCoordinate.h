#pragma once

// A position on the earth in decimal degrees (WGS 84).
struct MapCoordinate
{
    double latitude = 0;
    double longitude = 0;

    friend bool operator==(const MapCoordinate&, const MapCoordinate&) = default;
};
