#include "screens/account/ViewControllerFindPwd.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/Theme.h"
#include "protocol/DeviceServer.h"
#include "protocol/ReturnMarker.h"
#include "screens/AppContext.h"
#include "screens/account/AccountUi.h"
#include "screens/account/AuthCode.h"
#include "store/MyBasicInfo.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr int MinEmail = 5;

} // namespace

ViewControllerFindPwd::ViewControllerFindPwd(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

ViewControllerFindPwd::~ViewControllerFindPwd() = default;

void ViewControllerFindPwd::viewDidLoad()
{
    buildViews();
    getAuthcode();
    const QString touxiangpath = MyBasicInfo::GetValue(QStringLiteral("touxiangpath"));
    Log::write(QStringLiteral("touxiangpath = %1").arg(touxiangpath));
    AccountUi::showAvatar(m_app.images, m_touXiangImage, touxiangpath);
    m_textEmail->setDelegate(this);
    m_textCode->setDelegate(this);
}

void ViewControllerFindPwd::buildViews()
{
    m_backButton = new Button(this);
    AccountUi::styleTextButton(m_backButton, Localized::string(QStringLiteral("‹ 返回")),
                               Qt::white);
    m_touXiangImage = new ImageView(this);
    m_touXiangImage->setRound(true);
    m_touXiangImage->setContentMode(ImageView::ContentMode::AspectFill);
    m_title = AccountUi::makeLabel(this, Localized::string(QStringLiteral("找回密码")), Qt::white);
    m_subtitle = AccountUi::makeLabel(
        this, Localized::string(QStringLiteral("密码将发送到注册时填写的邮箱")),
        Theme::AccountSubtitle);
    m_textEmail = new TextField(this);
    AccountUi::styleField(m_textEmail, Localized::string(QStringLiteral("注册时的邮箱")));
    m_textCode = new TextField(this);
    AccountUi::styleField(m_textCode, Localized::string(QStringLiteral("验证码")));
    m_myCustomCOde = AccountUi::makeLabel(this, QString(), Theme::AccentDark);
    m_myCustomCOde->setStyleSheet(
        QStringLiteral("QLabel{background:%1;border:1px dashed %2;border-radius:%3px;}")
            .arg(Theme::CodeGround.name(), Theme::Accent.name(),
                 QString::number(Theme::FieldRadius)));
    m_myCustomCOde->setCursor(Qt::PointingHandCursor);
    new TapGestureRecognizer(m_myCustomCOde, [this] { RefshCode(); });
    m_refreshButton = new Button(this);
    AccountUi::styleTextButton(m_refreshButton, Localized::string(QStringLiteral("看不清? 换一个")),
                               Theme::AccountMuted);
    m_sendButton = new Button(this);
    AccountUi::stylePrimaryButton(m_sendButton, Localized::string(QStringLiteral("发送找回邮件")));
    m_textEmail->setObjectName(QStringLiteral("TextEmail"));
    m_textCode->setObjectName(QStringLiteral("TextCode"));
    m_myCustomCOde->setObjectName(QStringLiteral("MyCustomCOde"));
    m_touXiangImage->setObjectName(QStringLiteral("TouXiangImage"));
    m_sendButton->setObjectName(QStringLiteral("SendButton"));
    m_refreshButton->setObjectName(QStringLiteral("RefreshButton"));
    m_backButton->setObjectName(QStringLiteral("BackButton"));

    connect(m_refreshButton, &Button::clicked, this, &ViewControllerFindPwd::RefshCode);
    connect(m_sendButton, &Button::clicked, this, &ViewControllerFindPwd::ProcessFindPwd);
    // Recovery is left the way it was entered, back to the login screen.
    connect(m_backButton, &Button::clicked, this,
            [this] { performSegueWithIdentifier(QStringLiteral("ReturnToLogin"), this); });

    place(m_backButton, [this] { return gridRect(10, 30, 170, 70); });
    place(m_touXiangImage, [this] { return avatarFrame(); });
    place(m_title, [this] { return gridRect(0, 320, 720, 70); });
    place(m_subtitle, [this] { return gridRect(0, 390, 720, 50); });
    place(m_textEmail, [this] { return gridRect(80, 560, 560, 100); });
    place(m_textCode, [this] { return gridRect(80, 684, 330, 100); });
    place(m_myCustomCOde, [this] { return gridRect(430, 684, 210, 100); });
    place(m_refreshButton, [this] {
        const qreal w = AccountUi::textWidth(m_refreshButton, m_refreshButton->text(), gx(24));
        return QRectF(gx(640) - w - gx(8), gy(790), w + gx(8), gy(50));
    });
    place(m_sendButton, [this] { return gridRect(80, 900, 560, 100); });
}

QRectF ViewControllerFindPwd::avatarFrame() const
{
    const qreal side = gx(170);
    return QRectF(gx(360) - side / 2, gy(120), side, side);
}

void ViewControllerFindPwd::viewDidLayoutSubviews()
{
    Theme::setPixelFont(m_backButton, gx(30), false, AccountUi::SmallestText);
    Theme::setPixelFont(m_title, gx(46), true, AccountUi::SmallestText);
    Theme::setPixelFont(m_subtitle, gx(26), false, AccountUi::SmallestText);
    for (TextField* field : {m_textEmail.data(), m_textCode.data()})
        Theme::setPixelFont(field, gx(32), false, AccountUi::SmallestText);
    QFont code = m_myCustomCOde->font();
    code.setPixelSize(qMax(AccountUi::SmallestText, int(gx(44))));
    code.setBold(true);
    code.setItalic(true);
    code.setLetterSpacing(QFont::AbsoluteSpacing, gx(8));
    m_myCustomCOde->setFont(code);
    Theme::setPixelFont(m_refreshButton, gx(24), false, AccountUi::SmallestText);
    AccountUi::setButtonFont(m_sendButton, gx(34));
    m_sendButton->setCornerRadius(gy(100) / 2);
}

void ViewControllerFindPwd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    AccountUi::paintBackdrop(painter, QRectF(rect()), gy(480));
    AccountUi::paintAvatarRing(painter, avatarFrame());
}

