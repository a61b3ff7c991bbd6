#pragma once

#include "platform/ui/Screen.h"

#include <QPointF>
#include <QVariantAnimation>
#include <functional>

class PageViewController;

// Supplies the pages on either side of a given one; none at the ends stops the paging.
class PageViewControllerDataSource
{
public:
    virtual ~PageViewControllerDataSource() = default;
    virtual Screen* viewControllerBeforeViewController(PageViewController* pager, Screen* page) = 0;
    virtual Screen* viewControllerAfterViewController(PageViewController* pager, Screen* page) = 0;
};

// Hears of page changes made by swiping.
class PageViewControllerDelegate
{
public:
    virtual ~PageViewControllerDelegate() = default;
    // A swipe has begun towards `pending`; it may still be abandoned.
    virtual void willTransitionToViewControllers(PageViewController*, const QList<Screen*>&) {}
    virtual void didFinishAnimating(PageViewController*, bool /*finished*/,
                                    const QList<Screen*>& /*previous*/, bool /*completed*/)
    {
    }
};

// A pager showing one page at a time. Pages come from the data source as the rider drags
// sideways with the mouse or a finger, or are set directly; the visible page gets the
// pager's appearance events and the pages it replaces get their disappearance.
class PageViewController : public Screen
{
    Q_OBJECT

public:
    enum class NavigationDirection { Forward, Reverse };

    explicit PageViewController(QWidget* parent = nullptr);

    void setDataSource(PageViewControllerDataSource* source) { m_dataSource = source; }
    void setDelegate(PageViewControllerDelegate* delegate) { m_delegate = delegate; }

    // Makes the first page of `pages` the one visible page.
    void setViewControllers(const QList<Screen*>& pages, NavigationDirection direction,
                            bool animated, std::function<void(bool)> completion = {});
    QList<Screen*> viewControllers() const;
    Screen* visiblePage() const { return m_visible; }
    NavigationDirection lastDirection() const { return m_lastDirection; }
    bool lastAnimated() const { return m_lastAnimated; }

    // The steps of a swipe, as the drag drives them (also for tests and the tour). begin
    // asks the data source and answers false when there is no page that way.
    bool beginSwipe(NavigationDirection direction);
    void updateSwipe(qreal fraction);
    void endSwipe(bool complete);
    bool isSwiping() const { return !m_pending.isNull(); }
    Screen* pendingPage() const { return m_pending; }
    bool isSliding() const { return m_slide && m_slide->state() == QAbstractAnimation::Running; }
    void finishAnimations() override;

protected:
    QList<Screen*> appearanceChildren() const override;
    void viewDidLayoutSubviews() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void adopt(Screen* page);
    void showOnly(Screen* page);
    void positionPages(qreal fraction);
    // Moves `arriving` in and `leaving` out, from `from` (0..1) of the way; the page state is
    // already final, this is only the picture.
    void slide(Screen* leaving, Screen* arriving, NavigationDirection direction, qreal from);
    void placeSlide(Screen* leaving, Screen* arriving, NavigationDirection direction,
                    qreal fraction);

    PageViewControllerDataSource* m_dataSource = nullptr;
    PageViewControllerDelegate* m_delegate = nullptr;
    QPointer<Screen> m_visible;
    QPointer<Screen> m_pending;
    NavigationDirection m_swipeDirection = NavigationDirection::Forward;
    NavigationDirection m_lastDirection = NavigationDirection::Forward;
    bool m_lastAnimated = false;
    qreal m_fraction = 0;
    QPointF m_pressAt;
    bool m_pressed = false;
    bool m_dragTried = false;
    QPointer<QVariantAnimation> m_slide;
};
