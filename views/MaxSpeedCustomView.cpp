#include "views/MaxSpeedCustomView.h"
#include "platform/Localized.h"
#include "platform/ui/Theme.h"
#include "views/GaugePaint.h"

#include <QtMath>
#include <numbers>

namespace {
constexpr double zoneEnd = 3.665191429188092;     // 210°
constexpr double labelTurn = -1.3089969077868282; // −75°
// The label sits in the middle of the zone (194.5°), an eighth of a line width inside the ring.
constexpr double labelCosine = -0.9681476403781077;
constexpr double labelSine = -0.2503800040544415;
constexpr double labelInset = -0.125;
} // namespace

QPointF MaxSpeedCustomView::zoneLabelCentre(const QSizeF& size)
{
    const Geometry dial = geometry(size, 0);
    const double distance = dial.radius + dial.lineWidth * labelInset;
    return QPointF(GaugePaint::addSingle(dial.centre.x(), distance * labelCosine),
                   GaugePaint::addSingle(dial.centre.y(), distance * labelSine));
}

double MaxSpeedCustomView::zoneLabelDegrees()
{
    return qRadiansToDegrees(labelTurn);
}

void MaxSpeedCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const Geometry dial = geometry(size);
    strokeRing(painter, dial, std::numbers::pi, zoneEnd, Theme::GaugeZone);
    strokeRing(painter, dial, zoneEnd, 2 * std::numbers::pi, Theme::GaugeTrack);
    drawMarker(painter, dial);
    drawKnob(painter, dial);
    drawZoneLabel(painter, zoneLabelCentre(size));
}

void MaxSpeedCustomView::drawZoneLabel(QPainter& painter, const QPointF& centre)
{
    const QFont font = Theme::monoFont(16);
    const QString text = Localized::string(QStringLiteral("儿童"));
    const QSizeF box = GaugePaint::textSize(font, text);
    painter.save();
    painter.translate(centre);
    painter.rotate(zoneLabelDegrees());
    GaugePaint::drawTextAt(painter, QPointF(-box.width() / 2, -box.height() / 2), font, text,
                           Qt::white);
    painter.restore();
}
