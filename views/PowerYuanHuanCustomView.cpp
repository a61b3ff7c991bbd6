#include "views/PowerYuanHuanCustomView.h"
#include "platform/ui/Theme.h"
#include "views/GaugePaint.h"

#include <numbers>

namespace {
constexpr double lineShare = 0.03214285895228386;
constexpr double pi = std::numbers::pi;
} // namespace

void PowerYuanHuanCustomView::setYuanHuanProcess(float process)
{
    m_process = process;
    update();
}

void PowerYuanHuanCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const double w = size.width();
    const double lineWidth = w * lineShare;
    const QPointF centre(w / 2, size.height());
    const double radius = w / 2 - lineWidth / 2;
    const double start = (1 - m_process) * -pi + 2 * pi;
    GaugePaint::strokeArc(painter, centre, radius, start, 2 * pi, lineWidth, Qt::RoundCap,
                          Theme::Accent);
}
