#include "views/HalfDialView.h"
#include "platform/ui/Theme.h"
#include "views/GaugePaint.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double pi = std::numbers::pi;
constexpr double lineShare = 0.0625;
constexpr double radiusShare = 0.4027777910232544;
constexpr double knobShare = 0.02500000037252903;
constexpr double markerHalfWidth = 0.03490658588512815; // 2°
} // namespace

void HalfDialView::setYuanHuanProcess(float process)
{
    m_process = process;
    update();
}

HalfDialView::Geometry HalfDialView::geometry(const QSizeF& size, float process)
{
    Geometry dial;
    dial.width = size.width();
    dial.height = size.height();
    dial.lineWidth = dial.width * lineShare;
    dial.radius = dial.width * radiusShare - dial.lineWidth / 2;
    const double c = dial.width / 2;
    dial.centre = QPointF(c, dial.height);
    dial.valueAngle = double((process * 180.0f + 180.0f) / 180.0f) * pi;

    // The knob rides inside the ring at the value angle, a little more than its
    // own radius in from the ring's inner edge.
    const float degrees = process * 180.0f;
    dial.knobRadius = dial.width * knobShare;
    const double inset = dial.radius - dial.lineWidth / 2 - 2 * dial.knobRadius;
    dial.knobCentre =
        QPointF(GaugePaint::addSingle(c, -inset * std::cos(degrees * pi / 180)),
                GaugePaint::addSingle(dial.height, -inset * std::cos((90 - degrees) * pi / 180)));
    return dial;
}

void HalfDialView::strokeRing(QPainter& painter, const Geometry& dial, double start, double end,
                              const QColor& colour)
{
    GaugePaint::strokeArc(painter, dial.centre, dial.radius, start, end, dial.lineWidth,
                          Qt::FlatCap, colour);
}

void HalfDialView::drawMarker(QPainter& painter, const Geometry& dial)
{
    strokeRing(painter, dial, dial.valueAngle - markerHalfWidth, dial.valueAngle + markerHalfWidth,
               Theme::Accent);
}

void HalfDialView::drawKnob(QPainter& painter, const Geometry& dial)
{
    GaugePaint::fillCircle(painter, dial.knobCentre, dial.knobRadius, Qt::black);
}
