#pragma once

class Tour;

// The walk's look at what the desktop window adds around the phone screen: the status
// bar in its three states, the alarm log and the ride list.
namespace DesktopTour {

void addAll(Tour& tour);

} // namespace DesktopTour
