#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class ImageLoader;
class ImageView;
class NotificationCenter;
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

// What a rider mark is given by the screen that makes it: where its avatar comes from and
// where it announces its selection. Without them it shows the placeholder and says nothing.
struct Services
{
    ImageLoader* images = nullptr;
    NotificationCenter* center = nullptr;
};

struct Picture
{
    ImageView* background = nullptr;
    ImageView* avatar = nullptr;
};
// Sizes `view` to the background image named `background`, puts the background in it and
// the avatar above it; the avatar shows the placeholder and then the picture at `address`
// that `images` loads.
Picture build(QWidget* view, const QString& background, const QString& address,
              ImageLoader* images);

} // namespace RiderMark
