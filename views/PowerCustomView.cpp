#include "views/PowerCustomView.h"
#include "platform/ui/Theme.h"
#include "views/GaugePaint.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double signLift = 1.2000000476837158;
}

void PowerCustomView::setPowerProcess(float process)
{
    m_process = process;
    update();
}

int PowerCustomView::shownPercent(float process)
{
    const float percent = process * 100.0f;
    if (!std::isfinite(percent))
        return 0;
    const int truncated = int(std::clamp(double(percent), -1e9, 1e9));
    return truncated > 98 ? 100 : truncated;
}

void PowerCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const double w = size.width();
    const double h = size.height();
    const double cap = h * 0.25;
    const double fill = (h - cap) * m_process;

    painter.setPen(Qt::NoPen);
    painter.setBrush(m_process > 0.25f ? Theme::Good : Theme::Alarm);
    painter.drawEllipse(QRectF(0, h - cap, w, cap));
    painter.drawEllipse(QRectF(0, h - cap - fill, w, cap));
    painter.drawRect(QRectF(0, h - cap / 2 - fill, w, fill).normalized());

    drawPercent(painter, QPointF(w / 2, h - cap / 2 - fill / 2), m_process);
}

void PowerCustomView::drawPercent(QPainter& painter, const QPointF& middle, float process)
{
    const QFont numberFont = Theme::boldFont(28);
    const QFont signFont = Theme::boldFont(18);
    const QString number = QString::number(shownPercent(process));
    const QString sign = QStringLiteral("%");
    const QSizeF numberBox = GaugePaint::textSize(numberFont, number);
    const QSizeF signBox = GaugePaint::textSize(signFont, sign);
    const double c = middle.x();
    const double m = middle.y();

    // The sign overlaps the number's right edge by a quarter of its width and
    // sits low, towards the number's baseline.
    GaugePaint::drawTextIn(painter,
                           QRectF(c - numberBox.width() / 2 - signBox.width() / 2,
                                  m - numberBox.height() / 2, numberBox.width(),
                                  numberBox.height()),
                           numberFont, number, Qt::white);
    GaugePaint::drawTextIn(painter,
                           QRectF(c + numberBox.width() / 2 - signBox.width() / 4,
                                  m + numberBox.height() / 2 - signBox.height() * signLift,
                                  signBox.width(), signBox.height()),
                           signFont, sign, Qt::white);
}
