#include "platform/map/MapStrokeRaster.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace MapStrokeRaster {

namespace {

// Bytes handled together; the loops over them are plain enough for the compiler to turn
// into vector instructions.
constexpr int Chunk = 16;

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
    // Drawn in black on a 32-bit picture, which the raster engine fills several times
    // faster than an 8-bit mask; the coverage is the same, aliased lines being all or nothing.
    QImage mask(size, QImage::Format_ARGB32_Premultiplied);
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

// The mask's coverage in rows of `stride` bytes, starting `pad` bytes in, the rest empty.
std::vector<uchar> paddedCoverage(const QImage& mask, int pad, int stride)
{
    const int w = mask.width();
    std::vector<uchar> rows(size_t(stride) * size_t(mask.height()), 0);
    for (int y = 0; y < mask.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        uchar* out = rows.data() + size_t(y) * size_t(stride) + pad;
        for (int x = 0; x < w; ++x)
            out[x] = uchar(qAlpha(in[x]));
    }
    return rows;
}

// to[x] = max(to[x], from[x]) over `count` bytes, a multiple of Chunk.
void raise(uchar* __restrict to, const uchar* __restrict from, int count)
{
    for (int x = 0; x < count; x += Chunk) {
        for (int k = 0; k < Chunk; ++k)
            to[x + k] = from[x + k] > to[x + k] ? from[x + k] : to[x + k];
    }
}

// to[x] = max(to[x], from[x] * weight / 256) over `count` bytes, a multiple of Chunk.
void raiseScaled(uchar* __restrict to, const uchar* __restrict from, int weight, int count)
{
    for (int x = 0; x < count; x += Chunk) {
        for (int k = 0; k < Chunk; ++k) {
            const uchar v = uchar((from[x + k] * weight) >> 8);
            to[x + k] = v > to[x + k] ? v : to[x + k];
        }
    }
}

// The disc's taps of one row and one weight. Scaling keeps order, so the largest input
// under them, scaled once, is what each tap scaled on its own would give at most.
struct TapGroup
{
    int dy;
    int weight;
    QList<int> dxs;
};

QList<TapGroup> groupsOf(const QList<Tap>& disc)
{
    QList<TapGroup> groups;
    for (const Tap& tap : disc) {
        auto it = std::find_if(groups.begin(), groups.end(), [&tap](const TapGroup& g) {
            return g.dy == tap.dy && g.weight == tap.weight;
        });
        if (it == groups.end())
            groups.append({tap.dy, tap.weight, {tap.dx}});
        else
            it->dxs.append(tap.dx);
    }
    return groups;
}

// Row by row, so the rows read and written stay in the cache.
QImage widen(const QImage& mask, const QList<Tap>& disc)
{
    const int w = mask.width();
    const int h = mask.height();
    const int span = (w + Chunk - 1) / Chunk * Chunk;
    int pad = 0;
    for (const Tap& tap : disc)
        pad = qMax(pad, qAbs(tap.dx));
    const std::vector<uchar> coverage = paddedCoverage(mask, pad, span + 2 * pad);
    const size_t stride = size_t(span + 2 * pad);
    const QList<TapGroup> groups = groupsOf(disc);
    std::vector<uchar> largest(static_cast<size_t>(span));
    std::vector<uchar> row(static_cast<size_t>(span));
    QImage wide(mask.size(), QImage::Format_Alpha8);
    for (int y = 0; y < h; ++y) {
        std::fill(row.begin(), row.end(), uchar(0));
        for (const TapGroup& group : groups) {
            if (y + group.dy < 0 || y + group.dy >= h)
                continue;
            const uchar* source = coverage.data() + size_t(y + group.dy) * stride + pad;
            const uchar* first = source + group.dxs.first();
            std::copy(first, first + span, largest.begin());
            for (qsizetype i = 1; i < group.dxs.size(); ++i)
                raise(largest.data(), source + group.dxs.at(i), span);
            raiseScaled(row.data(), largest.data(), group.weight, span);
        }
        std::copy(row.begin(), row.begin() + w, wide.scanLine(y));
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
