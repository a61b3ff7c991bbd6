#include "platform/map/MapTilePainter.h"

#include "platform/map/MapProjection.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace MapTilePainter {

namespace {

// Street spacing as world fractions: a minor street every 1/2^18 of the world (about
// 150 m), a main road every 8 of them, an arterial every 8 main roads.
constexpr int MinorLevel = 18;
constexpr int MajorLevel = 15;
constexpr int MinorPerMajor = 1 << (MinorLevel - MajorLevel);
constexpr int MajorPerArterial = 8;

const QColor Land(242, 239, 233);
const QColor Block(236, 232, 224);
const QColor Building(217, 208, 201);
const QColor BuildingEdge(196, 185, 176);
const QColor Park(200, 232, 188);
const QColor Water(170, 211, 223);
const QColor StreetFill(255, 255, 255);
const QColor StreetCasing(214, 206, 196);
const QColor MainFill(253, 242, 196);
const QColor MainCasing(227, 201, 138);
const QColor ArterialFill(252, 214, 164);
const QColor ArterialCasing(214, 160, 100);

double noise(qint64 a, qint64 b, int c, int d)
{
    quint64 h = quint64(a) * 0x9E3779B97F4A7C15ull ^ quint64(b) * 0xC2B2AE3D27D4EB4Full ^
                quint64(c) * 0x165667B19E3779F9ull ^ quint64(d) * 0x27D4EB2F165667C5ull;
    h ^= h >> 30;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 31;
    return double(h >> 11) * (1.0 / 9007199254740992.0);
}

// One tile: world origin and points per world unit.
struct Tile
{
    int z;
    double u0;
    double v0;
    double scale;
    double metersPerPoint;

    QPointF at(double u, double v) const { return QPointF((u - u0) * scale, (v - v0) * scale); }
    double widthOf(double meters, double minimum) const
    {
        return qMax(minimum, meters / metersPerPoint);
    }
    // Whole cells of `level` the tile touches, with one cell to spare on each side.
    std::pair<qint64, qint64> cells(double from, int level) const
    {
        const double n = std::exp2(level);
        const double span = TileSize / scale;
        return {qint64(std::floor(from * n)) - 1, qint64(std::floor((from + span) * n)) + 1};
    }
};

// Positions (in minor units from the major cell's edge) of the minor streets that run
// through major cell (a, b) in one direction; the cell's own edges are included.
QList<double> minorLines(qint64 a, qint64 b, int direction)
{
    QList<double> lines{0.0};
    for (int m = 1; m < MinorPerMajor; ++m) {
        if (noise(a, b, m, direction) > 0.3)
            lines.append(m + (noise(a, b, m, direction + 2) - 0.5) * 0.3);
    }
    lines.append(MinorPerMajor);
    return lines;
}

bool isLake(qint64 a, qint64 b)
{
    return noise(a, b, 7, 7) < 0.035;
}

void drawBuildings(QPainter& painter, const Tile& tile, const QRectF& block, quint64 seed)
{
    const double lot = 1.0 / std::exp2(MinorLevel + 2);
    const int columns = qMax(1, int(block.width() / lot));
    const int rows = qMax(1, int(block.height() / lot));
    const double w = block.width() / columns;
    const double h = block.height() / rows;
    painter.setPen(QPen(BuildingEdge, 1));
    painter.setBrush(Building);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            if (noise(qint64(seed), c, r, 11) < 0.3)
                continue;
            const double inset = 0.12 + noise(qint64(seed), c, r, 12) * 0.1;
            const QRectF lotRect(block.left() + c * w, block.top() + r * h, w, h);
            const QRectF house = lotRect.adjusted(w * inset, h * inset, -w * inset, -h * inset);
            painter.drawRect(
                QRectF(tile.at(house.left(), house.top()), tile.at(house.right(), house.bottom())));
        }
    }
}

