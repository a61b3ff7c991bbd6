#pragma once

#include <QPainterPath>
#include <QWidget>

// A callout bubble: a rounded dark body with an arrow down to the mark, and a shadow.
class CustomCalloutView : public QWidget
{
    Q_OBJECT

public:
    static constexpr double ArrowHeight = 10;
    static constexpr double CornerRadius = 6;

    explicit CustomCalloutView(const QRectF& frame, QWidget* parent = nullptr);

    // The bubble's outline within `bounds`: the body above, the arrow's tip at the middle of
    // the bottom edge.
    static QPainterPath bubblePath(const QRectF& bounds);

protected:
    void paintEvent(QPaintEvent* event) override;
};
