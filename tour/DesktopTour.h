#pragma once

class Tour;

// The walk's look at what the desktop window adds around the phone screen: the status
// bar in its three states, the alarm log and the ride list.
namespace DesktopTour {

// The ride list, after the position section has received a ride.
void addRideList(Tour& tour);
void addStatusBarAndAlarmLog(Tour& tour);

} // namespace DesktopTour