bool ViewControllerFindPwd::textFieldShouldReturn(TextField* field)
{
    field->resignFirstResponder();
    return true;
}

void ViewControllerFindPwd::RefshCode()
{
    getAuthcode();
}

void ViewControllerFindPwd::getAuthcode()
{
    m_myCustomCOde->setText(AuthCode::make());
}

QString ViewControllerFindPwd::checkProblem() const
{
    const QString email = m_textEmail->text();
    if (email.length() < MinEmail)
        return QStringLiteral("邮箱过短!");
    if (!email.contains(QLatin1Char('@')))
        return QStringLiteral("邮箱格式错误!");
    // Containing the shown code and being exactly its length: equal to it.
    const QString typed = m_textCode->text();
    if (!typed.contains(m_myCustomCOde->text()) || typed.length() != AuthCode::Length)
        return QStringLiteral("验证码错误!");
    return QString();
}

void ViewControllerFindPwd::ProcessFindPwd()
{
    const QString problem = checkProblem();
    if (!problem.isEmpty()) {
        MyAlertView(problem);
        return;
    }
    QPointer<ViewControllerFindPwd> self(this);
    auto hold = keepAlive();
    m_app.server->sendRecoveryMail(
        MyBasicInfo::GetValue(QStringLiteral("devid")), m_textEmail->text(),
        [self, hold](ReturnMarker::Marker marker) {
            if (self)
                self->handleAnswer(marker);
        },
        [self, hold](const QString& error) {
            DeviceServer::logError(error);
            if (self)
                self->MyAlertView(QStringLiteral("网络访问出错!"));
        });
}

void ViewControllerFindPwd::handleAnswer(ReturnMarker::Marker marker)
{
    switch (marker) {
    case ReturnMarker::Error1:
        MyAlertView(QStringLiteral("缺少找回密码参数!"));
        break;
    case ReturnMarker::Error2:
        MyAlertView(QStringLiteral("设备号不存在!"));
        break;
    case ReturnMarker::Error3:
        MyAlertView(QStringLiteral("请输入注册时的邮箱!"));
        break;
    default:
        showSentDialog();
        break;
    }
}

void ViewControllerFindPwd::showSentDialog()
{
    auto* alert =
        new AlertController(Localized::string(QStringLiteral("提示")),
                            Localized::string(QStringLiteral("邮件发送成功,请注意查收!")));
    QPointer<ViewControllerFindPwd> self(this);
    alert->addAction(
        Localized::string(QStringLiteral("确定")), AlertController::ActionStyle::Default, [self] {
            if (self)
                self->performSegueWithIdentifier(QStringLiteral("ReturnToLogin"), self);
        });
    alert->presentOver(this);
}

void ViewControllerFindPwd::MyAlertView(const QString& message)
{
    AlertController::showTip(this, Localized::string(message));
}
