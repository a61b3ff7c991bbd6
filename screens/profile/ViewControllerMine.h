#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Screen.h"
#include "store/RiderInfo.h"

#include <QList>
#include <QPointer>

struct AppContext;

class Timer;

// The profile and ranking section: a pager over the profile, the ranking list and the
// ranking map, the tabs to the other sections, and a one-second countdown that keeps the
// weekly ranking cache fresh while the section is on screen (asking on every tick until an
// answer lists riders, then again after an hour of ticks).
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
    // One tick of the ranking countdown.
    void timerFired();
    // Merges one ranking answer into the cache; an empty one changes nothing.
    void mergeRanking(const QList<RiderInfo>& riders);

    Screen* viewControllerBeforeViewController(PageViewController* pager, Screen* page) override;
    Screen* viewControllerAfterViewController(PageViewController* pager, Screen* page) override;
    void willTransitionToViewControllers(PageViewController* pager,
                                         const QList<Screen*>& pending) override;

    PageViewController* pageViewController() const { return m_pageViewController; }
    QList<Screen*> AllOfMinePages() const;
    ImageView* PosImage() const { return m_PosImage; }
    ImageView* SetImage() const { return m_SetImage; }
    Timer* timer() const { return m_timer; }
    quint64 CurpageIndex() const { return m_CurpageIndex; }
    qint64 PaiMingCount() const { return m_PaiMingCount; }
    qint64 PaiMingCountMax() const { return m_PaiMingCountMax; }
    bool isRequestInFlight() const { return m_requestInFlight; }

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
    void requestRanking();

    AppContext& m_app;
    QPointer<ImageView> m_PosImage;
    QPointer<ImageView> m_SetImage;
    QPointer<PageViewController> m_pageViewController;
    // Pages the pager has shown are its children and may go before this screen does.
    QList<QPointer<Screen>> m_AllOfMinePages;
    quint64 m_CurpageIndex = 0;
    Timer* m_timer = nullptr;
    qint64 m_PaiMingCount = 0;
    qint64 m_PaiMingCountMax = 3600;
    bool m_requestInFlight = false;
};
