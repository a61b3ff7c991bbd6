#pragma once

#include <QObject>
#include <QPointF>
#include <functional>

class QWidget;

// A drag on a view, reported on every step with its state and the finger's position in
// the view. A drag that the system takes away ends as cancelled.
class PanGestureRecognizer : public QObject
{
    Q_OBJECT

public:
    enum class State { Possible, Began, Changed, Ended, Cancelled };

    PanGestureRecognizer(QWidget* view, std::function<void(PanGestureRecognizer*)> action);

    QWidget* view() const;
    State state() const { return m_state; }
    // The finger's position in `in` (the recognizer's view when none).
    QPointF locationInView(QWidget* in = nullptr) const;
    void setMaximumNumberOfTouches(int touches) { m_maxTouches = touches; }
    int maximumNumberOfTouches() const { return m_maxTouches; }

    // Drives the recogniser as a finger would (tests and the tour).
    void drive(State state, const QPointF& positionInView);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(PanGestureRecognizer*)> m_action;
    State m_state = State::Possible;
    QPointF m_position;
    QPointF m_pressAt;
    bool m_pressed = false;
    int m_maxTouches = 1;
};
