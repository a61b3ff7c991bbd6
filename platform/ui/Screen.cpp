#include "platform/ui/Screen.h"

#include "platform/ui/Storyboard.h"

#include <QResizeEvent>
#include <QVariantAnimation>
#include <cmath>

Screen::Screen(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground, true);
}

Screen::~Screen() = default;

void Screen::loadViewIfNeeded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    viewDidLoad();
    layoutNow();
    emit loaded();
}

void Screen::beginAppearanceTransition(bool appearing)
{
    if (appearing) {
        if (m_appearance == Appearance::Appeared || m_appearance == Appearance::Appearing)
            return;
        loadViewIfNeeded();
        m_appearance = Appearance::Appearing;
        viewWillAppear();
    } else {
        if (m_appearance == Appearance::Disappeared || m_appearance == Appearance::Disappearing)
            return;
        m_appearance = Appearance::Disappearing;
        viewWillDisappear();
    }
    for (Screen* child : appearanceChildren())
        child->beginAppearanceTransition(appearing);
}

void Screen::endAppearanceTransition()
{
    if (m_appearance == Appearance::Appearing) {
        m_appearance = Appearance::Appeared;
        viewDidAppear();
    } else if (m_appearance == Appearance::Disappearing) {
        m_appearance = Appearance::Disappeared;
        viewDidDisappear();
    } else {
        return;
    }
    for (Screen* child : appearanceChildren())
        child->endAppearanceTransition();
}

void Screen::performSegueWithIdentifier(const QString& identifier, QObject* sender)
{
    if (m_storyboard)
        m_storyboard->performSegue(this, identifier, sender);
}

void Screen::prepareForSegue(const QString&, Screen*, QObject*) {}

void Screen::addChildScreen(Screen* child, QWidget* container)
{
    if (!child || child == this)
        return;
    if (child->m_parentScreen)
        child->m_parentScreen->removeChildScreen(child);
    child->m_parentScreen = this;
    if (!child->m_storyboard)
        child->m_storyboard = m_storyboard;
    m_children.append(child);
    child->setParent(container ? container : this);
    child->show();
}

void Screen::removeChildScreen(Screen* child)
{
    m_children.removeAll(child);
    if (child && child->m_parentScreen == this)
        child->m_parentScreen = nullptr;
}

QList<Screen*> Screen::childScreens() const
{
    QList<Screen*> children;
    for (const QPointer<Screen>& child : m_children) {
        if (child)
            children.append(child);
    }
    return children;
}

QList<Screen*> Screen::appearanceChildren() const
{
    return childScreens();
}

void Screen::release()
{
    if (m_released)
        return;
    markReleased();
    if (m_holds == 0)
        deleteLater();
}

void Screen::markReleased()
{
    // Child screens hear of the release too, but go with their parent object: the parent's
    // destructor may still reach them.
    m_released = true;
    didRelease();
    for (Screen* child : childScreens()) {
        if (!child->m_released)
            child->markReleased();
    }
}

std::shared_ptr<void> Screen::keepAlive()
{
    ++m_holds;
    QPointer<Screen> self(this);
    return std::shared_ptr<void>(nullptr, [self](void*) {
        if (self)
            self->dropHold();
    });
}

void Screen::dropHold()
{
    if (--m_holds == 0 && m_released)
        deleteLater();
}

QRectF Screen::gridRect(double x, double y, double w, double h) const
{
    return QRectF(gx(x), gy(y), gx(w), gy(h));
}

void Screen::place(QWidget* widget, std::function<QRectF()> frame)
{
    if (!widget || !frame)
        return;
    m_rules.removeIf([widget](const Rule& r) { return r.widget == widget; });
    m_rules.append(Rule{widget, std::move(frame)});
    if (m_loaded)
        setFrame(widget, m_rules.last().frame());
}

QRect Screen::pixelRect(const QRectF& frame)
{
    // Both edges are rounded, so neighbouring frames that meet in points meet in pixels.
    const int left = int(std::lround(frame.left()));
    const int top = int(std::lround(frame.top()));
    const int right = int(std::lround(frame.left() + frame.width()));
    const int bottom = int(std::lround(frame.top() + frame.height()));
    return QRect(left, top, qMax(0, right - left), qMax(0, bottom - top));
}

void Screen::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_loaded && size() != m_laidOutSize)
        layoutNow();
}

void Screen::setFrame(QWidget* widget, const QRectF& frame)
{
    // A hidden widget hears of its new size only when shown; a screen is laid out at once.
    if (auto* screen = qobject_cast<Screen*>(widget))
        screen->setBaseGeometry(pixelRect(frame));
    else
        widget->setGeometry(pixelRect(frame));
}

void Screen::layoutNow()
{
    m_laidOutSize = size();
    m_rules.removeIf([](const Rule& r) { return r.widget.isNull(); });
    const QList<Rule> rules = m_rules;
    for (const Rule& rule : rules) {
        if (rule.widget)
            setFrame(rule.widget, rule.frame());
    }
    viewDidLayoutSubviews();
}

void Screen::setBaseGeometry(const QRect& frame)
{
    m_baseGeometry = frame;
    applyOffset();
}

void Screen::applyOffset()
{
    if (m_baseGeometry.isNull()) {
        m_baseGeometry = geometry();
        m_baseGeometry.translate(0, -int(std::lround(m_offset)));
    }
    setGeometry(m_baseGeometry.translated(0, int(std::lround(m_offset))));
    if (m_loaded && size() != m_laidOutSize)
        layoutNow();
}

void Screen::animateViewOffset(qreal dy, int durationMs)
{
    if (m_baseGeometry.isNull())
        m_baseGeometry = geometry();
    m_offsetTarget += dy;
    if (m_offsetAnimation)
        m_offsetAnimation->stop();
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(m_offset);
    animation->setEndValue(m_offsetTarget);
    animation->setDuration(durationMs);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_offset = value.toReal();
        applyOffset();
    });
    m_offsetAnimation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void Screen::finishAnimations()
{
    if (m_offsetAnimation)
        m_offsetAnimation->setCurrentTime(m_offsetAnimation->duration());
    m_offset = m_offsetTarget;
    applyOffset();
    for (Screen* child : childScreens())
        child->finishAnimations();
}
