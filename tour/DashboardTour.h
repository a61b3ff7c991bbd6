#pragma once

class Tour;

// The dashboard's part of the headless tour: each of the five pages, the speed dials after a
// drag, the alert of a speed upload the device server refuses, and the geofence page with
// children mode on and off.
namespace DashboardTour {

void addAll(Tour& tour);

} // namespace DashboardTour
