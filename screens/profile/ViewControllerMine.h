#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Screen.h"
#include "poll/RankingFeed.h"

#include <QList>
#include <QPointer>

struct AppContext;

// The profile and ranking section: a pager over the profile, the ranking list and the
// ranking map, the tabs to the other sections, and a ranking feed that keeps the weekly
// ranking cache fresh while the section is on screen.
class ViewControllerMine : public Screen,
                           public PageViewControllerDataSource,
                           public PageViewControllerDelegate
{
    Q_OBJECT

public:
    static constexpr int PageCount = 3;

    explicit ViewControllerMine(AppContext& context, QWidget* parent = nullptr);
    ~ViewControllerMine() override;

    void tapPagePos();
    void tapPageSet();
    // Shows the ranking map for the rider chosen in the list.
    void changePage();

    Screen* viewControllerBeforeViewController(PageViewController* pager, Screen* page) override;
    Screen* viewControllerAfterViewController(PageViewController* pager, Screen* page) override;
    void willTransitionToViewControllers(PageViewController* pager,
                                         const QList<Screen*>& pending) override;

    RankingFeed* rankingFeed() const { return m_rankingFeed; }

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidDisappear() override;
    void didRelease() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildTabs();
    void buildPager();
    void observe();
    void showPage(int index);
    QList<Screen*> AllOfMinePages() const;

    AppContext& m_app;
    QPointer<ImageView> m_PosImage;
    QPointer<ImageView> m_SetImage;
    QPointer<PageViewController> m_pageViewController;
    // Pages the pager has shown are its children and may go before this screen does.
    QList<QPointer<Screen>> m_AllOfMinePages;
    RankingFeed* m_rankingFeed = nullptr;
};
