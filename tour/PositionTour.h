#pragma once

class Tour;

// The position section's part of the headless tour: the track as it grows, the riders
// nearby with one rider's card, and the picture the share button sent, read back from the
// outbox.
namespace PositionTour {

void addAll(Tour& tour);

} // namespace PositionTour
