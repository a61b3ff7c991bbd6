#include "tour/AssetGallery.h"

#include "platform/Localized.h"
#include "platform/ui/Images.h"
#include "platform/ui/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Columns = 4;
constexpr int Header = 52;

} // namespace

AssetGallery::AssetGallery(const QStringList& names, QWidget* parent)
    : Screen(parent), m_names(names)
{
}

void AssetGallery::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), Theme::WindowGround);
    painter.fillRect(QRect(0, 0, width(), Header), Theme::Accent);
    QFont title = font();
    title.setPixelSize(18);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(16, 0, width() - 32, Header), Qt::AlignVCenter | Qt::AlignLeft,
                     Localized::string(QStringLiteral("素材  %1")).arg(m_names.size()));

    const int rows = (int(m_names.size()) + Columns - 1) / Columns;
    const qreal cellW = (width() - 16) / qreal(Columns);
    const qreal cellH = qMax<qreal>(40, (height() - Header - 8) / qreal(qMax(1, rows)));
    QFont label = font();
    label.setPixelSize(qMax(8, qMin(11, int(cellH / 7))));
    painter.setFont(label);
    for (int i = 0; i < m_names.size(); ++i) {
        const QRectF cell(8 + (i % Columns) * cellW, Header + 4 + (i / Columns) * cellH, cellW,
                          cellH);
        QPainterPath card;
        card.addRoundedRect(cell.adjusted(3, 3, -3, -3), 8, 8);
        painter.fillPath(card, Qt::white);
        const QImage image = Images::named(m_names[i]);
        const QRectF box = cell.adjusted(8, 6, -8, -(label.pixelSize() + 10));
        QSizeF size = image.size();
        size.scale(box.size().boundedTo(size * 1.0), Qt::KeepAspectRatio);
        if (size.width() > box.width() || size.height() > box.height())
            size.scale(box.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRectF(box.center() - QPointF(size.width() / 2, size.height() / 2), size),
                          image);
        painter.setPen(QColor(90, 100, 100));
        QString name = m_names[i];
        name.chop(4);
        painter.drawText(
            QRectF(cell.left() + 2, cell.bottom() - label.pixelSize() - 8, cell.width() - 4,
                   label.pixelSize() + 4),
            Qt::AlignCenter,
            painter.fontMetrics().elidedText(name, Qt::ElideMiddle, int(cell.width() - 8)));
    }
}
