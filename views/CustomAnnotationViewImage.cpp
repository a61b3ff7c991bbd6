#include "views/CustomAnnotationViewImage.h"

#include "platform/Log.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"

CustomAnnotationViewImage::CustomAnnotationViewImage(const MapAnnotationPtr& annotation,
                                                     const QString& reuseIdentifier,
                                                     QWidget* parent)
    : MapAnnotationView(annotation, reuseIdentifier, parent)
{
    const QString title = annotation ? annotation->title() : QString();
    Log::write(QStringLiteral("beijingpicname:%1").arg(title));
    const QImage image = Images::named(title);
    const QSize size = image.isNull() ? QSize(0, 0) : image.size();
    setBounds(size);
    // The track's start, stop and standing marks are pins; its points are dots.
    if (title != QLatin1String("mapblackpoint.png"))
        standOnTip();
    m_portraitImageView = new ImageView(image, this);
    m_portraitImageView->setGeometry(QRect(QPoint(0, 0), size));
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
