#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <Qt>

class ImageLoader;
class ImageView;
class QLabel;
class QPainter;
class QWidget;

// What the profile section's pages share: their texts, labels and avatars.
namespace MineUi {

// "%@ %@级": the level name, one space, the level and 级.
QString levelLine(const QString& levelname, const QString& level);
// "NO.%@".
QString rankLine(const QString& paiming);

QLabel* makeLabel(QWidget* parent, const QColor& color, Qt::Alignment alignment = Qt::AlignLeft);
// A round avatar view showing the placeholder "touxiangsmall.png" now and the picture at
// `address` when it arrives.
ImageView* makeAvatar(QWidget* parent);
void showAvatar(ImageLoader* loader, ImageView* view, const QString& address);
// Empties the view; a picture still on its way for it no longer lands there.
void clearAvatar(ImageLoader* loader, ImageView* view);
// Shows the direct children made while `parent` was already on display (a pager shows a
// page before loading it), leaving alone the ones hidden on purpose.
void showMadeChildren(QWidget* parent);
// A white ring around an avatar frame.
void paintAvatarRing(QPainter& painter, const QRectF& frame);

} // namespace MineUi
