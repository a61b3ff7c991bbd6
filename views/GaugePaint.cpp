#include "views/GaugePaint.h"
#include "views/ArcAngles.h"

#include <QFontMetricsF>
#include <QPen>

namespace GaugePaint {

QColor teal()
{
    return QColor(19, 146, 134);
}
QColor ringGrey()
{
    return QColor(151, 151, 153);
}
QColor discGrey()
{
    return QColor(188, 189, 190);
}
QColor lightGrey()
{
    return QColor(173, 174, 175);
}
QColor zoneGrey()
{
    return QColor(146, 147, 147);
}
QColor batteryGreen()
{
    return QColor(23, 156, 129);
}
QColor batteryRed()
{
    return QColor(194, 33, 46);
}

double narrowed(double value)
{
    const volatile float single = float(value);
    return single;
}

double addSingle(double base, double offset)
{
    return narrowed(base + narrowed(offset));
}

namespace {

QFont pixelFont(const QStringList& families, int size, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(size);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

QFont systemBold(int size)
{
    return pixelFont({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")}, size,
                     true);
}

QFont courier(int size)
{
    return pixelFont({QStringLiteral("Courier"), QStringLiteral("Noto Sans Mono CJK SC")}, size,
                     false);
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
