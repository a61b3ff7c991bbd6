#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>
#include <cmath>
#include <cstdlib>
#include <functional>

// Colour checks on rendered gauges: the pixel that contains a point, compared
// with a colour within a small tolerance for antialiasing and premultiplying.
namespace PixelProbe {

inline QColor at(const QImage& image, double x, double y)
{
    const QPoint pixel(int(std::floor(x)), int(std::floor(y)));
    if (!image.rect().contains(pixel))
        return QColor(0, 0, 0, 0);
    return image.pixelColor(pixel).toRgb();
}

// A test for countOf and boundsOf: the colour within `tolerance` of `expected`, opaque.
inline std::function<bool(const QColor&)> near(const QColor& expected, int tolerance = 8)
{
    return [expected, tolerance](const QColor& found) {
        return found.alpha() >= 250 && std::abs(found.red() - expected.red()) <= tolerance &&
               std::abs(found.green() - expected.green()) <= tolerance &&
               std::abs(found.blue() - expected.blue()) <= tolerance;
    };
}

inline bool is(const QImage& image, double x, double y, const QColor& expected, int tolerance = 8)
{
    return near(expected, tolerance)(at(image, x, y));
}

inline bool clear(const QImage& image, double x, double y)
{
    return at(image, x, y).alpha() < 16;
}

inline QString describe(const QImage& image, double x, double y)
{
    const QColor found = at(image, x, y);
    return QStringLiteral("pixel at (%1, %2) is rgba(%3, %4, %5, %6)")
        .arg(x)
        .arg(y)
        .arg(found.red())
        .arg(found.green())
        .arg(found.blue())
        .arg(found.alpha());
}

// The smallest rectangle, within `area`, of the pixels that pass `test`.
inline QRect boundsOf(const QImage& image, const QRect& area,
                      const std::function<bool(const QColor&)>& test)
{
    QRect bounds;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (test(image.pixelColor(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

inline int countOf(const QImage& image, const QRect& area,
                   const std::function<bool(const QColor&)>& test)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

inline bool isWhite(const QColor& colour)
{
    return colour.alpha() > 240 && colour.red() > 240 && colour.green() > 240 &&
           colour.blue() > 240;
}

inline bool isBlack(const QColor& colour)
{
    return colour.alpha() > 240 && colour.red() < 16 && colour.green() < 16 && colour.blue() < 16;
}

inline bool isOpaque(const QColor& colour)
{
    return colour.alpha() > 0;
}

} // namespace PixelProbe

#define QVERIFY_COLOUR(image, x, y, colour)                                                        \
    QVERIFY2(PixelProbe::is(image, x, y, colour), qPrintable(PixelProbe::describe(image, x, y)))
#define QVERIFY_CLEAR(image, x, y)                                                                 \
    QVERIFY2(PixelProbe::clear(image, x, y), qPrintable(PixelProbe::describe(image, x, y)))
