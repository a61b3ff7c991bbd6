#include "screens/profile/AllOfMinePages3.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NumberText.h"
#include "platform/map/MapPointAnnotation.h"
#include "platform/map/MapView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/Theme.h"
#include "screens/AppContext.h"
#include "screens/profile/MineUi.h"
#include "store/MyBasicInfo.h"
#include "store/MyPaiMingInfo.h"
#include "views/CustomAnnotationView.h"

#include <QLabel>
#include <QPainter>

AllOfMinePages3::AllOfMinePages3(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

void AllOfMinePages3::viewDidLoad()
{
    buildCard();
    UpdateData();
    MineUi::showMadeChildren(this);
}

QRectF AllOfMinePages3::cardRect() const
{
    const double top = height() * 820.0 / 1120.0;
    const double margin = width() * 24.0 / 720.0;
    return QRectF(margin, top + margin, width() - 2 * margin, height() - top - 2 * margin);
}

QRectF AllOfMinePages3::avatarFrame() const
{
    const QRectF card = cardRect();
    const double side = card.height() * 0.52;
    return QRectF(card.x() + card.height() * 0.16, card.center().y() - side / 2, side, side);
}

void AllOfMinePages3::buildCard()
{
    m_touxiangimage = MineUi::makeAvatar(this);
    MineUi::showAvatar(m_app.images, m_touxiangimage, QString());
    place(m_touxiangimage, [this] { return avatarFrame(); });
    const QColor colours[] = {Theme::ProfileInk, Theme::Accent, Theme::Muted};
    const double sizes[] = {0.14, 0.125, 0.11};
    QLabel* labels[3];
    for (int i = 0; i < 3; ++i) {
        QLabel* label = MineUi::makeLabel(this, colours[i]);
        place(label, [=, this] {
            const QRectF card = cardRect();
            const QRectF avatar = avatarFrame();
            const double x = avatar.right() + card.height() * 0.12;
            const double line = card.height() * 0.23;
            Theme::setPixelFont(label, card.height() * sizes[i], i < 2);
            return QRectF(x, card.y() + card.height() * 0.155 + i * line, card.right() - x - 8,
                          line);
        });
        labels[i] = label;
    }
    m_username = labels[0];
    m_paiming = labels[1];
    m_weixin = labels[2];
    m_username->setObjectName(QStringLiteral("username"));
    m_paiming->setObjectName(QStringLiteral("paiming"));
    m_weixin->setObjectName(QStringLiteral("weixin"));
}

void AllOfMinePages3::UpdateData()
{
    QString cellindex = MyBasicInfo::GetValue(QStringLiteral("cellindex"));
    if (cellindex == QLatin1String("0"))
        cellindex = QStringLiteral("1");
    Log::write(QStringLiteral("UpdateData database_cellindex:%1").arg(cellindex));
    const QList<RiderInfo> riders = MyPaiMingInfo::GetValue(cellindex);
    if (riders.isEmpty())
        return;
    const RiderInfo& rider = riders.first();
    if (m_touxiangimage) {
        MineUi::showAvatar(m_app.images, m_touxiangimage, rider.touxiangpath);
        m_username->setText(Localized::string(QStringLiteral("%1- %2 %3级"))
                                .arg(rider.username, rider.levelname, rider.level));
        m_paiming->setText(Localized::string(QStringLiteral("本周排名 NO.%1")).arg(rider.paiming));
        m_weixin->setText(Localized::string(QStringLiteral("微信名 : %1")).arg(rider.weixin));
    }
    m_poslat = NumberText::toFloat(rider.lat);
    m_poslng = NumberText::toFloat(rider.lng);
}

void AllOfMinePages3::viewWillAppear()
{
    buildMap();
    buildBackButton();
}

void AllOfMinePages3::buildMap()
{
    delete m_mapView;
    const double w = width();
    const double h = height();
    m_mapView = new MapView(QRectF(0, 0, w, h * 820 / 1120), this);
    m_mapView->setObjectName(QStringLiteral("mapView"));
    m_mapView->setDelegate(this);
    m_mapView->show();
    m_mapView->lower();
    Log::write(QStringLiteral("地图"));
    const double latitude = double(m_poslat);
    const double longitude = double(m_poslng);
    addAnnotationWithCooordinate(latitude, longitude);
    m_mapView->setCenterCoordinate(MapCoordinate{latitude, longitude}, true);
}

void AllOfMinePages3::addAnnotationWithCooordinate(double latitude, double longitude)
{
    if (!m_mapView)
        return;
    auto annotation = std::make_shared<MapPointAnnotation>();
    annotation->setCoordinate(MapCoordinate{latitude, longitude});
    m_mapView->addAnnotation(annotation);
}

QRect AllOfMinePages3::backButtonFrame(const QSizeF& size)
{
    const double w = size.width();
    const double h = size.height();
    const int side = int(w * 60 / 720);
    const float half = float(side) * 0.5f;
    const int x = int(float(int(w * 72 / 720)) - half);
    const int y = int(float(int(h * 140 / 1120)) - half);
    return QRect(x, y, side, side);
}

void AllOfMinePages3::buildBackButton()
{
    delete m_backButton;
    m_backButton = new Button(this);
    m_backButton->setObjectName(QStringLiteral("backButton"));
    m_backButton->setImage(Images::named(QStringLiteral("leftarrow.png")));
    m_backButton->setBackgroundColor(Qt::transparent);
    m_backButton->setGeometry(backButtonFrame(QSizeF(width(), height())));
    connect(m_backButton, &Button::clicked, this, &AllOfMinePages3::button1);
    m_backButton->show();
    m_backButton->raise();
}

void AllOfMinePages3::button1()
{
    Log::write(QStringLiteral("点击了返回按钮"));
    m_app.center->post(QStringLiteral("AllOfMinePages3ToAllOfMinePages2"), this);
}

MapAnnotationView* AllOfMinePages3::viewForAnnotation(MapView* mapView,
                                                      const MapAnnotationPtr& annotation)
{
    if (!std::dynamic_pointer_cast<MapPointAnnotation>(annotation))
        return nullptr;
    const QString identifier = QString::fromLatin1(AnnotationIdentifier);
    if (MapAnnotationView* reused =
            mapView->dequeueReusableAnnotationViewWithIdentifier(identifier))
        return reused;
    auto* view = new CustomAnnotationView(annotation, identifier, nullptr, {m_app.images, nullptr});
    view->setCanShowCallout(false);
    view->setDraggable(true);
    view->setCalloutOffset(QPointF(0, -5));
    return view;
}

void AllOfMinePages3::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Theme::Page);
    const QRectF card = cardRect();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const qreal radius = width() * Theme::ProfileCardRadius / 720.0;
    painter.drawRoundedRect(card, radius, radius);
    MineUi::paintAvatarRing(painter, avatarFrame());
}
