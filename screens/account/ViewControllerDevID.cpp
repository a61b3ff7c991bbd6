#include "screens/account/ViewControllerDevID.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/Timer.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Images.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/Theme.h"
#include "protocol/DeviceInfo.h"
#include "protocol/DeviceServer.h"
#include "screens/AppContext.h"
#include "screens/account/AccountUi.h"
#include "screens/account/RoundView.h"
#include "screens/account/ViewController.h"
#include "store/MyBasicInfo.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr double LowAlpha = 0.3;
constexpr double AlphaStep = 0.08;

} // namespace

ViewControllerDevID::ViewControllerDevID(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

ViewControllerDevID::~ViewControllerDevID() = default;

void ViewControllerDevID::viewDidLoad()
{
    buildViews();
    m_textFieldDevID->setLeftImage(Images::named(QStringLiteral("logo_id.png")));
    m_textFieldDevID->setDelegate(this);
    const QString devid = MyBasicInfo::GetValue(QStringLiteral("devid"));
    if (devid.length() >= 2)
        m_textFieldDevID->setText(devid);
    m_connectBj->setAlpha(LowAlpha);
    m_addalpha = 1;
    m_addalphaTotalTime = 0;
    new TapGestureRecognizer(m_connect, [this] { tapPageConnect(); });
    m_connect->setCursor(Qt::PointingHandCursor);
}

void ViewControllerDevID::buildViews()
{
    m_title = AccountUi::makeLabel(this, Localized::string(QStringLiteral("绑定设备")), Qt::white);
    m_subtitle = AccountUi::makeLabel(
        this, Localized::string(QStringLiteral("输入定位器背面标签上的设备号")),
        Theme::AccountSubtitle);
    m_textFieldDevID = new TextField(this);
    AccountUi::styleField(m_textFieldDevID, Localized::string(QStringLiteral("设备号")));
    m_textFieldDevID->setInputMethodHints(Qt::ImhPreferNumbers);
    m_connectBj = new RoundView(Theme::Accent, this);
    m_connect = new RoundView(Theme::Accent, this);
    m_connect->setRing(Qt::white, 0.045);
    m_label1 =
        AccountUi::makeLabel(m_connect, Localized::string(QStringLiteral("点击")), Qt::white);
    m_label2 =
        AccountUi::makeLabel(m_connect, Localized::string(QStringLiteral("连接")), Qt::white);
    for (QLabel* label : {m_label1.data(), m_label2.data()})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_hint = AccountUi::makeLabel(
        this, Localized::string(QStringLiteral("连接后将自动进入登录或注册")), Theme::AccountMuted);
    m_textFieldDevID->setObjectName(QStringLiteral("TextFieldDevID"));
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_connectBj->setObjectName(QStringLiteral("ConnectBj"));
    m_connect->setObjectName(QStringLiteral("Connect"));

    place(m_title, [this] { return gridRect(0, 150, 720, 90); });
    place(m_subtitle, [this] { return gridRect(0, 245, 720, 60); });
    place(m_textFieldDevID, [this] { return gridRect(80, 560, 560, 104); });
    place(m_connect, [this] {
        const qreal side = gx(220);
        return QRectF(gx(360) - side / 2, gy(890) - side / 2, side, side);
    });
    place(m_connectBj, [this] {
        const qreal side = gx(310);
        return QRectF(gx(360) - side / 2, gy(890) - side / 2, side, side);
    });
    place(m_label1, [this] {
        const qreal side = gx(220);
        return QRectF(0, side * 0.24, side, side * 0.26);
    });
    place(m_label2, [this] {
        const qreal side = gx(220);
        return QRectF(0, side * 0.50, side, side * 0.26);
    });
    place(m_hint, [this] { return gridRect(0, 1150, 720, 60); });
}

void ViewControllerDevID::viewDidLayoutSubviews()
{
    Theme::setPixelFont(m_title, gx(52), true, AccountUi::SmallestText);
    Theme::setPixelFont(m_subtitle, gx(28), false, AccountUi::SmallestText);
    Theme::setPixelFont(m_textFieldDevID, gx(34), false, AccountUi::SmallestText);
    AccountUi::shrinkToFit(m_label1, gx(40), true);
    AccountUi::shrinkToFit(m_label2, gx(40), true);
    Theme::setPixelFont(m_hint, gx(24), false, AccountUi::SmallestText);
}

void ViewControllerDevID::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    AccountUi::paintBackdrop(painter, QRectF(rect()), gy(440));
}

bool ViewControllerDevID::textFieldShouldReturn(TextField* field)
{
    field->resignFirstResponder();
    return true;
}

void ViewControllerDevID::tapPageConnect()
{
    Log::write(QStringLiteral("点击了连接界面"));
    m_label1->setText(Localized::string(QStringLiteral("正在")));
    m_label2->setText(Localized::string(QStringLiteral("连接")));
    viewDidLayoutSubviews();
    startPainting();
}

void ViewControllerDevID::startPainting()
{
    // One animation at a time: a tap while connecting restarts the ticking, it does not add
    // a second timer that would keep querying.
    stopPainting();
    m_paintingTimer = new Timer(
        PaintIntervalSeconds, true, [this] { paint(); }, this);
}

void ViewControllerDevID::stopPainting()
{
    if (!m_paintingTimer)
        return;
    m_paintingTimer->invalidate();
    m_paintingTimer->deleteLater();
    m_paintingTimer = nullptr;
}

void ViewControllerDevID::paint()
{
    const double a = m_connectBj->alpha();
    if (a >= 1.0)
        m_addalpha = -1;
    else if (a <= LowAlpha)
        m_addalpha = 1;
    m_connectBj->setAlpha(a + m_addalpha * AlphaStep);
    m_addalphaTotalTime += 1;
    if (m_addalphaTotalTime >= PaintTicks) {
        stopPainting();
        ProcessDevidQuery();
    }
}

void ViewControllerDevID::ProcessDevidQuery()
{
    const QString devid = m_textFieldDevID->text();
    MyBasicInfo::SetValue(QStringLiteral("devid"), devid);
    if (devid.length() < 2) {
        MyAlertView(QStringLiteral("设备号过短"));
        return;
    }
    QPointer<ViewControllerDevID> self(this);
    auto hold = keepAlive();
    m_app.server->queryDevice(
        devid,
        [self, hold](const DeviceInfo& info) {
            if (self)
                self->routeByAnswer(info);
        },
        [self, hold](const QString& error) {
            DeviceServer::logError(error);
            if (self)
                self->MyAlertView(QStringLiteral("网络访问出错!"));
        });
}

void ViewControllerDevID::routeByAnswer(const DeviceInfo& info)
{
    ViewController::storeDeviceAccount(info);
    if (info.isUnknown())
        MyAlertView(QStringLiteral("设备号不存在!"));
    else if (info.username.length() < 3)
        performSegueWithIdentifier(QStringLiteral("GoToRegister"), this);
    else
        performSegueWithIdentifier(QStringLiteral("GoToLogin"), this);
}

void ViewControllerDevID::MyAlertView(const QString& message)
{
    AlertController::showTip(this, Localized::string(message));
}
