#pragma once

class Storyboard;
struct AppContext;

// The app's storyboard content: every screen and page by identifier, and every segue with
// its destination and kind. A screen class joins the app by one line in ScreenCatalog.cpp;
// a screen whose constructor takes the AppContext gets the one handed to install().
namespace ScreenCatalog {

// Identifier of the first screen of every run (the welcome screen).
inline constexpr const char* FirstScreen = "ViewController";

// `context` must outlive the storyboard's screens.
void install(Storyboard& storyboard, AppContext& context);

} // namespace ScreenCatalog
