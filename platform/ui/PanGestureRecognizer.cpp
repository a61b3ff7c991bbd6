#include "platform/ui/PanGestureRecognizer.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

constexpr qreal PanStart = 4.0;

} // namespace

PanGestureRecognizer::PanGestureRecognizer(QWidget* view,
                                           std::function<void(PanGestureRecognizer*)> action)
    : QObject(view), m_action(std::move(action))
{
    view->installEventFilter(this);
}

QWidget* PanGestureRecognizer::view() const
{
    return qobject_cast<QWidget*>(parent());
}

QPointF PanGestureRecognizer::locationInView(QWidget* in) const
{
    if (!in || in == view())
        return m_position;
    return QPointF(view()->mapTo(in->window(), m_position.toPoint()) -
                   in->mapTo(in->window(), QPoint(0, 0)));
}

void PanGestureRecognizer::drive(State state, const QPointF& positionInView)
{
    m_state = state;
    m_position = positionInView;
    if (m_action)
        m_action(this);
    if (state == State::Ended || state == State::Cancelled)
        m_state = State::Possible;
}

bool PanGestureRecognizer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != parent())
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
        if (!m_pressed)
            return true;
        if (m_state == State::Possible) {
            if ((mouse->position() - m_pressAt).manhattanLength() < PanStart)
                return true;
            drive(State::Began, mouse->position());
        } else {
            drive(State::Changed, mouse->position());
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_pressed = false;
        if (m_state == State::Began || m_state == State::Changed)
            drive(State::Ended, mouse->position());
        return true;
    }
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
        if (m_state == State::Began || m_state == State::Changed)
            drive(State::Cancelled, m_position);
        m_pressed = false;
        return QObject::eventFilter(watched, event);
    default:
        return QObject::eventFilter(watched, event);
    }
}
