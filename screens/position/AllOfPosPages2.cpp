#include "screens/position/AllOfPosPages2.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/net/ImageLoader.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/Theme.h"
#include "screens/AppContext.h"
#include "store/MyBasicInfo.h"
#include "views/CustomAnnotationViewFriend.h"
#include "views/FitLabel.h"

#include <QLabel>
#include <QPainter>

AllOfPosPages2::AllOfPosPages2(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

void AllOfPosPages2::viewDidLoad()
{
    buildCard();
    InitData();
    // The observer goes with the page.
    m_app.center->addObserver(
        QStringLiteral("SelectLvYou"),
        [this](const Notification& notification) { ProcessSelectLvYou(notification.object); },
        this);
}

void AllOfPosPages2::buildCard()
{
    m_touxiangimage = new ImageView(this);
    m_touxiangimage->setObjectName(QStringLiteral("touxiangimage"));
    m_touxiangimage->setRound(true);
    m_touxiangimage->setContentMode(ImageView::ContentMode::AspectFill);
    place(m_touxiangimage, [this] {
        const double side = height() * 0.62;
        return QRectF(gx(48), (height() - side) / 2, side, side);
    });
    QList<QLabel*> lines;
    const double tops[] = {0.14, 0.42, 0.66};
    const double sizes[] = {0.125, 0.115, 0.115};
    for (int i = 0; i < 3; ++i) {
        // A long name and level title must not be cut through a character.
        QLabel* label = i == 0 ? new FitLabel(this) : new QLabel(this);
        label->setStyleSheet(
            i == 0 ? QStringLiteral("color: %1; font-weight: bold").arg(Theme::PositionInk.name())
                   : QStringLiteral("color: %1").arg(Theme::PositionMuted.name()));
        place(label, [=, this] {
            Theme::setPixelSize(label, height() * sizes[i]);
            const double left = gx(48) + height() * 0.62 + gx(36);
            return QRectF(left, height() * tops[i], width() - left - gx(24), height() * 0.22);
        });
        lines.append(label);
    }
    m_username = lines[0];
    m_paiming = lines[1];
    m_weixin = lines[2];
    m_username->setObjectName(QStringLiteral("username"));
    m_paiming->setObjectName(QStringLiteral("paiming"));
    m_weixin->setObjectName(QStringLiteral("weixin"));
}

QString AllOfPosPages2::usernameText(const QString& name, const QString& levelname,
                                     const QString& level)
{
    return Localized::string(QStringLiteral("%1- %2 %3级")).arg(name, levelname, level);
}

QString AllOfPosPages2::paimingText(const QString& paiming)
{
    return Localized::string(QStringLiteral("本周排名 NO.%1")).arg(paiming);
}

QString AllOfPosPages2::weixinText(const QString& weixin)
{
    return Localized::string(QStringLiteral("微信名 : %1")).arg(weixin);
}

void AllOfPosPages2::showAvatar(const QString& address)
{
    const QImage placeholder = Images::named(QStringLiteral("touxiangsmall.png"));
    if (m_app.images)
        m_app.images->setImageWithURL(m_touxiangimage, address, placeholder);
    else
        m_touxiangimage->setImage(placeholder);
}

void AllOfPosPages2::InitData()
{
    const QString touxiangpath = MyBasicInfo::GetValue(QStringLiteral("touxiangpath"));
    Log::write(QStringLiteral("touxiangpath = %1").arg(touxiangpath));
    showAvatar(touxiangpath);
    m_username->setText(usernameText(MyBasicInfo::GetValue(QStringLiteral("localusername")),
                                     MyBasicInfo::GetValue(QStringLiteral("levelname")),
                                     MyBasicInfo::GetValue(QStringLiteral("level"))));
    m_paiming->setText(paimingText(MyBasicInfo::GetValue(QStringLiteral("paiming"))));
    m_weixin->setText(weixinText(MyBasicInfo::GetValue(QStringLiteral("weixin"))));
}

void AllOfPosPages2::ProcessSelectLvYou(QObject* mark)
{
    Log::write(QStringLiteral("选中了一个驴友"));
    auto* rider = qobject_cast<CustomAnnotationViewFriend*>(mark);
    if (!rider || !m_username)
        return;
    showAvatar(rider->lvyoutouxiangpath);
    m_username->setText(
        usernameText(rider->lvyouusername, rider->lvyoulevelname, rider->lvyoulevel));
    m_paiming->setText(paimingText(rider->lvyoupaiming));
    m_weixin->setText(weixinText(rider->lvyousweixin));
}

void AllOfPosPages2::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
}
