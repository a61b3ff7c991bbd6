#include "screens/account/AccountUi.h"

#include "platform/net/ImageLoader.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Theme.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace AccountUi {

void paintBackdrop(QPainter& painter, const QRectF& rect, qreal headerBottom)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect, Theme::AccountPage);
    const qreal w = rect.width();
    const qreal wave = headerBottom * 0.08;
    QPainterPath header;
    header.moveTo(rect.topLeft());
    header.lineTo(rect.left() + w, rect.top());
    header.lineTo(rect.left() + w, headerBottom - wave);
    header.cubicTo(rect.left() + w * 0.70, headerBottom + wave, rect.left() + w * 0.30,
                   headerBottom - wave * 2.2, rect.left(), headerBottom);
    header.closeSubpath();
    QLinearGradient fill(rect.topLeft(), QPointF(rect.left() + w, headerBottom));
    fill.setColorAt(0.0, Theme::AccentDark);
    fill.setColorAt(1.0, Theme::Accent.lighter(112));
    painter.fillPath(header, fill);
    // Two faint rings in the header's corner: the tracker's signal.
    painter.setPen(QPen(Theme::HeaderRings, w * 0.02));
    painter.setBrush(Qt::NoBrush);
    for (qreal r : {w * 0.28, w * 0.44})
        painter.drawEllipse(QPointF(rect.left() + w * 0.96, rect.top() + w * 0.06), r, r);
    painter.restore();
}

void paintAvatarRing(QPainter& painter, const QRectF& frame)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal ring = frame.width() * 0.05;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::AvatarShadow);
    painter.drawEllipse(frame.adjusted(-ring, -ring + ring * 0.6, ring, ring + ring * 0.6));
    painter.setBrush(Qt::white);
    painter.drawEllipse(frame.adjusted(-ring, -ring, ring, ring));
    painter.restore();
}

void styleField(TextField* field, const QString& placeholder)
{
    field->setPlaceholderText(placeholder);
    // Editing starts only where the rider taps: focus handed back when an alert or the picker
    // closes must not begin editing (and move the registration screen for the keyboard).
    field->setFocusPolicy(Qt::ClickFocus);
    field->setStyleSheet(
        QStringLiteral("QLineEdit{background:white;border:1px solid %1;border-radius:%2px;"
                       "padding:0 12px;color:%3;selection-background-color:%4;}"
                       "QLineEdit:focus{border:2px solid %4;}")
            .arg(Theme::FieldBorder.name(), QString::number(Theme::FieldRadius),
                 Theme::AccountInk.name(), Theme::Accent.name()));
}

void stylePrimaryButton(Button* button, const QString& title)
{
    button->setText(title);
    button->setBackgroundColor(Theme::Accent);
    button->setTitleColor(Qt::white);
}

void styleTextButton(Button* button, const QString& title, const QColor& color)
{
    button->setText(title);
    button->setBackgroundColor(Qt::transparent);
    button->setTitleColor(color);
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QColor& color,
                  Qt::Alignment alignment)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

void shrinkToFit(QLabel* label, qreal pixels, bool bold)
{
    Theme::setPixelFont(label, pixels, bold, SmallestText);
    const int available = label->width() - 2;
    const int needed = label->fontMetrics().horizontalAdvance(label->text());
    if (available > 0 && needed > available)
        Theme::setPixelFont(label, pixels * available / needed, bold, SmallestText);
}

void setButtonFont(Button* button, qreal pixels)
{
    Theme::setPixelFont(button, pixels, true, SmallestText);
    const QString title = button->text();
    const bool han = !title.isEmpty() && title.at(0).script() == QChar::Script_Han;
    QFont font = button->font();
    font.setLetterSpacing(QFont::PercentageSpacing, han && title.size() == 2 ? 140 : 100);
    button->setFont(font);
}

qreal textWidth(const QWidget* widget, const QString& text, qreal pixels)
{
    QFont font = widget->font();
    font.setPixelSize(Theme::pixelSize(pixels, SmallestText));
    return QFontMetricsF(font).horizontalAdvance(text);
}

void showAvatar(ImageLoader* loader, ImageView* view, const QString& address)
{
    const QImage placeholder = Images::named(QStringLiteral("touxiangsmall.png"));
    if (loader)
        loader->setImageWithURL(view, address, placeholder);
    else
        view->setImage(placeholder);
}

} // namespace AccountUi
