#pragma once

#include "views/GaugeView.h"

#include <QColor>
#include <QPointF>

// The half-circle dial that the maximum-speed, light-speed and geofence gauges
// share: one value along the upper half circle from its left end (0) over the
// top (0.5) to its right end (1), shown by a teal marker and a black knob.
class HalfDialView : public GaugeView
{
    Q_OBJECT
    Q_PROPERTY(float YuanHuanProcess READ getYuanHuanProcess WRITE setYuanHuanProcess)

public:
    using GaugeView::GaugeView;

    float getYuanHuanProcess() const { return m_process; }
    void setYuanHuanProcess(float process);

    // Where everything of one dial lies for one size and value.
    struct Geometry
    {
        double width = 0;
        double height = 0;
        double lineWidth = 0;
        double radius = 0;
        QPointF centre;        // the middle of the bottom edge
        double valueAngle = 0; // π at the left end, 3π/2 at the top, 2π at the right end
        QPointF knobCentre;
        double knobRadius = 0;
    };
    static Geometry geometry(const QSizeF& size, float process);

protected:
    Geometry geometry(const QSizeF& size) const { return geometry(size, m_process); }
    // A butt-capped arc of the dial's ring from `start` to `end`.
    static void strokeRing(QPainter& painter, const Geometry& dial, double start, double end,
                           const QColor& colour);
    static void drawMarker(QPainter& painter, const Geometry& dial);
    static void drawKnob(QPainter& painter, const Geometry& dial);

private:
    float m_process = 0;
};
