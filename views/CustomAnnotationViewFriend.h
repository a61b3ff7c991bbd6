#pragma once

#include "platform/map/MapAnnotationView.h"
#include "views/RiderMark.h"

#include <QImage>
#include <QPointer>

class ImageView;
class QLabel;

// The mark of a nearby rider: the background of the rider's level band (black for the
// user's own entry) with the avatar in it. It keeps the rider's fields as the nearby-riders
// cache held them and announces its selection with "SelectLvYou", so the rider card can
// show them. Fields stay null when the cache held no rider of the mark's rank.
class CustomAnnotationViewFriend : public MapAnnotationView
{
    Q_OBJECT

public:
    CustomAnnotationViewFriend(const MapAnnotationPtr& annotation, const QString& reuseIdentifier,
                               QWidget* parent = nullptr, const RiderMark::Services& services = {});

    ImageView* portraitImageView() const { return m_portraitImageView; }
    ImageView* touxiangImageView() const { return m_touxiangImageView; }
    QLabel* nameLabel() const { return m_nameLabel; }
    QString name() const;
    void setName(const QString& name);
    QImage portrait() const;
    void setPortrait(const QImage& image);
    QString backgroundName() const { return m_backgroundName; }
    QString avatarAddress() const { return m_avatarAddress; }

    QString lvyoupaiming;
    QString lvyouusername;
    QString lvyoulevel;
    QString lvyoulevelname;
    QString lvyoutouxiangpath;
    QString lvyoulat;
    QString lvyoulng;
    QString lvyousweixin;

    using MapAnnotationView::setSelected;
    void setSelected(bool selected, bool animated) override;

private:
    NotificationCenter* m_center = nullptr;
    ImageView* m_portraitImageView;
    ImageView* m_touxiangImageView;
    QLabel* m_nameLabel = nullptr;
    QString m_backgroundName;
    QString m_avatarAddress;
};
