#include "screens/ScreenCatalog.h"

#include "platform/ui/PageViewController.h"
#include "platform/ui/Storyboard.h"
#include "screens/account/ViewController.h"
#include "screens/account/ViewControllerDevID.h"
#include "screens/account/ViewControllerFindPwd.h"
#include "screens/account/ViewControllerLogin.h"
#include "screens/account/ViewControllerRegister.h"
#include "screens/dashboard/AllOfSetPages1.h"
#include "screens/dashboard/AllOfSetPages2.h"
#include "screens/dashboard/AllOfSetPages3.h"
#include "screens/dashboard/AllOfSetPages4.h"
#include "screens/dashboard/AllOfSetPages5.h"
#include "screens/dashboard/ViewControllerSet.h"
#include "screens/position/AllOfPosPages1.h"
#include "screens/position/AllOfPosPages2.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/position/ViewControllerTestMap.h"
#include "screens/profile/AllOfMinePages1.h"
#include "screens/profile/AllOfMinePages2.h"
#include "screens/profile/AllOfMinePages3.h"
#include "screens/profile/ViewControllerMine.h"

// Screen classes are added here as they are written, one include and one line each:
//   #include "screens/account/ViewControllerLogin.h"
//   storyboard.registerScreen<ViewControllerLogin>("ViewControllerLogin");
// Identifiers without a class show a placeholder, so navigation works before every screen
// exists.

namespace ScreenCatalog {

namespace {

void registerScreens(Storyboard& storyboard)
{
    storyboard.registerScreen<ViewController>("ViewController");
    storyboard.registerScreen<ViewControllerDevID>("ViewControllerDevID");
    storyboard.registerScreen<ViewControllerLogin>("ViewControllerLogin");
    storyboard.registerScreen<ViewControllerRegister>("ViewControllerRegister");
    storyboard.registerScreen<ViewControllerFindPwd>("ViewControllerFindPwd");
    storyboard.registerScreen<PageViewController>("PageViewController");
    storyboard.registerScreen<PageViewController>("PageViewControllerPos");
    storyboard.registerScreen<PageViewController>("PageViewControllerMine");
    storyboard.registerScreen<ViewControllerSet>("ViewControllerSet");
    storyboard.registerScreen<AllOfSetPages1>("AllOfSetPages1");
    storyboard.registerScreen<AllOfSetPages2>("AllOfSetPages2");
    storyboard.registerScreen<AllOfSetPages3>("AllOfSetPages3");
    storyboard.registerScreen<AllOfSetPages4>("AllOfSetPages4");
    storyboard.registerScreen<AllOfSetPages5>("AllOfSetPages5");
    storyboard.registerScreen<ViewControllerPos>("ViewControllerPos");
    storyboard.registerScreen<AllOfPosPages1>("AllOfPosPages1");
    storyboard.registerScreen<AllOfPosPages2>("AllOfPosPages2");
    storyboard.registerScreen<ViewControllerTestMap>("ViewControllerTestMap");
    storyboard.registerScreen<ViewControllerMine>("ViewControllerMine");
    storyboard.registerScreen<AllOfMinePages1>("AllOfMinePages1");
    storyboard.registerScreen<AllOfMinePages2>("AllOfMinePages2");
    storyboard.registerScreen<AllOfMinePages3>("AllOfMinePages3");
}

void registerSegues(Storyboard& storyboard)
{
    // Welcome and binding. The welcome screen stays underneath the account screens.
    storyboard.registerSegue("GoToDevID", "ViewControllerDevID", SegueKind::Present);
    storyboard.registerSegue("WelcomGoToLogin", "ViewControllerLogin", SegueKind::Present);
    storyboard.registerSegue("WelcomGoToRegister", "ViewControllerRegister", SegueKind::Present);
    storyboard.registerSegue("GoToLogin", "ViewControllerLogin", SegueKind::Replace);
    storyboard.registerSegue("GoToRegister", "ViewControllerRegister", SegueKind::Replace);
    // Password recovery sits over the login screen and returns to it.
    storyboard.registerSegue("GoToFindPwd", "ViewControllerFindPwd", SegueKind::Present);
    storyboard.registerSegue("ReturnToLogin", "ViewControllerLogin", SegueKind::BackTo);
    // Switching the user starts over at a fresh welcome screen.
    storyboard.registerSegue("LoginGoToWelcom", "ViewController", SegueKind::Restart);
    // Into the sections: the account screens are done with.
    storyboard.registerSegue("GoToSet", "ViewControllerSet", SegueKind::EnterSection);
    storyboard.registerSegue("GoToSet2", "ViewControllerSet", SegueKind::EnterSection);
    // Between the sections: one section screen on display at a time.
    storyboard.registerSegue("SetToPos", "ViewControllerPos", SegueKind::Replace);
    storyboard.registerSegue("SetToMine", "ViewControllerMine", SegueKind::Replace);
    storyboard.registerSegue("PosToSet", "ViewControllerSet", SegueKind::Replace);
    storyboard.registerSegue("PosToMine", "ViewControllerMine", SegueKind::Replace);
    storyboard.registerSegue("MineToPos", "ViewControllerPos", SegueKind::Replace);
    storyboard.registerSegue("MineToSet", "ViewControllerSet", SegueKind::Replace);
}

} // namespace

void install(Storyboard& storyboard)
{
    registerScreens(storyboard);
    registerSegues(storyboard);
}

} // namespace ScreenCatalog
