#pragma once

class Tour;

// The tour's walk through the account screens: a first start that binds a device without an
// account and registers it (the mailed code read from the simulator's outbox), and a
// returning rider who switches to the seeded device, mistypes the password, recovers it and
// logs in.
namespace AccountTour {

// From the welcome screen of a fresh store to the dashboard, through registration.
void addFirstStart(Tour& tour);
// From any screen: the app starts over, switches device, recovers the password, logs in.
void addReturningRider(Tour& tour);

} // namespace AccountTour