void drawBlocks(QPainter& painter, const Tile& tile)
{
    const double major = 1.0 / std::exp2(MajorLevel);
    const double minor = 1.0 / std::exp2(MinorLevel);
    const auto [a0, a1] = tile.cells(tile.u0, MajorLevel);
    const auto [b0, b1] = tile.cells(tile.v0, MajorLevel);
    painter.setPen(Qt::NoPen);
    for (qint64 a = a0; a <= a1; ++a) {
        for (qint64 b = b0; b <= b1; ++b) {
            const QList<double> xs = minorLines(a, b, 1);
            const QList<double> ys = minorLines(a, b, 3);
            for (int i = 0; i + 1 < xs.size(); ++i) {
                for (int j = 0; j + 1 < ys.size(); ++j) {
                    const QRectF block(a * major + xs[i] * minor, b * major + ys[j] * minor,
                                       (xs[i + 1] - xs[i]) * minor, (ys[j + 1] - ys[j]) * minor);
                    const bool park = noise(a * 16 + i, b * 16 + j, 5, 5) < 0.09;
                    painter.setPen(Qt::NoPen);
                    painter.setBrush(park ? Park : Block);
                    painter.drawRect(QRectF(tile.at(block.left(), block.top()),
                                            tile.at(block.right(), block.bottom())));
                    if (!park && tile.z >= 16)
                        drawBuildings(painter, tile, block,
                                      quint64(a * 131 + i) ^ quint64(b * 137 + j) << 20);
                }
            }
        }
    }
}

void drawLakes(QPainter& painter, const Tile& tile)
{
    const double major = 1.0 / std::exp2(MajorLevel);
    const auto [a0, a1] = tile.cells(tile.u0, MajorLevel);
    const auto [b0, b1] = tile.cells(tile.v0, MajorLevel);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Water);
    for (qint64 a = a0; a <= a1; ++a) {
        for (qint64 b = b0; b <= b1; ++b) {
            if (!isLake(a, b))
                continue;
            const double rx = major * (0.3 + 0.15 * noise(a, b, 8, 1));
            const double ry = major * (0.25 + 0.15 * noise(a, b, 8, 2));
            const QPointF centre = tile.at((a + 0.5) * major, (b + 0.5) * major);
            painter.drawEllipse(centre, rx * tile.scale, ry * tile.scale);
        }
    }
}

// A river meanders eastwards through every sixteenth row of main-road cells.
void drawRivers(QPainter& painter, const Tile& tile)
{
    const double major = 1.0 / std::exp2(MajorLevel);
    const double band = 16 * major;
    const double span = TileSize / tile.scale;
    const double halfWidth = major * 0.09;
    const qint64 k0 = qint64(std::floor(tile.v0 / band)) - 1;
    const qint64 k1 = qint64(std::floor((tile.v0 + span) / band)) + 1;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Water);
    const int steps = 48;
    for (qint64 k = k0; k <= k1; ++k) {
        auto centre = [&](double u) {
            const double t = u / major;
            return (k + 0.47) * band +
                   major * (1.4 * std::sin(t / 5.3 + k) + 0.6 * std::sin(t / 2.1 + 2 * k));
        };
        QPolygonF shape;
        for (int i = 0; i <= steps; ++i) {
            const double u = tile.u0 - major + (span + 2 * major) * i / steps;
            shape.append(tile.at(u, centre(u) - halfWidth));
        }
        for (int i = steps; i >= 0; --i) {
            const double u = tile.u0 - major + (span + 2 * major) * i / steps;
            shape.append(tile.at(u, centre(u) + halfWidth));
        }
        painter.drawPolygon(shape);
    }
}

struct Street
{
    QPointF from;
    QPointF to;
};

