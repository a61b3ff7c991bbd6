#pragma once

#include "platform/map/MapAnnotationLayer.h"
#include "platform/map/MapAnnotationView.h"

#include <QImage>

class ImageView;

// A track mark that is one image, named by its annotation's title (start, black point,
// stop); the stop mark's image is changed later through setPortrait. The map draws such
// marks itself from picture() when they come as a layer.
class CustomAnnotationViewImage : public MapAnnotationView
{
    Q_OBJECT

public:
    CustomAnnotationViewImage(const MapAnnotationPtr& annotation, const QString& reuseIdentifier,
                              QWidget* parent = nullptr);

    // The image a title names, standing on its tip for a pin or centred for a dot.
    static MapAnnotationLayer::Picture picture(const QString& title);

    ImageView* portraitImageView() const { return m_portraitImageView; }
    QImage portrait() const;
    void setPortrait(const QImage& image);

    using MapAnnotationView::setSelected;
    void setSelected(bool selected, bool animated) override;

private:
    ImageView* m_portraitImageView;
};
