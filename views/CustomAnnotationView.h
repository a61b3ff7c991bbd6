#pragma once

#include "platform/map/MapAnnotationView.h"
#include "views/RiderMark.h"

#include <QImage>
#include <QPointer>

class ImageView;
class QLabel;

// The mark of the ranked rider chosen in the ranking list: the background of the rider's
// level band with the rider's avatar in it, as the ranking cache held them when it was made.
class CustomAnnotationView : public MapAnnotationView
{
    Q_OBJECT

public:
    CustomAnnotationView(const MapAnnotationPtr& annotation, const QString& reuseIdentifier,
                         QWidget* parent = nullptr, const RiderMark::Services& services = {});

    QWidget* calloutView() const { return m_calloutView; }
    void setCalloutView(QWidget* callout) { m_calloutView = callout; }
    ImageView* portraitImageView() const { return m_portraitImageView; }
    ImageView* touxiangImageView() const { return m_touxiangImageView; }
    QLabel* nameLabel() const { return m_nameLabel; }
    // The name label is not made here, so without one the name reads empty and is not kept.
    QString name() const;
    void setName(const QString& name);
    QImage portrait() const;
    void setPortrait(const QImage& image);

    // The background of the mark as made ("biggreenbg1.png" ... "biggreenbg4.png").
    QString backgroundName() const { return m_backgroundName; }
    QString avatarAddress() const { return m_avatarAddress; }

    using MapAnnotationView::setSelected;
    void setSelected(bool selected, bool animated) override;
    // Inside the mark, or, while selected, inside its callout.
    bool pointInside(const QPointF& point) const override;

private:
    QPointer<QWidget> m_calloutView;
    ImageView* m_portraitImageView;
    ImageView* m_touxiangImageView;
    QLabel* m_nameLabel = nullptr;
    QString m_backgroundName;
    QString m_avatarAddress;
};
