#include "views/CustomAnnotationViewFriend.h"

#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ImageView.h"
#include "store/MyBasicInfo.h"
#include "store/MyFriendInfo.h"
#include "views/RiderMark.h"

#include <QLabel>

CustomAnnotationViewFriend::CustomAnnotationViewFriend(const MapAnnotationPtr& annotation,
                                                       const QString& reuseIdentifier,
                                                       QWidget* parent,
                                                       const RiderMark::Services& services)
    : MapAnnotationView(annotation, reuseIdentifier, parent), m_center(services.center)
{
    const QString localusername = MyBasicInfo::GetValue(QStringLiteral("localusername"));
    const QString title = annotation ? annotation->title() : QString();
    Log::write(QStringLiteral("database_cellindex:%1").arg(title));
    // Ranks change between answers; the user name (the mark's subtitle) names one rider.
    const QList<RiderInfo> riders =
        MyFriendInfo::GetByUsername(annotation ? annotation->subtitle() : QString());
    m_backgroundName = QStringLiteral("biggreenbg4.png");
    if (!riders.isEmpty()) {
        const RiderInfo& rider = riders.first();
        lvyoupaiming = rider.paiming;
        lvyouusername = rider.username;
        lvyoulevel = rider.level;
        lvyoulevelname = rider.levelname;
        lvyoutouxiangpath = rider.touxiangpath;
        lvyoulat = rider.lat;
        lvyoulng = rider.lng;
        lvyousweixin = rider.weixin;
        const int band = RiderMark::levelBand(rider.level);
        m_backgroundName = localusername == rider.username
                               ? QStringLiteral("blackmarkbg%1.png").arg(band)
                               : QStringLiteral("biggreenbg%1.png").arg(band);
        m_avatarAddress = rider.touxiangpath;
    }
    const RiderMark::Picture picture =
        RiderMark::build(this, m_backgroundName, m_avatarAddress, services.images);
    standOnTip();
    m_portraitImageView = picture.background;
    m_touxiangImageView = picture.avatar;
}

QString CustomAnnotationViewFriend::name() const
{
    return m_nameLabel ? m_nameLabel->text() : QString();
}

void CustomAnnotationViewFriend::setName(const QString& name)
{
    if (m_nameLabel)
        m_nameLabel->setText(name);
}

QImage CustomAnnotationViewFriend::portrait() const
{
    return m_portraitImageView->image();
}

void CustomAnnotationViewFriend::setPortrait(const QImage& image)
{
    m_portraitImageView->setImage(image);
}

void CustomAnnotationViewFriend::setSelected(bool selected, bool animated)
{
    if (selected == isSelected())
        return;
    if (selected) {
        Log::write(QStringLiteral("选中"));
        if (m_center)
            m_center->post(QStringLiteral("SelectLvYou"), this);
    } else {
        Log::write(QStringLiteral("释放"));
    }
    MapAnnotationView::setSelected(selected, animated);
}
