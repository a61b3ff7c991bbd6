#pragma once

#include <QPainterPath>
#include <QPointF>

// The gauges' angles run clockwise on screen from the positive x axis, in
// radians, and an arc always sweeps from its start through increasing angles.
// QPainter counts degrees counter-clockwise; this is the one place that converts.
namespace ArcAngles {

// Clockwise sweep from `start` to `end`: the difference brought into [0, 2π),
// except that a difference of a full turn or more is a full circle.
double sweep(double start, double end);

// The same direction in QPainter's degrees (counter-clockwise from the x axis).
double toQtDegrees(double radians);

// The arc of `radius` around `centre` from `start` to `end`, as a path that
// QPainter can stroke; empty when the sweep is zero.
QPainterPath path(const QPointF& centre, double radius, double start, double end);

// The point at `angle` on the circle of `radius` around `centre`.
QPointF pointAt(const QPointF& centre, double radius, double angle);

} // namespace ArcAngles
