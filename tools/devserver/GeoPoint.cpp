#include "tools/devserver/GeoPoint.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kEarthRadius = 6378137.0;
constexpr double kRad = std::numbers::pi / 180.0;
} // namespace

double GeoPoint::distance(const GeoPoint& a, const GeoPoint& b)
{
    const double dLat = (a.lat - b.lat) * kRad;
    const double dLng = (a.lng - b.lng) * kRad;
    const double h = std::pow(std::sin(dLat / 2), 2) + std::cos(a.lat * kRad) *
                                                           std::cos(b.lat * kRad) *
                                                           std::pow(std::sin(dLng / 2), 2);
    return 2 * kEarthRadius * std::asin(std::sqrt(h));
}

GeoPoint GeoPoint::offset(double eastMetres, double northMetres) const
{
    const double metresPerDegree = kEarthRadius * kRad;
    return GeoPoint{lat + northMetres / metresPerDegree,
                    lng + eastMetres / (metresPerDegree * std::cos(lat * kRad))};
}

GeoPoint GeoPoint::between(const GeoPoint& a, const GeoPoint& b, double t)
{
    return GeoPoint{a.lat + (b.lat - a.lat) * t, a.lng + (b.lng - a.lng) * t};
}
