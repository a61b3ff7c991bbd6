#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <Qt>

class Button;
class ImageLoader;
class ImageView;
class QLabel;
class QPainter;
class QWidget;
class TextField;

// The look the account screens share (a teal header over a pale page, white fields, one
// strong button) and the avatar they show.
namespace AccountUi {

// Account text is never set below 8 pixels, however narrow the screen.
constexpr int SmallestText = 8;

// A pale page under a teal header whose lower edge is a soft wave ending at `headerBottom`.
void paintBackdrop(QPainter& painter, const QRectF& rect, qreal headerBottom);
// A white ring with a faint shadow around a round avatar of frame `frame`.
void paintAvatarRing(QPainter& painter, const QRectF& frame);

void styleField(TextField* field, const QString& placeholder);
void stylePrimaryButton(Button* button, const QString& title);
// A button drawn as text only (links such as "忘记密码?").
void styleTextButton(Button* button, const QString& title, const QColor& color);
QLabel* makeLabel(QWidget* parent, const QString& text, const QColor& color,
                  Qt::Alignment alignment = Qt::AlignCenter);
// As Theme::setPixelFont, made smaller where the label's text would not fit its width.
void shrinkToFit(QLabel* label, qreal pixels, bool bold = false);
// The bold title of a main button; a two-character Chinese title is spaced out.
void setButtonFont(Button* button, qreal pixels);
// Width in points of `text` in the widget's font at `pixels` pixels.
qreal textWidth(const QWidget* widget, const QString& text, qreal pixels);

// The avatar at `address`: the small placeholder at once, the picture when it arrives.
void showAvatar(ImageLoader* loader, ImageView* view, const QString& address);

} // namespace AccountUi
