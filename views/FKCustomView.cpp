#include "views/FKCustomView.h"
#include "platform/ui/Theme.h"
#include "views/GaugePaint.h"

#include <algorithm>

namespace {
constexpr double ringStart = 2.2689279859807363;
constexpr double ringEnd = 7.155849974788643;
constexpr double lineWidth = 5;
} // namespace

void FKCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const double w = size.width();
    const double h = size.height();
    GaugePaint::strokeArc(painter, QPointF(w / 2, h / 2), std::min(w, h) / 2, ringStart, ringEnd,
                          lineWidth, Qt::RoundCap, Theme::GaugeRing);
}

void FKCustomView::mouseMoveEvent(QMouseEvent*)
{
    update();
}
