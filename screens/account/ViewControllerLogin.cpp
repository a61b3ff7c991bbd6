#include "screens/account/ViewControllerLogin.h"

#include "platform/Log.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/Localized.h"
#include "platform/ui/Theme.h"
#include "poll/StatusStore.h"
#include "protocol/DeviceServer.h"
#include "protocol/StatusAnswer.h"
#include "screens/AppContext.h"
#include "screens/account/AccountUi.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr int MinUserName = 5;
constexpr int MinPassword = 6;

QString setting(const char* key)
{
    return MyBasicInfo::GetValue(QString::fromLatin1(key));
}

} // namespace

ViewControllerLogin::ViewControllerLogin(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

ViewControllerLogin::~ViewControllerLogin() = default;

void ViewControllerLogin::viewDidLoad()
{
    buildViews();
    loadFields();
    m_touXiangImage->setOnTap([this] { tapPageTouXiang(); });
    m_textUserName->setDelegate(this);
    m_textPwd->setDelegate(this);
}

void ViewControllerLogin::viewWillAppear()
{
    // Back from password recovery the screen shows the store again, as a fresh one
    // would: what was typed before (a password among it) does not linger.
    if (m_appeared)
        loadFields();
    m_appeared = true;
}

void ViewControllerLogin::loadFields()
{
    const QString username = setting("localusername");
    m_textUserName->setText(username.length() >= 2 ? username : QString());
    const QString pwd = setting("localpwd");
    setGouHao(pwd.length() >= 2);
    m_textPwd->setText(pwd.length() >= 2 ? pwd : QString());
    const QString touxiangpath = setting("touxiangpath");
    Log::write(QStringLiteral("touxiangpath = %1").arg(touxiangpath));
    AccountUi::showAvatar(m_app.images, m_touXiangImage, touxiangpath);
}

void ViewControllerLogin::buildViews()
{
    m_touXiangImage = new ImageView(this);
    m_touXiangImage->setRound(true);
    m_touXiangImage->setContentMode(ImageView::ContentMode::AspectFill);
    m_touXiangImage->setCursor(Qt::PointingHandCursor);
    m_title = AccountUi::makeLabel(this, Localized::string(QStringLiteral("欢迎回来")), Qt::white);
    const QString devid = setting("devid");
    m_subtitle = AccountUi::makeLabel(
        this, Localized::string(QStringLiteral("设备号")) + QLatin1Char(' ') + devid,
        Theme::AccountSubtitle);
    m_textUserName = new TextField(this);
    AccountUi::styleField(m_textUserName, Localized::string(QStringLiteral("用户名")));
    m_textPwd = new TextField(this);
    AccountUi::styleField(m_textPwd, Localized::string(QStringLiteral("密码")));
    m_textPwd->setEchoMode(QLineEdit::Password);
    m_gouHaoButton = new Button(this);
    m_gouHaoCaption = new Button(this);
    AccountUi::styleTextButton(m_gouHaoCaption, Localized::string(QStringLiteral("记住密码")),
                               Theme::AccountInk);
    m_findPwdButton = new Button(this);
    AccountUi::styleTextButton(m_findPwdButton,
                               Localized::string(QStringLiteral("忘记密码")) + QLatin1Char('?'),
                               Theme::Accent);
    m_loginButton = new Button(this);
    AccountUi::stylePrimaryButton(m_loginButton, Localized::string(QStringLiteral("登录")));
    m_hint = AccountUi::makeLabel(this, Localized::string(QStringLiteral("轻点头像可切换设备")),
                                  Theme::AccountMuted);
    m_textUserName->setObjectName(QStringLiteral("TextUserName"));
    m_textPwd->setObjectName(QStringLiteral("TextPwd"));
    m_gouHaoButton->setObjectName(QStringLiteral("GouHaoButton"));
    m_loginButton->setObjectName(QStringLiteral("LoginButton"));
    m_findPwdButton->setObjectName(QStringLiteral("FindPwdButton"));
    m_touXiangImage->setObjectName(QStringLiteral("TouXiangImage"));

    connect(m_gouHaoButton, &Button::clicked, this, &ViewControllerLogin::ProcessGouHao);
    connect(m_gouHaoCaption, &Button::clicked, this, &ViewControllerLogin::ProcessGouHao);
    connect(m_findPwdButton, &Button::clicked, this, &ViewControllerLogin::GoToFindPwd);
    connect(m_loginButton, &Button::clicked, this, &ViewControllerLogin::ProcessLogin);

    place(m_touXiangImage, [this] { return avatarFrame(); });
    place(m_title, [this] { return gridRect(0, 350, 720, 70); });
    place(m_subtitle, [this] { return gridRect(0, 420, 720, 50); });
    place(m_textUserName, [this] { return gridRect(80, 590, 560, 100); });
    place(m_textPwd, [this] { return gridRect(80, 714, 560, 100); });
    place(m_gouHaoButton, [this] { return gridRect(84, 846, 44, 44); });
    // The tick's caption starts next to it, the recovery link ends at the right margin.
    place(m_gouHaoCaption, [this] {
        const qreal w = AccountUi::textWidth(m_gouHaoCaption, m_gouHaoCaption->text(), rowPixels());
        return QRectF(gx(136), gy(838), w + gx(8), gy(60));
    });
    place(m_findPwdButton, [this] {
        const qreal w = AccountUi::textWidth(m_findPwdButton, m_findPwdButton->text(), rowPixels());
        return QRectF(gx(640) - w - gx(8), gy(838), w + gx(8), gy(60));
    });
    place(m_loginButton, [this] { return gridRect(80, 940, 560, 100); });
    place(m_hint, [this] { return gridRect(0, 1170, 720, 50); });
}

QRectF ViewControllerLogin::avatarFrame() const
{
    const qreal side = gx(200);
    return QRectF(gx(360) - side / 2, gy(125), side, side);
}

qreal ViewControllerLogin::rowPixels() const
{
    // Both texts of the tick's row fit between the tick and the right margin, with a gap.
    const qreal pixels = gx(27);
    const qreal needed = AccountUi::textWidth(m_gouHaoCaption, m_gouHaoCaption->text(), pixels) +
                         AccountUi::textWidth(m_findPwdButton, m_findPwdButton->text(), pixels) +
                         gx(56);
    const qreal available = gx(640 - 136);
    return needed > available ? pixels * available / needed : pixels;
}

void ViewControllerLogin::viewDidLayoutSubviews()
{
    Theme::setPixelFont(m_title, gx(46), true, AccountUi::SmallestText);
    Theme::setPixelFont(m_subtitle, gx(26), false, AccountUi::SmallestText);
    for (TextField* field : {m_textUserName.data(), m_textPwd.data()})
        Theme::setPixelFont(field, gx(32), false, AccountUi::SmallestText);
    Theme::setPixelFont(m_gouHaoCaption, rowPixels(), false, AccountUi::SmallestText);
    Theme::setPixelFont(m_findPwdButton, rowPixels(), false, AccountUi::SmallestText);
    AccountUi::setButtonFont(m_loginButton, gx(36));
    m_loginButton->setCornerRadius(gy(100) / 2);
    Theme::setPixelFont(m_hint, gx(24), false, AccountUi::SmallestText);
}

void ViewControllerLogin::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    AccountUi::paintBackdrop(painter, QRectF(rect()), gy(520));
    AccountUi::paintAvatarRing(painter, avatarFrame());
}

