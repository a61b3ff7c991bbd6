#include "tools/devserver/TilePainter.h"
#include "tools/devserver/PngBytes.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>

namespace {

// Grid levels as powers of two of the world: arterials, main roads, minor streets.
struct Street
{
    int level;
    double metres;
    QColor colour;
};
const Street kStreets[] = {{17, 8, QColor(255, 255, 255)},
                           {14, 14, QColor(250, 232, 170)},
                           {11, 22, QColor(244, 190, 130)}};

quint32 mix(qint64 a, qint64 b)
{
    quint64 h = quint64(a) * 0x9E3779B97F4A7C15ull ^ quint64(b) * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    return quint32(h * 0xBF58476D1CE4E5B9ull >> 32);
}

// Blocks between minor streets: one in twelve a park, one in forty a pond.
void paintBlocks(QPainter& painter, int z, int x, int y)
{
    constexpr int kSize = TilePainter::kSize;
    const double side = kSize * std::exp2(z - kStreets[0].level);
    if (side < 6)
        return;
    const qint64 first = qint64(std::floor(x * kSize / side));
    const qint64 top = qint64(std::floor(y * kSize / side));
    for (qint64 i = first; i * side < (x + 1.0) * kSize; ++i) {
        for (qint64 j = top; j * side < (y + 1.0) * kSize; ++j) {
            const quint32 h = mix(i, j) % 40;
            if (h > 3)
                continue;
            painter.fillRect(QRectF(i * side - x * kSize, j * side - y * kSize, side, side),
                             h == 0 ? QColor(170, 211, 223) : QColor(200, 232, 188));
        }
    }
}

} // namespace

QByteArray TilePainter::pngForPath(const QString& path)
{
    static const QRegularExpression tile("^/tiles/(\\d{1,2})/(\\d{1,7})/(\\d{1,7})\\.png$");
    const auto match = tile.match(path);
    if (!match.hasMatch())
        return {};
    const int z = match.captured(1).toInt();
    const int x = match.captured(2).toInt();
    const int y = match.captured(3).toInt();
    if (z > kMaxZoom || x >= (1 << z) || y >= (1 << z))
        return {};
    return png(z, x, y);
}

QByteArray TilePainter::png(int z, int x, int y)
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(QColor(234, 230, 221));
    QPainter painter(&image);
    paintBlocks(painter, z, x, y);
    const double metresPerPixel =
        156543.03 * std::cos(std::atan(std::sinh(M_PI * (1 - 2 * (y + 0.5) / (1 << z))))) /
        (1 << z);
    for (const Street& street : kStreets) {
        const double spacing = kSize * std::exp2(z - street.level);
        if (spacing < 10)
            continue;
        const double width = qMax(1.5, street.metres / metresPerPixel);
        painter.setPen(QPen(street.colour, width));
        for (double at = std::ceil(x * kSize / spacing) * spacing - x * kSize; at < kSize + width;
             at += spacing)
            painter.drawLine(QPointF(at, 0), QPointF(at, kSize));
        for (double at = std::ceil(y * kSize / spacing) * spacing - y * kSize; at < kSize + width;
             at += spacing)
            painter.drawLine(QPointF(0, at), QPointF(kSize, at));
    }
    painter.end();
    return pngBytes(image);
}
