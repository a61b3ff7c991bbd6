#pragma once

// A position in decimal degrees, with the small amount of geometry the
// simulated tracker needs.
struct GeoPoint
{
    double lat = 0;
    double lng = 0;

    // Metres between two positions (haversine on a sphere of radius 6378137 m).
    static double distance(const GeoPoint& a, const GeoPoint& b);
    // The position east and north of this one by the given metres.
    GeoPoint offset(double eastMetres, double northMetres) const;
    // The position a share t (0 to 1) of the way from a to b.
    static GeoPoint between(const GeoPoint& a, const GeoPoint& b, double t);
};
