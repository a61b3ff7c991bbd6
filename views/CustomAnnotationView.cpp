#include "views/CustomAnnotationView.h"

#include "platform/Log.h"
#include "platform/ui/ImageView.h"
#include "store/MyBasicInfo.h"
#include "store/MyPaiMingInfo.h"
#include "views/RiderMark.h"

#include <QLabel>

CustomAnnotationView::CustomAnnotationView(const MapAnnotationPtr& annotation,
                                           const QString& reuseIdentifier, QWidget* parent,
                                           const RiderMark::Services& services)
    : MapAnnotationView(annotation, reuseIdentifier, parent)
{
    QString cellindex = MyBasicInfo::GetValue(QStringLiteral("cellindex"));
    if (cellindex == QLatin1String("0"))
        cellindex = QStringLiteral("1");
    Log::write(QStringLiteral("database_cellindex:%1").arg(cellindex));
    const QList<RiderInfo> riders = MyPaiMingInfo::GetValue(cellindex);
    m_backgroundName = QStringLiteral("biggreenbg4.png");
    if (!riders.isEmpty()) {
        m_avatarAddress = riders.first().touxiangpath;
        m_backgroundName =
            QStringLiteral("biggreenbg%1.png").arg(RiderMark::levelBand(riders.first().level));
    }
    const RiderMark::Picture picture =
        RiderMark::build(this, m_backgroundName, m_avatarAddress, services.images);
    standOnTip();
    m_portraitImageView = picture.background;
    m_touxiangImageView = picture.avatar;
}

QString CustomAnnotationView::name() const
{
    return m_nameLabel ? m_nameLabel->text() : QString();
}

void CustomAnnotationView::setName(const QString& name)
{
    if (m_nameLabel)
        m_nameLabel->setText(name);
}

QImage CustomAnnotationView::portrait() const
{
    return m_portraitImageView->image();
}

void CustomAnnotationView::setPortrait(const QImage& image)
{
    m_portraitImageView->setImage(image);
}

void CustomAnnotationView::setSelected(bool selected, bool animated)
{
    if (selected == isSelected())
        return;
    MapAnnotationView::setSelected(selected, animated);
}

bool CustomAnnotationView::pointInside(const QPointF& point) const
{
    if (MapAnnotationView::pointInside(point))
        return true;
    if (!isSelected() || !m_calloutView)
        return false;
    const QPointF inCallout = m_calloutView->mapFromGlobal(mapToGlobal(point));
    return QRectF(m_calloutView->rect()).contains(inCallout);
}
