#include "views/ArcAngles.h"

#include <QRectF>
#include <cmath>
#include <numbers>

namespace ArcAngles {

namespace {
constexpr double fullTurn = 2 * std::numbers::pi;
}

double sweep(double start, double end)
{
    const double difference = end - start;
    if (difference >= fullTurn)
        return fullTurn;
    const double wrapped = std::fmod(difference, fullTurn);
    return wrapped < 0 ? wrapped + fullTurn : wrapped;
}

double toQtDegrees(double radians)
{
    return -radians * 180.0 / std::numbers::pi;
}

QPainterPath path(const QPointF& centre, double radius, double start, double end)
{
    QPainterPath arc;
    const double turn = sweep(start, end);
    if (turn <= 0)
        return arc;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    arc.arcMoveTo(box, toQtDegrees(start));
    arc.arcTo(box, toQtDegrees(start), toQtDegrees(turn));
    return arc;
}

QPointF pointAt(const QPointF& centre, double radius, double angle)
{
    return centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

} // namespace ArcAngles
