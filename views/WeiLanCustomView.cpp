#include "views/WeiLanCustomView.h"
#include "platform/ui/Theme.h"
#include "views/GaugePaint.h"

#include <numbers>

namespace {

// Each label sits just outside the ring; its distance from the centre is the
// ring's radius plus a multiple of the line width.
struct ScalePlace
{
    const char* text;
    double lineWidths;
    double cosine;
    double sine;
};

constexpr ScalePlace scalePlaces[] = {
    {"30", 1.7999999523162842, -0.9396926207859084, -0.3420201433256688},
    {"100", 2.0999999046325684, -0.7660444431189781, -0.6427876096865394},
    {"500", 2.0, -0.5000000000000001, -0.8660254037844387},
    {"1K", 1.5, 0.08715574274765824, -0.9961946980917455},
    {"2K", 1.2999999523162842, 0.7071067811865475, -0.7071067811865476},
    {"3K", 1.0, 0.9396926207859083, -0.3420201433256688},
};

} // namespace

QList<WeiLanCustomView::ScaleLabel> WeiLanCustomView::scaleLabels(const QSizeF& size)
{
    const Geometry dial = geometry(size, 0);
    QList<ScaleLabel> labels;
    for (const ScalePlace& place : scalePlaces) {
        const double distance = dial.radius + dial.lineWidth * place.lineWidths;
        const QPointF topLeft(GaugePaint::addSingle(dial.centre.x(), distance * place.cosine),
                              GaugePaint::addSingle(dial.centre.y(), distance * place.sine));
        labels.append({QString::fromLatin1(place.text), topLeft});
    }
    return labels;
}

void WeiLanCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const Geometry dial = geometry(size);
    strokeRing(painter, dial, std::numbers::pi, 2 * std::numbers::pi, Theme::GaugeTrack);
    drawMarker(painter, dial);
    drawKnob(painter, dial);

    const QFont font = Theme::boldFont(15);
    for (const ScaleLabel& label : scaleLabels(size))
        GaugePaint::drawTextAt(painter, label.topLeft, font, label.text, Qt::black);
}
