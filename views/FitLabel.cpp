#include "views/FitLabel.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

QFont scaled(const QFont& font, double scale)
{
    QFont smaller = font;
    if (font.pixelSize() > 0)
        smaller.setPixelSize(qMax(1, int(font.pixelSize() * scale)));
    else
        smaller.setPointSizeF(font.pointSizeF() * scale);
    return smaller;
}

} // namespace

FitLabel::Fitted FitLabel::fitted() const
{
    const qreal room = contentsRect().width();
    QFont font = this->font();
    for (double scale = 0.9;
         QFontMetricsF(font).horizontalAdvance(text()) > room && scale >= SmallestScale - 1e-9;
         scale -= 0.1)
        font = scaled(this->font(), scale);
    return {font, QFontMetricsF(font).elidedText(text(), Qt::ElideRight, room)};
}

void FitLabel::paintEvent(QPaintEvent*)
{
    const Fitted shown = fitted();
    QPainter painter(this);
    painter.setFont(shown.font);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, shown.text);
}
