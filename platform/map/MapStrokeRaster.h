#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygonF>
#include <QSize>

// Strokes many polylines of one width at once, at a cost that follows the number of
// segments only lightly: the lines are drawn one pixel wide into a coverage mask, the mask
// is widened by a disc of the line's width with soft edges, and the colour is laid through
// it. A dense track of tens of thousands of segments costs a few milliseconds this way,
// where stroking each wide segment would cost seconds; the look is that of round caps and
// joins.
namespace MapStrokeRaster {

QImage paint(const QList<QPolygonF>& lines, const QSize& size, double width, const QColor& color);

} // namespace MapStrokeRaster
