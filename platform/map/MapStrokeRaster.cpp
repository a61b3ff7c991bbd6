#include "platform/map/MapStrokeRaster.h"

#include <QPainter>
#include <cmath>

namespace MapStrokeRaster {

namespace {

struct Tap
{
    int dx;
    int dy;
    int weight; // 0..256
};

// The disc of the line's width: full weight inside, fading over the last point.
QList<Tap> discOf(double width)
{
    const double radius = width / 2;
    const int reach = int(std::ceil(radius + 0.5));
    QList<Tap> taps;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const double cover = qBound(0.0, radius + 0.5 - std::hypot(dx, dy), 1.0);
            if (cover > 0)
                taps.append({dx, dy, int(std::lround(cover * 256))});
        }
    }
    return taps;
}

QImage hairlines(const QList<QPolygonF>& lines, const QSize& size)
{
    QImage mask(size, QImage::Format_Alpha8);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setPen(QPen(Qt::black, 0));
    for (const QPolygonF& line : lines) {
        if (line.size() >= 2)
            painter.drawPolyline(line);
        else if (line.size() == 1)
            painter.drawPoint(line.first());
    }
    return mask;
}

QImage widen(const QImage& mask, const QList<Tap>& disc)
{
    QImage wide(mask.size(), QImage::Format_Alpha8);
    wide.fill(0);
    const int w = mask.width();
    const int h = mask.height();
    for (const Tap& tap : disc) {
        // Locals, so the inner loop neither reloads them nor fears aliasing, and vectorises.
        const int dx = tap.dx;
        const int dy = tap.dy;
        const int weight = tap.weight;
        const int x0 = qMax(0, -dx);
        const int x1 = qMin(w, w - dx);
        for (int y = qMax(0, -dy); y < qMin(h, h - dy); ++y) {
            const uchar* __restrict in = mask.constScanLine(y + dy) + dx;
            uchar* __restrict out = wide.scanLine(y);
            for (int x = x0; x < x1; ++x) {
                const int v = (in[x] * weight) >> 8;
                out[x] = uchar(v > out[x] ? v : out[x]);
            }
        }
    }
    return wide;
}

} // namespace

QImage paint(const QList<QPolygonF>& lines, const QSize& size, double width, const QColor& color)
{
    const QImage coverage = widen(hairlines(lines, size), discOf(width));
    // The colour at each coverage, premultiplied.
    QRgb shades[256];
    const QRgb base = color.rgba();
    for (int c = 0; c < 256; ++c) {
        const int a = c * qAlpha(base) / 255;
        shades[c] = qRgba(qRed(base) * a / 255, qGreen(base) * a / 255, qBlue(base) * a / 255, a);
    }
    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        const uchar* in = coverage.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            out[x] = shades[in[x]];
    }
    return result;
}

} // namespace MapStrokeRaster
