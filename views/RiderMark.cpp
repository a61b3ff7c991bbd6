#include "views/RiderMark.h"

#include "platform/NumberText.h"
#include "platform/net/ImageLoader.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"

namespace RiderMark {

int levelBand(const QString& level)
{
    const int n = NumberText::toInt(level);
    if (n <= 5)
        return 1;
    if (n <= 10)
        return 2;
    if (n <= 15)
        return 3;
    return 4;
}

QRect avatarFrame(const QSize& size)
{
    // The factors are single-precision constants, as the mark's layout was designed.
    const int cx = int(size.width() * 0.5);
    const int cy = int(size.height() * double(0.379f));
    const int r = int(size.height() * double(0.33f));
    return QRect(cx - r, cy - r, 2 * r, 2 * r);
}

Picture build(QWidget* view, const QString& background, const QString& address, ImageLoader* images)
{
    const QImage image = Images::named(background);
    const QSize size = image.isNull() ? QSize(0, 0) : image.size();
    view->resize(size);
    Picture picture;
    picture.background = new ImageView(image, view);
    picture.background->setGeometry(QRect(QPoint(0, 0), size));
    picture.avatar = new ImageView(view);
    picture.avatar->setGeometry(avatarFrame(size));
    picture.avatar->setRound(true);
    picture.avatar->setContentMode(ImageView::ContentMode::AspectFill);
    const QImage placeholder = Images::named(QStringLiteral("touxiangsmall.png"));
    if (images)
        images->setImageWithURL(picture.avatar, address, placeholder);
    else
        picture.avatar->setImage(placeholder);
    return picture;
}

} // namespace RiderMark
