#include "views/CSExtensions.h"
#include "platform/Log.h"

#include <QPainter>
#include <QtMath>
#include <cmath>

namespace CSExtensions {

namespace {

// Whole pixels for a length; a length a rounding error above a whole number
// (the sine of a right angle, say) does not get an extra pixel.
int pixelExtent(double length)
{
    return int(std::ceil(length - 1e-6));
}

QImage drawnInto(const QImage& image, const QSizeF& target, const QRectF& where)
{
    QImage canvas = transparentCanvas(target);
    if (canvas.isNull()) {
        Log::write(QStringLiteral("could not scale image"));
        return QImage();
    }
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(where, image);
    return canvas;
}

} // namespace

QImage transparentCanvas(const QSizeF& size, qreal scale)
{
    const double width = size.width() * scale;
    const double height = size.height() * scale;
    if (!std::isfinite(width) || !std::isfinite(height) || width > 1e5 || height > 1e5)
        return QImage();
    const QSize pixels(pixelExtent(width), pixelExtent(height));
    if (pixels.isEmpty())
        return QImage();
    QImage canvas(pixels, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return QImage();
    canvas.setDevicePixelRatio(scale);
    canvas.fill(Qt::transparent);
    return canvas;
}

QImage imageAtRect(const QImage& image, const QRectF& pixels)
{
    const QRect part = pixels.normalized().toAlignedRect().intersected(image.rect());
    if (part.isEmpty())
        return QImage();
    QImage cut = image.copy(part);
    cut.setDevicePixelRatio(1.0);
    return cut;
}

QRectF proportionalRect(const QSizeF& source, const QSizeF& target, bool cover)
{
    if (source == target)
        return QRectF(QPointF(0, 0), target);
    const double widthFactor = target.width() / source.width();
    const double heightFactor = target.height() / source.height();
    const double factor =
        cover ? std::max(widthFactor, heightFactor) : std::min(widthFactor, heightFactor);
    const QSizeF drawn = source * factor;
    // The side whose factor was not taken is the one that overflows (cover) or
    // leaves bands (fit); the image is centred along it.
    const bool centreVertically = cover ? widthFactor > heightFactor : widthFactor < heightFactor;
    const bool centreHorizontally = cover ? widthFactor < heightFactor : widthFactor > heightFactor;
    const QPointF origin(centreHorizontally ? (target.width() - drawn.width()) * 0.5 : 0,
                         centreVertically ? (target.height() - drawn.height()) * 0.5 : 0);
    return QRectF(origin, drawn);
}

QImage imageByScalingProportionallyToMinimumSize(const QImage& image, const QSizeF& target)
{
    return drawnInto(image, target, proportionalRect(image.deviceIndependentSize(), target, true));
}

QImage imageByScalingProportionallyToSize(const QImage& image, const QSizeF& target)
{
    return drawnInto(image, target, proportionalRect(image.deviceIndependentSize(), target, false));
}

QImage imageByScalingToSize(const QImage& image, const QSizeF& target)
{
    return drawnInto(image, target, QRectF(QPointF(0, 0), target));
}

QImage imageRotatedByDegrees(const QImage& image, double degrees)
{
    const double turn = degrees * M_PI / 180;
    const QSizeF size = image.deviceIndependentSize();
    const double cosine = std::abs(std::cos(turn));
    const double sine = std::abs(std::sin(turn));
    const QSizeF bounds(size.width() * cosine + size.height() * sine,
                        size.width() * sine + size.height() * cosine);
    QImage canvas = transparentCanvas(bounds);
    if (canvas.isNull())
        return QImage();
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(bounds.width() * 0.5, bounds.height() * 0.5);
    painter.rotate(qRadiansToDegrees(turn));
    painter.drawImage(QRectF(QPointF(-size.width() * 0.5, -size.height() * 0.5), size), image);
    return canvas;
}

QImage imageRotatedByRadians(const QImage& image, double radians)
{
    return imageRotatedByDegrees(image, radians * 180 / M_PI);
}

} // namespace CSExtensions
