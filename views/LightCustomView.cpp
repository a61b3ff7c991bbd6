#include "views/LightCustomView.h"
#include "views/GaugePaint.h"

#include <numbers>

void LightCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const Geometry dial = geometry(size);
    const double rightEnd = 2 * std::numbers::pi;
    strokeRing(painter, dial, std::numbers::pi, rightEnd, GaugePaint::lightGrey());
    strokeRing(painter, dial, dial.valueAngle, rightEnd, GaugePaint::teal());
    drawKnob(painter, dial);
}
