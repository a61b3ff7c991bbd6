#include "views/CustomAnnotationViewImage.h"

#include "platform/Log.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"

CustomAnnotationViewImage::CustomAnnotationViewImage(const MapAnnotationPtr& annotation,
                                                     const QString& reuseIdentifier,
                                                     QWidget* parent)
    : MapAnnotationView(annotation, reuseIdentifier, parent)
{
    const MapAnnotationLayer::Picture look = picture(annotation ? annotation->title() : QString());
    const QSize size = look.image.isNull() ? QSize(0, 0) : look.image.size();
    setBounds(size);
    setCenterOffset(look.centerOffset);
    m_portraitImageView = new ImageView(look.image, this);
    m_portraitImageView->setGeometry(QRect(QPoint(0, 0), size));
}

MapAnnotationLayer::Picture CustomAnnotationViewImage::picture(const QString& title)
{
    Log::write(QStringLiteral("beijingpicname:%1").arg(title));
    const QImage image = Images::named(title);
    // The track's start, stop and standing marks are pins; its points are dots.
    const bool pin = title != QLatin1String("mapblackpoint.png");
    return {image, pin && !image.isNull() ? QPointF(0, -image.height() / 2.0) : QPointF()};
}

QImage CustomAnnotationViewImage::portrait() const
{
    return m_portraitImageView->image();
}

void CustomAnnotationViewImage::setPortrait(const QImage& image)
{
    m_portraitImageView->setImage(image);
}

void CustomAnnotationViewImage::setSelected(bool selected, bool animated)
{
    if (selected == isSelected())
        return;
    Log::write(selected ? QStringLiteral("选中") : QStringLiteral("释放"));
    MapAnnotationView::setSelected(selected, animated);
}
