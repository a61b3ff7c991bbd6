#pragma once

#include "platform/Timer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Screen.h"

#include <QList>
#include <QPointer>

struct AppContext;

// The riding dashboard: a pager over the five dashboard pages with its five page dots, the
// tabs to the position and profile sections, and a refresh that asks the device server for
// the status record every 30 seconds while the section is on screen and stores it, so the
// pages follow the server between status polls.
class ViewControllerSet : public Screen,
                          public PageViewControllerDataSource,
                          public PageViewControllerDelegate
{
    Q_OBJECT

public:
    static constexpr int PageCount = 5;
    static constexpr double RefreshInterval = 30.0;

    explicit ViewControllerSet(AppContext& context, QWidget* parent = nullptr);

    void tapPagePos();
    void tapPageMine();
    // The page control's value-changed action.
    void changePage();
    // One refresh: request the status record and store it when the answer is "ok".
    void timerFired();

    Screen* viewControllerBeforeViewController(PageViewController* pager, Screen* page) override;
    Screen* viewControllerAfterViewController(PageViewController* pager, Screen* page) override;
    void willTransitionToViewControllers(PageViewController* pager,
                                         const QList<Screen*>& pending) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidDisappear() override;
    void didRelease() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildTabs();
    void buildPager();
    void buildUI();

    AppContext& m_app;
    QPointer<ImageView> m_PosImage;
    QPointer<ImageView> m_MineImage;
    QPointer<ImageView> m_GrayImage;
    QPointer<ImageView> m_SetImage;
    Timer* m_timer = nullptr;
    QPointer<PageViewController> m_pageViewController;
    QList<Screen*> m_AllOfSetPages;
    PageControl* m_pageControl = nullptr;
};
