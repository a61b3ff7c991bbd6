#pragma once

#include "views/GaugeView.h"

// A plain grey ring open at the bottom that carries no value; the progress
// test screen shows it.
class FKCustomView : public GaugeView
{
    Q_OBJECT

public:
    using GaugeView::GaugeView;

protected:
    void draw(QPainter& painter, const QSizeF& size) const override;
    // A drag over the ring asks for a redraw; the picture does not depend on it.
    void mouseMoveEvent(QMouseEvent* event) override;
};
