#include "platform/ui/TapGestureRecognizer.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

constexpr qreal TapSlop = 12.0;

} // namespace

TapGestureRecognizer::TapGestureRecognizer(QWidget* view, std::function<void()> action)
    : QObject(view), m_action(std::move(action))
{
    view->installEventFilter(this);
}

QWidget* TapGestureRecognizer::view() const
{
    return qobject_cast<QWidget*>(parent());
}

void TapGestureRecognizer::tap()
{
    if (m_action)
        m_action();
}

bool TapGestureRecognizer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != parent() || !view()->isEnabled())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_pressed = mouse->button() == Qt::LeftButton;
        m_pressAt = mouse->position();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF moved = mouse->position() - m_pressAt;
        if (m_pressed && moved.manhattanLength() > TapSlop)
            m_pressed = false;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool inside = view()->rect().contains(mouse->position().toPoint());
        const bool tapped = m_pressed && inside;
        m_pressed = false;
        if (tapped)
            tap();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
