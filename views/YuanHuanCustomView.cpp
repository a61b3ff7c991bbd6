#include "views/YuanHuanCustomView.h"
#include "platform/ui/Theme.h"
#include "views/GaugePaint.h"

#include <algorithm>

namespace {
// The ring starts at 130° and covers 280°, leaving the gap centred on the bottom.
constexpr double ringStart = 2.2689279859807363;
constexpr double ringEnd = 7.155849974788643;
constexpr double ringSpan = 4.886921988807907;
constexpr double lineShare = 0.10373444110155106;
} // namespace

void YuanHuanCustomView::setYuanHuanProcess(float process)
{
    m_process = process;
    update();
}

void YuanHuanCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const double w = size.width();
    const double h = size.height();
    const double lineWidth = w * lineShare;
    const QPointF centre(w / 2, h / 2);
    const double radius = std::min(w, h) / 2 - lineWidth / 2;
    GaugePaint::strokeArc(painter, centre, radius, ringStart, ringEnd, lineWidth, Qt::RoundCap,
                          Theme::GaugeRing);
    GaugePaint::strokeArc(painter, centre, radius, ringStart, ringStart + m_process * ringSpan,
                          lineWidth, Qt::RoundCap, Theme::Accent);
}