void stroke(QPainter& painter, const QList<Street>& streets, double width, const QColor& fill,
            const QColor& casing)
{
    painter.setBrush(Qt::NoBrush);
    if (casing != fill) {
        painter.setPen(QPen(casing, width + 1.5, Qt::SolidLine, Qt::FlatCap));
        for (const Street& s : streets)
            painter.drawLine(s.from, s.to);
    }
    painter.setPen(QPen(fill, width, Qt::SolidLine, Qt::FlatCap));
    for (const Street& s : streets)
        painter.drawLine(s.from, s.to);
}

QList<Street> minorStreets(const Tile& tile)
{
    const double major = 1.0 / std::exp2(MajorLevel);
    const double minor = 1.0 / std::exp2(MinorLevel);
    const auto [a0, a1] = tile.cells(tile.u0, MajorLevel);
    const auto [b0, b1] = tile.cells(tile.v0, MajorLevel);
    QList<Street> streets;
    for (qint64 a = a0; a <= a1; ++a) {
        for (qint64 b = b0; b <= b1; ++b) {
            if (isLake(a, b))
                continue;
            const QList<double> xs = minorLines(a, b, 1);
            const QList<double> ys = minorLines(a, b, 3);
            for (int i = 1; i + 1 < xs.size(); ++i) {
                const double u = a * major + xs[i] * minor;
                streets.append({tile.at(u, b * major), tile.at(u, (b + 1) * major)});
            }
            for (int j = 1; j + 1 < ys.size(); ++j) {
                const double v = b * major + ys[j] * minor;
                streets.append({tile.at(a * major, v), tile.at((a + 1) * major, v)});
            }
        }
    }
    return streets;
}

// Main roads (every major line) or arterials (every eighth one).
QList<Street> gridLines(const Tile& tile, int every)
{
    const double spacing = every / std::exp2(MajorLevel);
    const double span = TileSize / tile.scale;
    QList<Street> lines;
    const qint64 i0 = qint64(std::floor(tile.u0 / spacing));
    const qint64 i1 = qint64(std::floor((tile.u0 + span) / spacing)) + 1;
    for (qint64 i = i0; i <= i1; ++i)
        lines.append({tile.at(i * spacing, tile.v0), tile.at(i * spacing, tile.v0 + span)});
    const qint64 j0 = qint64(std::floor(tile.v0 / spacing));
    const qint64 j1 = qint64(std::floor((tile.v0 + span) / spacing)) + 1;
    for (qint64 j = j0; j <= j1; ++j)
        lines.append({tile.at(tile.u0, j * spacing), tile.at(tile.u0 + span, j * spacing)});
    return lines;
}

} // namespace

void paint(QPainter& painter, int z, int x, int y)
{
    const double n = std::exp2(z);
    const double scale = TileSize * n;
    const MapCoordinate centre = MapProjection::fromWorld(QPointF((x + 0.5) / n, (y + 0.5) / n));
    const Tile tile{z, x / n, y / n, scale, MapProjection::metersPerPoint(centre.latitude, z)};

    painter.save();
    painter.setClipRect(QRect(0, 0, TileSize, TileSize));
    painter.fillRect(QRect(0, 0, TileSize, TileSize), Land);
    painter.setRenderHint(QPainter::Antialiasing);
    if (z >= 13)
        drawBlocks(painter, tile);
    if (z >= 9)
        drawLakes(painter, tile);
    if (z == 13)
        stroke(painter, minorStreets(tile), 0.8, StreetFill, StreetFill);
    else if (z >= 14)
        stroke(painter, minorStreets(tile), tile.widthOf(9, 1.5), StreetFill, StreetCasing);
    if (z >= 8)
        drawRivers(painter, tile);
    if (z >= 11)
        stroke(painter, gridLines(tile, 1), tile.widthOf(16, 2.5), MainFill, MainCasing);
    if (z >= 7)
        stroke(painter, gridLines(tile, MajorPerArterial), tile.widthOf(26, 3), ArterialFill,
               ArterialCasing);
    painter.restore();
}

} // namespace MapTilePainter
