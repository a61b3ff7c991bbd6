#include "platform/ui/PlaceholderScreen.h"

#include "platform/ui/Images.h"

#include <QPainter>
#include <QPainterPath>

PlaceholderScreen::PlaceholderScreen(const QString& identifier, QWidget* parent)
    : Screen(parent), m_name(identifier)
{
}

void PlaceholderScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), QColor(246, 248, 248));
    const qreal side = qMin(width(), height()) * 0.22;
    const QRectF logo(width() / 2.0 - side / 2, height() * 0.38 - side / 2, side, side);
    painter.setOpacity(0.35);
    painter.drawImage(logo, Images::named(QStringLiteral("lvlogo2.png")));
    painter.setOpacity(1.0);
    QFont font = painter.font();
    font.setPixelSize(qMax(12, int(side * 0.2)));
    painter.setFont(font);
    painter.setPen(QColor(19, 146, 134));
    painter.drawText(QRectF(0, logo.bottom() + side * 0.2, width(), font.pixelSize() * 2.0),
                     Qt::AlignHCenter | Qt::AlignTop, m_name);
}
