#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>

// Operations that make a new image from an existing one: cutting out a pixel
// rectangle, proportional cover and fit, stretching and turning. Sizes are in
// points (an image's pixels divided by its device pixel ratio); results are at
// one pixel per point, transparent wherever nothing is drawn. A null image
// stands for "no image".
namespace CSExtensions {

// The part of the bitmap inside `pixels` (pixel coordinates, origin top left),
// widened to whole pixels; none when the rectangle misses the bitmap.
QImage imageAtRect(const QImage& image, const QRectF& pixels);

// Scaled proportionally to cover all of `target`, centred, the overflow cut off.
QImage imageByScalingProportionallyToMinimumSize(const QImage& image, const QSizeF& target);
// Scaled proportionally to fit inside `target`, centred, the margins transparent.
QImage imageByScalingProportionallyToSize(const QImage& image, const QSizeF& target);
// Stretched to `target`.
QImage imageByScalingToSize(const QImage& image, const QSizeF& target);

// Turned clockwise on screen about its centre, on a canvas just large enough to hold it.
QImage imageRotatedByDegrees(const QImage& image, double degrees);
QImage imageRotatedByRadians(const QImage& image, double radians);

// Where the proportional operations draw an image of `source` points inside
// `target`: covering it when `cover`, fitting inside it otherwise.
QRectF proportionalRect(const QSizeF& source, const QSizeF& target, bool cover);

// A transparent canvas of `size` points at `scale` pixels per point; none
// when the size is empty, not finite or cannot be allocated.
QImage transparentCanvas(const QSizeF& size, qreal scale = 1.0);

} // namespace CSExtensions