void ViewControllerLogin::didRelease()
{
    Log::write(QStringLiteral("Login释放"));
}

bool ViewControllerLogin::textFieldShouldReturn(TextField* field)
{
    field->resignFirstResponder();
    return true;
}

QString ViewControllerLogin::gouHaoImageName() const
{
    return m_gouHaoState ? QStringLiteral("login2.png") : QStringLiteral("login1.png");
}

void ViewControllerLogin::setGouHao(bool ticked)
{
    m_gouHaoState = ticked;
    m_gouHaoButton->setImage(Images::named(gouHaoImageName()));
}

void ViewControllerLogin::ProcessGouHao()
{
    setGouHao(!m_gouHaoState);
}

QString ViewControllerLogin::lengthProblem() const
{
    // The user-name message wins when both fields are short; one alert at a time.
    if (m_textUserName->text().length() < MinUserName)
        return QStringLiteral("用户名过短!");
    if (m_textPwd->text().length() < MinPassword)
        return QStringLiteral("密码过短!");
    return QString();
}

void ViewControllerLogin::ProcessLogin()
{
    const QString problem = lengthProblem();
    if (!problem.isEmpty()) {
        MyAlertView(problem);
        return;
    }
    const QString username = m_textUserName->text();
    const QString pwd = m_textPwd->text();
    MyBasicInfo::SetValue(QStringLiteral("localusername"), username);
    MyBasicInfo::SetValue(QStringLiteral("localpwd"), m_gouHaoState ? pwd : QStringLiteral("0"));

    QPointer<ViewControllerLogin> self(this);
    auto hold = keepAlive();
    m_app.server->login(
        setting("devid"), username, pwd,
        StatusStore::storingFirst([self, hold](const StatusAnswer& answer) {
            if (self)
                self->handleAnswer(answer);
        }),
        [self, hold](const QString& error) {
            DeviceServer::logError(error);
            if (self)
                self->MyAlertView(QStringLiteral("网络访问出错!"));
        });
}

void ViewControllerLogin::handleAnswer(const StatusAnswer& answer)
{
    switch (answer.marker()) {
    case ReturnMarker::Error1:
        MyAlertView(QStringLiteral("缺少登录参数!"));
        break;
    case ReturnMarker::Error2:
        MyAlertView(QStringLiteral("设备号不存在!"));
        break;
    case ReturnMarker::Error3:
        MyAlertView(QStringLiteral("账户密码不匹配!"));
        break;
    case ReturnMarker::Ok:
        performSegueWithIdentifier(QStringLiteral("GoToSet2"));
        break;
    case ReturnMarker::None:
        break;
    }
}

void ViewControllerLogin::GoToFindPwd()
{
    performSegueWithIdentifier(QStringLiteral("GoToFindPwd"));
}

void ViewControllerLogin::tapPageTouXiang()
{
    Log::write(QStringLiteral("点击了头像按钮"));
    showOkayCancelAlert();
}

void ViewControllerLogin::showOkayCancelAlert()
{
    auto* alert = new AlertController(
        Localized::string(QStringLiteral("切换用户")),
        Localized::string(QStringLiteral("点击切换之后将清空数据,并返回设备匹配界面.")));
    alert->addAction(Localized::string(QStringLiteral("取消")),
                     AlertController::ActionStyle::Cancel);
    QPointer<ViewControllerLogin> self(this);
    alert->addAction(Localized::string(QStringLiteral("切换")),
                     AlertController::ActionStyle::Default, [self] {
                         if (self)
                             self->switchUser();
                     });
    alert->presentOver(this);
}

void ViewControllerLogin::switchUser()
{
    MyUtil::ClearDataBase();
    performSegueWithIdentifier(QStringLiteral("LoginGoToWelcom"), this);
}

void ViewControllerLogin::MyAlertView(const QString& message)
{
    AlertController::showTip(this, Localized::string(message));
}
