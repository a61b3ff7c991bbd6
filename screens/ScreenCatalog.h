#pragma once

class Storyboard;

// The app's storyboard content: every screen and page by identifier, and every segue with
// its destination and kind. A screen class joins the app by one line in ScreenCatalog.cpp.
namespace ScreenCatalog {

// Identifier of the first screen of every run (the welcome screen).
inline constexpr const char* FirstScreen = "ViewController";

void install(Storyboard& storyboard);

} // namespace ScreenCatalog
