#include "views/DiTanCustomView.h"
#include "platform/ui/Theme.h"
#include "views/GaugePaint.h"

#include <QPen>
#include <cmath>

void DiTanCustomView::setDiTanProcess(float process)
{
    m_process = process;
    update();
}

QString DiTanCustomView::labelText(float process)
{
    return QString::asprintf("%0.1f", double(process * 3.0f));
}

void DiTanCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    const double w = size.width();
    const double h = size.height();
    const double c = w / 2;
    const double rise = (c - h) * m_process;
    if (rise != 0) {
        painter.setPen(QPen(Qt::black, w / 10, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(c, h), QPointF(c, h + rise));
    }

    // A bar shorter than the disc's radius hides under a grey disc resting on the bottom.
    const bool shortBar = std::abs(rise) < c;
    const double discY = shortBar ? h - c : h + rise;
    GaugePaint::fillCircle(painter, QPointF(c, discY), c,
                           shortBar ? Theme::GaugeDisc : QColor(Qt::black));

    const QFont font = Theme::boldFont(15);
    const QString label = labelText(m_process);
    const QSizeF box = GaugePaint::textSize(font, label);
    GaugePaint::drawTextIn(painter,
                           QRectF(QPointF(c - box.width() / 2, discY - box.height() / 2), box),
                           font, label, Qt::white);
}
