#pragma once

#include "views/GaugeView.h"

// The battery page's cylinder: an upright battery filled to the charge ratio,
// red at a quarter or less and green above, with the percentage written on it.
class PowerCustomView : public GaugeView
{
    Q_OBJECT
    Q_PROPERTY(float PowerProcess READ getPowerProcess WRITE setPowerProcess)

public:
    using GaugeView::GaugeView;

    float getPowerProcess() const { return m_process; }
    void setPowerProcess(float process);

    // The percentage as written on the cylinder: truncated, 99 and above read 100.
    static int shownPercent(float process);

protected:
    void draw(QPainter& painter, const QSizeF& size) const override;

private:
    static void drawPercent(QPainter& painter, const QPointF& middle, float process);

    float m_process = 0;
};
