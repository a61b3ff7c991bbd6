#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QSizeF>
#include <QString>

// The few drawing steps that every gauge shares; the colours and faces are the Theme's.
namespace GaugePaint {

// `value` rounded to single precision. The gauges round some products this
// way; GCC 12's vectoriser drops a plain float() cast when two such products
// are computed side by side, so the rounding goes through here.
double narrowed(double value);
// `base` + `offset` with the offset and then the sum rounded to single precision:
// how the dials place their knob and labels.
double addSingle(double base, double offset);

// Strokes the clockwise arc from `start` to `end` (radians) with the given pen.
void strokeArc(QPainter& painter, const QPointF& centre, double radius, double start, double end,
               double lineWidth, Qt::PenCapStyle cap, const QColor& colour);

// A filled circle without an outline.
void fillCircle(QPainter& painter, const QPointF& centre, double radius, const QColor& colour);

// The size one line of `text` takes: its advance and the font's line height.
QSizeF textSize(const QFont& font, const QString& text);

// Writes `text` centred across `box`, starting at its top.
void drawTextIn(QPainter& painter, const QRectF& box, const QFont& font, const QString& text,
                const QColor& colour);

// Writes `text` with the top left of its line at `topLeft`.
void drawTextAt(QPainter& painter, const QPointF& topLeft, const QFont& font, const QString& text,
                const QColor& colour);

} // namespace GaugePaint
