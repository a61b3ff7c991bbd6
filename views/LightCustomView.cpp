#include "views/LightCustomView.h"
#include "platform/ui/Theme.h"

#include <numbers>

void LightCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const Geometry dial = geometry(size);
    const double rightEnd = 2 * std::numbers::pi;
    strokeRing(painter, dial, std::numbers::pi, rightEnd, Theme::GaugeTrack);
    strokeRing(painter, dial, dial.valueAngle, rightEnd, Theme::Accent);
    drawKnob(painter, dial);
}
