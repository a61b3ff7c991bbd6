#pragma once

class Tour;

// The rider's walk through the app for the headless run: the account screens, the three
// sections with their pages, an alert, and the galleries. Each part of the app adds its
// steps here.
namespace TourSteps {

void addAll(Tour& tour);

} // namespace TourSteps
