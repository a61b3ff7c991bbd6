#include "views/CustomCalloutView.h"

#include "platform/ui/Theme.h"

#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QtMath>
#include <cmath>

namespace {

// Adds to `path` a line towards `corner` and an arc of `radius` tangent to both the line
// from the current point to `corner` and the line from `corner` to `towards`.
void arcToPoint(QPainterPath& path, const QPointF& corner, const QPointF& towards, double radius)
{
    const QPointF from = path.currentPosition();
    const QPointF a = from - corner;
    const QPointF b = towards - corner;
    const double la = std::hypot(a.x(), a.y());
    const double lb = std::hypot(b.x(), b.y());
    if (la == 0 || lb == 0) {
        path.lineTo(corner);
        return;
    }
    const QPointF ua = a / la;
    const QPointF ub = b / lb;
    const double cosTheta = qBound(-1.0, QPointF::dotProduct(ua, ub), 1.0);
    const double theta = std::acos(cosTheta);
    if (theta < 1e-9 || std::abs(theta - M_PI) < 1e-9) {
        path.lineTo(corner);
        return;
    }
    const double tangent = radius / std::tan(theta / 2);
    const QPointF start = corner + ua * tangent;
    const QPointF end = corner + ub * tangent;
    const QPointF bisector = (ua + ub) / std::hypot((ua + ub).x(), (ua + ub).y());
    const QPointF centre = corner + bisector * (radius / std::sin(theta / 2));
    path.lineTo(start);
    const double startAngle =
        qRadiansToDegrees(std::atan2(-(start - centre).y(), (start - centre).x()));
    double sweep =
        qRadiansToDegrees(std::atan2(-(end - centre).y(), (end - centre).x())) - startAngle;
    while (sweep > 180)
        sweep -= 360;
    while (sweep < -180)
        sweep += 360;
    path.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), startAngle,
               sweep);
}

} // namespace

CustomCalloutView::CustomCalloutView(const QRectF& frame, QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(frame.toRect());
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(Qt::black);
    shadow->setOffset(0, 0);
    shadow->setBlurRadius(6);
    setGraphicsEffect(shadow);
}

QPainterPath CustomCalloutView::bubblePath(const QRectF& bounds)
{
    const double minX = bounds.left(), minY = bounds.top(), maxX = bounds.right();
    const double midX = bounds.center().x();
    const double bottom = bounds.bottom() - ArrowHeight;
    QPainterPath path;
    path.moveTo(midX + ArrowHeight, bottom);
    path.lineTo(midX, bottom + ArrowHeight);
    path.lineTo(midX - ArrowHeight, bottom);
    arcToPoint(path, QPointF(minX, bottom), QPointF(minX, minY), CornerRadius);
    arcToPoint(path, QPointF(minX, minY), QPointF(maxX, minY), CornerRadius);
    arcToPoint(path, QPointF(maxX, minY), QPointF(maxX, bottom), CornerRadius);
    arcToPoint(path, QPointF(maxX, bottom), QPointF(midX, bottom), CornerRadius);
    path.closeSubpath();
    return path;
}

void CustomCalloutView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::CalloutFill);
    painter.drawPath(bubblePath(QRectF(rect())));
}
