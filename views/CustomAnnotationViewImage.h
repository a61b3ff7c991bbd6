#pragma once

#include "platform/map/MapAnnotationView.h"

#include <QImage>

class ImageView;

// A track mark that is one image, named by its annotation's title (start, black point,
// stop); the stop mark's image is changed later through setPortrait.
class CustomAnnotationViewImage : public MapAnnotationView
{
    Q_OBJECT

public:
    CustomAnnotationViewImage(const MapAnnotationPtr& annotation, const QString& reuseIdentifier,
                              QWidget* parent = nullptr);

    ImageView* portraitImageView() const { return m_portraitImageView; }
    QImage portrait() const;
    void setPortrait(const QImage& image);

    using MapAnnotationView::setSelected;
    void setSelected(bool selected, bool animated) override;

private:
    ImageView* m_portraitImageView;
};
