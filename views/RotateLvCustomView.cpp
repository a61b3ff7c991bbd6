#include "views/RotateLvCustomView.h"
#include "platform/ui/Images.h"
#include "platform/ui/Theme.h"
#include "views/CSExtensions.h"
#include "views/GaugePaint.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace {

constexpr double logoShare = 0.09375;

qreal screenDensity()
{
    return qApp ? qApp->devicePixelRatio() : 1.0;
}

// A stand-in logo: a teal scooter on a white disc, facing left so that it
// rides forwards once it is mirrored and turned onto the circle.
QImage drawnLogo()
{
    const int side = 96;
    QImage logo(side, side, QImage::Format_ARGB32_Premultiplied);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Theme::Accent, 5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(3, 3, side - 6, side - 6));

    QPen line(Theme::Accent, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(30, 64), QPointF(70, 64)); // deck
    painter.drawLine(QPointF(30, 64), QPointF(36, 24)); // stem
    painter.drawLine(QPointF(28, 24), QPointF(44, 24)); // handlebar
    painter.setPen(QPen(Theme::Accent, 5));
    painter.drawEllipse(QPointF(28, 68), 8, 8); // front wheel
    painter.drawEllipse(QPointF(68, 68), 8, 8); // back wheel
    return logo;
}

} // namespace

RotateLvCustomView::RotateLvCustomView(QWidget* parent) : GaugeView(parent), m_logo(loadLogo()) {}

void RotateLvCustomView::setMyProcess(float process)
{
    m_process = process;
    update();
}

void RotateLvCustomView::setLogo(const QImage& logo)
{
    m_logo = logo;
    m_mirroredWidth = -1;
    update();
}

QImage RotateLvCustomView::loadLogo()
{
    const QImage logo = Images::named(QStringLiteral("lvlogo2.png"));
    return logo.isNull() ? drawnLogo() : logo;
}

RotateLvCustomView::Placement RotateLvCustomView::placement(const QSizeF& size, float process)
{
    const double w = size.width();
    const float degrees = process * 180.0f;
    Placement place;
    place.turn = GaugePaint::narrowed(double((degrees + 90.0f) / 180.0f) * M_PI);
    place.logoWidth = w * logoShare;
    place.radius = w / 2 - place.logoWidth / 2;
    const double angle = degrees * M_PI / 180;
    const double upAngle = (90.0f - degrees) * M_PI / 180;
    place.centre = QPointF(w / 2 - GaugePaint::narrowed(place.radius * std::cos(angle)),
                           size.height() - GaugePaint::narrowed(place.radius * std::cos(upAngle)));
    return place;
}

QImage RotateLvCustomView::scaled(const QImage& image, float factor, qreal density)
{
    const QSizeF size = image.deviceIndependentSize() * factor;
    QImage canvas = CSExtensions::transparentCanvas(size, density);
    if (canvas.isNull())
        return canvas;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), size), image);
    return canvas;
}

QImage RotateLvCustomView::scaleToSize(const QImage& image, float factor)
{
    return scaled(image, factor, screenDensity());
}

QImage RotateLvCustomView::scaleImage(const QImage& image, float factor)
{
    return scaled(image, factor, 1.0);
}

QImage RotateLvCustomView::rotate(const QImage& image, float radians)
{
    const QSizeF size = image.deviceIndependentSize();
    const double side = std::max(size.width(), size.height());
    QImage canvas = CSExtensions::transparentCanvas(QSizeF(side, side), screenDensity());
    if (canvas.isNull())
        return canvas;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(side / 2, side / 2);
    painter.rotate(qRadiansToDegrees(double(radians)));
    painter.drawImage(QRectF(-size.width() / 2, -size.height() / 2, side, side),
                      image.mirrored(false, true));
    return canvas;
}

const QImage& RotateLvCustomView::mirroredLogo(double logoWidth, qreal density) const
{
    if (logoWidth != m_mirroredWidth || density != m_mirroredDensity) {
        const float factor = float(logoWidth / m_logo.deviceIndependentSize().width());
        m_mirrored = scaled(m_logo, factor, density).mirrored(false, true);
        m_mirroredWidth = logoWidth;
        m_mirroredDensity = density;
    }
    return m_mirrored;
}

void RotateLvCustomView::draw(QPainter& painter, const QSizeF& size) const
{
    if (m_logo.isNull())
        return;
    const Placement place = placement(size, m_process);
    const qreal density = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QImage& logo = mirroredLogo(place.logoWidth, density);
    if (logo.isNull())
        return;

    // The same picture as turning the logo on its square canvas with rotate()
    // and drawing that centred, without building the canvas on every frame:
    // the canvas cuts off whatever the turn moves outside it.
    const QSizeF logoSize = logo.deviceIndependentSize();
    const double side = std::max(logoSize.width(), logoSize.height());
    painter.setClipRect(QRectF(place.centre - QPointF(side / 2, side / 2), QSizeF(side, side)),
                        Qt::IntersectClip);
    painter.translate(place.centre);
    painter.rotate(qRadiansToDegrees(place.turn));
    painter.drawImage(QRectF(-logoSize.width() / 2, -logoSize.height() / 2, side, side), logo);
}
