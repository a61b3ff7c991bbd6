#pragma once

#include <QObject>
#include <QPointF>
#include <functional>

class QWidget;

// A single tap on a view: press and release inside it without dragging away. Attached to a
// view, it makes the view take its presses (so a pager under it does not start a swipe).
class TapGestureRecognizer : public QObject
{
    Q_OBJECT

public:
    TapGestureRecognizer(QWidget* view, std::function<void()> action);

    QWidget* view() const;
    // The tap, as the mouse or a finger gives it (tests and the tour call it directly).
    void tap();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_action;
    QPointF m_pressAt;
    bool m_pressed = false;
};
