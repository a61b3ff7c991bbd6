#include "views/GaugePaint.h"
#include "views/ArcAngles.h"

#include <QFontMetricsF>
#include <QPen>

namespace GaugePaint {

double narrowed(double value)
{
    const volatile float single = float(value);
    return single;
}

double addSingle(double base, double offset)
{
    return narrowed(base + narrowed(offset));
}

void strokeArc(QPainter& painter, const QPointF& centre, double radius, double start, double end,
               double lineWidth, Qt::PenCapStyle cap, const QColor& colour)
{
    const QPainterPath arc = ArcAngles::path(centre, radius, start, end);
    if (arc.isEmpty())
        return;
    painter.strokePath(arc, QPen(colour, lineWidth, Qt::SolidLine, cap));
}

void fillCircle(QPainter& painter, const QPointF& centre, double radius, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(centre, radius, radius);
}

QSizeF textSize(const QFont& font, const QString& text)
{
    const QFontMetricsF metrics(font);
    return QSizeF(metrics.horizontalAdvance(text), metrics.height());
}

void drawTextIn(QPainter& painter, const QRectF& box, const QFont& font, const QString& text,
                const QColor& colour)
{
    const QFontMetricsF metrics(font);
    const double left = box.left() + (box.width() - metrics.horizontalAdvance(text)) / 2;
    drawTextAt(painter, QPointF(left, box.top()), font, text, colour);
}

void drawTextAt(QPainter& painter, const QPointF& topLeft, const QFont& font, const QString& text,
                const QColor& colour)
{
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

} // namespace GaugePaint
