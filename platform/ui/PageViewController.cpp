#include "platform/ui/PageViewController.h"

#include <QMouseEvent>
#include <cmath>

namespace {

// How far a finger moves before the drag counts as a swipe, and how far a released swipe
// must have gone to complete.
constexpr qreal DragStart = 8.0;
constexpr qreal CompleteFraction = 0.25;
constexpr int SlideMs = 220;

PageViewController::NavigationDirection opposite(PageViewController::NavigationDirection d)
{
    return d == PageViewController::NavigationDirection::Forward
               ? PageViewController::NavigationDirection::Reverse
               : PageViewController::NavigationDirection::Forward;
}

} // namespace

PageViewController::PageViewController(QWidget* parent) : Screen(parent) {}

void PageViewController::adopt(Screen* page)
{
    // Loaded from its first page on, so every change of size lays the pages out.
    loadViewIfNeeded();
    // A page loads before it joins the pager: the views it makes while loading then show
    // with it (a widget made inside one already on display would stay hidden).
    page->setBaseGeometry(rect());
    page->loadViewIfNeeded();
    if (page->parentScreen() != this)
        addChildScreen(page);
    page->setBaseGeometry(rect());
}

void PageViewController::setViewControllers(const QList<Screen*>& pages,
                                            NavigationDirection direction, bool animated,
                                            std::function<void(bool)> completion)
{
    if (isSwiping())
        endSwipe(false);
    finishAnimations();
    Screen* next = pages.value(0);
    m_lastDirection = direction;
    m_lastAnimated = animated;
    if (next && next != m_visible) {
        Screen* previous = m_visible;
        adopt(next);
        const bool shown = isAppeared();
        if (shown && previous)
            previous->beginAppearanceTransition(false);
        if (shown)
            next->beginAppearanceTransition(true);
        m_visible = next;
        showOnly(next);
        if (shown && previous)
            previous->endAppearanceTransition();
        if (shown)
            next->endAppearanceTransition();
        if (animated && previous)
            slide(previous, next, direction, 0);
    }
    if (completion)
        completion(true);
}

QList<Screen*> PageViewController::viewControllers() const
{
    return m_visible ? QList<Screen*>{m_visible.data()} : QList<Screen*>{};
}

QList<Screen*> PageViewController::appearanceChildren() const
{
    QList<Screen*> pages;
    if (m_visible)
        pages.append(m_visible);
    if (m_pending)
        pages.append(m_pending);
    return pages;
}

void PageViewController::showOnly(Screen* page)
{
    for (Screen* child : childScreens()) {
        if (child == page) {
            child->setBaseGeometry(rect());
            child->show();
        } else {
            child->hide();
        }
    }
}

void PageViewController::viewDidLayoutSubviews()
{
    for (Screen* child : childScreens())
        child->setBaseGeometry(rect());
    if (isSwiping())
        positionPages(m_fraction);
}

bool PageViewController::beginSwipe(NavigationDirection direction)
{
    finishAnimations();
    if (isSwiping() || !m_visible || !m_dataSource)
        return false;
    Screen* page = direction == NavigationDirection::Forward
                       ? m_dataSource->viewControllerAfterViewController(this, m_visible)
                       : m_dataSource->viewControllerBeforeViewController(this, m_visible);
    if (!page || page == m_visible)
        return false;
    adopt(page);
    m_pending = page;
    m_swipeDirection = direction;
    if (m_delegate)
        m_delegate->willTransitionToViewControllers(this, {page});
    if (isAppeared()) {
        m_visible->beginAppearanceTransition(false);
        page->beginAppearanceTransition(true);
    }
    page->show();
    positionPages(0);
    return true;
}

void PageViewController::updateSwipe(qreal fraction)
{
    if (isSwiping())
        positionPages(qBound<qreal>(0, fraction, 1));
}

void PageViewController::positionPages(qreal fraction)
{
    m_fraction = fraction;
    const int w = width();
    const int shift = int(std::lround(w * fraction));
    const int sign = m_swipeDirection == NavigationDirection::Forward ? -1 : 1;
    if (m_visible)
        m_visible->setBaseGeometry(rect().translated(sign * shift, 0));
    if (m_pending)
        m_pending->setBaseGeometry(rect().translated(sign * (shift - w), 0));
}

void PageViewController::endSwipe(bool complete)
{
    if (!isSwiping())
        return;
    Screen* previous = m_visible;
    Screen* pending = m_pending;
    m_pending = nullptr;
    const bool shown = isAppeared();
    if (complete) {
        m_visible = pending;
        m_lastDirection = m_swipeDirection;
        m_lastAnimated = true;
        if (shown) {
            previous->endAppearanceTransition();
            pending->endAppearanceTransition();
        }
    } else if (shown) {
        pending->beginAppearanceTransition(false);
        previous->beginAppearanceTransition(true);
        pending->endAppearanceTransition();
        previous->endAppearanceTransition();
    }
    const qreal done = m_fraction;
    m_fraction = 0;
    showOnly(m_visible);
    if (complete)
        slide(previous, pending, m_swipeDirection, done);
    else
        slide(pending, previous, opposite(m_swipeDirection), 1 - done);
    if (m_delegate)
        m_delegate->didFinishAnimating(this, true, {previous}, complete);
}

void PageViewController::slide(Screen* leaving, Screen* arriving, NavigationDirection direction,
                               qreal from)
{
    if (!isVisible() || !leaving || !arriving || leaving == arriving || from >= 1)
        return;
    QPointer<Screen> out(leaving);
    QPointer<Screen> in(arriving);
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(from);
    animation->setEndValue(1.0);
    animation->setDuration(int(SlideMs * (1 - from)));
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this, out, in, direction](const QVariant& value) {
                placeSlide(out, in, direction, value.toReal());
            });
    connect(animation, &QVariantAnimation::finished, this, [this, out] {
        if (out && out != m_visible)
            out->hide();
        if (m_visible)
            m_visible->setBaseGeometry(rect());
    });
    out->show();
    placeSlide(out, in, direction, from);
    m_slide = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void PageViewController::placeSlide(Screen* leaving, Screen* arriving,
                                    NavigationDirection direction, qreal fraction)
{
    const int w = width();
    const int shift = int(std::lround(w * fraction));
    const int sign = direction == NavigationDirection::Forward ? -1 : 1;
    if (leaving)
        leaving->setBaseGeometry(rect().translated(sign * shift, 0));
    if (arriving)
        arriving->setBaseGeometry(rect().translated(sign * (shift - w), 0));
}

void PageViewController::finishAnimations()
{
    if (isSliding())
        m_slide->setCurrentTime(m_slide->duration());
    Screen::finishAnimations();
}

void PageViewController::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    m_dragTried = false;
    m_pressAt = event->position();
    event->accept();
}

void PageViewController::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const QPointF delta = event->position() - m_pressAt;
    if (!isSwiping() && !m_dragTried && std::abs(delta.x()) > DragStart &&
        std::abs(delta.x()) > std::abs(delta.y())) {
        m_dragTried = true;
        beginSwipe(delta.x() < 0 ? NavigationDirection::Forward : NavigationDirection::Reverse);
    }
    if (isSwiping() && width() > 0) {
        const qreal along =
            m_swipeDirection == NavigationDirection::Forward ? -delta.x() : delta.x();
        updateSwipe(along / width());
    }
}

void PageViewController::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressed = false;
    if (isSwiping())
        endSwipe(m_fraction >= CompleteFraction);
    event->accept();
}
