#include "screens/ScreenCatalog.h"

#include "platform/ui/PageViewController.h"
#include "platform/ui/Storyboard.h"
#include "screens/AppContext.h"
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

#include <type_traits>

namespace ScreenCatalog {

namespace {

template <class T> void add(Storyboard& storyboard, AppContext& context, const char* identifier)
{
    if constexpr (std::is_constructible_v<T, AppContext&>)
        storyboard.registerScreen(QString::fromLatin1(identifier),
                                  [&context] { return new T(context); });
    else
        storyboard.registerScreen<T>(QString::fromLatin1(identifier));
}

void registerScreens(Storyboard& storyboard, AppContext& context)
{
    add<ViewController>(storyboard, context, "ViewController");
    add<ViewControllerDevID>(storyboard, context, "ViewControllerDevID");
    add<ViewControllerLogin>(storyboard, context, "ViewControllerLogin");
    add<ViewControllerRegister>(storyboard, context, "ViewControllerRegister");
    add<ViewControllerFindPwd>(storyboard, context, "ViewControllerFindPwd");
    add<PageViewController>(storyboard, context, "PageViewController");
    add<PageViewController>(storyboard, context, "PageViewControllerPos");
    add<PageViewController>(storyboard, context, "PageViewControllerMine");
    add<ViewControllerSet>(storyboard, context, "ViewControllerSet");
    add<AllOfSetPages1>(storyboard, context, "AllOfSetPages1");
    add<AllOfSetPages2>(storyboard, context, "AllOfSetPages2");
    add<AllOfSetPages3>(storyboard, context, "AllOfSetPages3");
    add<AllOfSetPages4>(storyboard, context, "AllOfSetPages4");
    add<AllOfSetPages5>(storyboard, context, "AllOfSetPages5");
    add<ViewControllerPos>(storyboard, context, "ViewControllerPos");
    add<AllOfPosPages1>(storyboard, context, "AllOfPosPages1");
    add<AllOfPosPages2>(storyboard, context, "AllOfPosPages2");
    add<ViewControllerTestMap>(storyboard, context, "ViewControllerTestMap");
    add<ViewControllerMine>(storyboard, context, "ViewControllerMine");
    add<AllOfMinePages1>(storyboard, context, "AllOfMinePages1");
    add<AllOfMinePages2>(storyboard, context, "AllOfMinePages2");
    add<AllOfMinePages3>(storyboard, context, "AllOfMinePages3");
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

void install(Storyboard& storyboard, AppContext& context)
{
    registerScreens(storyboard, context);
    registerSegues(storyboard);
}

} // namespace ScreenCatalog
