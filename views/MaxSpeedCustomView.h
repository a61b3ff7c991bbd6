#pragma once

#include "views/HalfDialView.h"

// The maximum-speed dial: a half circle whose first sixth, darker and labelled
// "儿童", is the children zone.
class MaxSpeedCustomView : public HalfDialView
{
    Q_OBJECT

public:
    using HalfDialView::HalfDialView;

    // The point the zone label is centred on, before it is turned.
    static QPointF zoneLabelCentre(const QSizeF& size);
    // The turn of the zone label in degrees, negative for counter-clockwise on screen.
    static double zoneLabelDegrees();

protected:
    void draw(QPainter& painter, const QSizeF& size) const override;

private:
    static void drawZoneLabel(QPainter& painter, const QPointF& centre);
};
