#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class ImageView;
class QWidget;

// What the two rider marks share: the level band that picks their background, and the
// picture of a background with the rider's avatar in its circle.
namespace RiderMark {

// Band 1 (level 5 or less), 2 (6 to 10), 3 (11 to 15) or 4 (16 or more); a level that is
// not a number counts as 0.
int levelBand(const QString& level);
// The avatar's frame inside a background of `size`: a square of side 2r around
// (w * 0.5, h * 0.379) with r = h * 0.33, each truncated.
QRect avatarFrame(const QSize& size);

struct Picture
{
    ImageView* background = nullptr;
    ImageView* avatar = nullptr;
};
// Sizes `view` to the background image named `background`, puts the background in it and
// the avatar above it; the avatar shows the placeholder and then the picture at `address`.
Picture build(QWidget* view, const QString& background, const QString& address);

} // namespace RiderMark
