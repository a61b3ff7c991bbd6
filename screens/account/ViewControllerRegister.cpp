#include "screens/account/ViewControllerRegister.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/Theme.h"
#include "poll/StatusStore.h"
#include "protocol/DeviceServer.h"
#include "protocol/StatusAnswer.h"
#include "screens/AppContext.h"
#include "screens/account/AccountUi.h"
#include "screens/account/AuthCode.h"
#include "store/MyBasicInfo.h"

#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

namespace {

constexpr int MinUserName = 5;
constexpr int MinPassword = 6;
constexpr int MinEmail = 5;
constexpr int MinWeixin = 5;
constexpr int OffsetDurationMs = 300;

QString emailProblem(const QString& email)
{
    if (email.length() < MinEmail)
        return QStringLiteral("邮箱过短!");
    if (!email.contains(QLatin1Char('@')))
        return QStringLiteral("邮箱格式错误!");
    return QString();
}

bool isWebAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

} // namespace

ViewControllerRegister::ViewControllerRegister(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

ViewControllerRegister::~ViewControllerRegister()
{
    // A picker still open must not report to a screen that is gone.
    if (m_picker)
        m_picker->setDelegate(nullptr);
}

void ViewControllerRegister::viewDidLoad()
{
    buildViews();
    m_registerTouXiang->setOnTap([this] { tapPageTouXiang(); });
    for (TextField* field : fields())
        field->setDelegate(this);
    connect(m_useremail, &QLineEdit::textChanged, this, &ViewControllerRegister::updateHint);
    updateHint();
}

void ViewControllerRegister::updateHint()
{
    const bool verified = emailVerified();
    m_hint->setText(verified ? Localized::string(QStringLiteral("✓ 邮箱已验证"))
                             : Localized::string(QStringLiteral("注册前请先验证邮箱")));
    QPalette palette = m_hint->palette();
    palette.setColor(QPalette::WindowText, verified ? Theme::Accent : Theme::AccountMuted);
    m_hint->setPalette(palette);
}

void ViewControllerRegister::buildViews()
{
    m_registerTouXiang = new ImageView(Images::named(QStringLiteral("touxiang1.png")), this);
    m_registerTouXiang->setRound(true);
    m_registerTouXiang->setContentMode(ImageView::ContentMode::AspectFill);
    m_registerTouXiang->setCursor(Qt::PointingHandCursor);
    m_title = AccountUi::makeLabel(this, Localized::string(QStringLiteral("创建账号")), Qt::white);
    m_subtitle = AccountUi::makeLabel(
        this, Localized::string(QStringLiteral("轻点头像选择一张照片")), Theme::AccountSubtitle);
    m_username = new TextField(this);
    AccountUi::styleField(m_username, Localized::string(QStringLiteral("用户名 (至少5位)")));
    m_userpwd = new TextField(this);
    AccountUi::styleField(m_userpwd, Localized::string(QStringLiteral("密码 (至少6位)")));
    m_userpwd->setEchoMode(QLineEdit::Password);
    m_useremail = new TextField(this);
    AccountUi::styleField(m_useremail, Localized::string(QStringLiteral("邮箱")));
    m_vcodeButton = new Button(this);
    AccountUi::stylePrimaryButton(m_vcodeButton, Localized::string(QStringLiteral("获取验证码")));
    m_vcodeButton->setBackgroundColor(Theme::AccentDark);
    m_userweixin = new TextField(this);
    AccountUi::styleField(m_userweixin, Localized::string(QStringLiteral("微信号")));
    m_registerButton = new Button(this);
    AccountUi::stylePrimaryButton(m_registerButton, Localized::string(QStringLiteral("注册")));
    m_hint = AccountUi::makeLabel(this, Localized::string(QStringLiteral("注册前请先验证邮箱")),
                                  Theme::AccountMuted);
    m_username->setObjectName(QStringLiteral("username"));
    m_userpwd->setObjectName(QStringLiteral("userpwd"));
    m_useremail->setObjectName(QStringLiteral("useremail"));
    m_userweixin->setObjectName(QStringLiteral("userweixin"));
    m_registerTouXiang->setObjectName(QStringLiteral("RegisterTouXiang"));
    m_registerButton->setObjectName(QStringLiteral("RegisterButton"));
    m_vcodeButton->setObjectName(QStringLiteral("VcodeButton"));
    m_hint->setObjectName(QStringLiteral("hint"));

    connect(m_vcodeButton, &Button::clicked, this, &ViewControllerRegister::GetVcode);
    connect(m_registerButton, &Button::clicked, this,
            &ViewControllerRegister::ProcessRegisterButton);

    place(m_registerTouXiang, [this] { return avatarFrame(); });
    place(m_title, [this] { return gridRect(0, 300, 720, 64); });
    place(m_subtitle, [this] { return gridRect(0, 362, 720, 46); });
    place(m_username, [this] { return gridRect(80, 500, 560, 96); });
    place(m_userpwd, [this] { return gridRect(80, 616, 560, 96); });
    place(m_useremail, [this] { return gridRect(80, 732, 360, 96); });
    place(m_vcodeButton, [this] { return gridRect(456, 732, 184, 96); });
    place(m_userweixin, [this] { return gridRect(80, 848, 560, 96); });
    place(m_registerButton, [this] { return gridRect(80, 990, 560, 100); });
    place(m_hint, [this] { return gridRect(0, 1110, 720, 50); });
}

QRectF ViewControllerRegister::avatarFrame() const
{
    const qreal side = gx(190);
    return QRectF(gx(360) - side / 2, gy(90), side, side);
}

QList<TextField*> ViewControllerRegister::fields() const
{
    return {m_username, m_userpwd, m_useremail, m_userweixin};
}

void ViewControllerRegister::viewDidLayoutSubviews()
{
    Theme::setPixelFont(m_title, gx(46), true, AccountUi::SmallestText);
    Theme::setPixelFont(m_subtitle, gx(26), false, AccountUi::SmallestText);
    for (TextField* field : fields())
        Theme::setPixelFont(field, gx(30), false, AccountUi::SmallestText);
    Theme::setPixelFont(m_vcodeButton, gx(26), true, AccountUi::SmallestText);
    m_vcodeButton->setCornerRadius(gy(20));
    AccountUi::setButtonFont(m_registerButton, gx(36));
    m_registerButton->setCornerRadius(gy(100) / 2);
    Theme::setPixelFont(m_hint, gx(24), false, AccountUi::SmallestText);
}

void ViewControllerRegister::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    AccountUi::paintBackdrop(painter, QRectF(rect()), gy(450));
    AccountUi::paintAvatarRing(painter, avatarFrame());
}

bool ViewControllerRegister::textFieldShouldReturn(TextField* field)
{
    field->resignFirstResponder();
    return true;
}

void ViewControllerRegister::textFieldDidBeginEditing(TextField* field)
{
    animateTextField(field, true);
}

void ViewControllerRegister::textFieldDidEndEditing(TextField* field)
{
    animateTextField(field, false);
}

void ViewControllerRegister::animateTextField(TextField*, bool up)
{
    animateViewOffset(up ? -KeyboardOffset : KeyboardOffset, OffsetDurationMs);
}

void ViewControllerRegister::getAuthcode()
{
    m_changeString = AuthCode::make();
}

void ViewControllerRegister::GetVcode()
{
    const QString email = m_useremail->text();
    const QString problem = emailProblem(email);
    if (!problem.isEmpty()) {
        MyAlertView(problem);
        return;
    }
    getAuthcode();
    m_codeEmail = email;
    QPointer<ViewControllerRegister> self(this);
    auto hold = keepAlive();
    m_app.server->sendVerificationCode(
        m_changeString, email,
        [self, hold](ReturnMarker::Marker marker) {
            if (self)
                self->handleCodeAnswer(marker);
        },
        [self, hold](const QString& error) {
            DeviceServer::logError(error);
            if (self)
                self->MyAlertView(QStringLiteral("网络访问出错!"));
        });
}

void ViewControllerRegister::handleCodeAnswer(ReturnMarker::Marker marker)
{
    if (marker == ReturnMarker::Error1)
        MyAlertView(QStringLiteral("缺少参数!"));
    else
        showCodeDialog();
}

void ViewControllerRegister::showCodeDialog()
{
    auto* alert =
        new AlertController(Localized::string(QStringLiteral("提示")),
                            Localized::string(QStringLiteral("邮件发送成功,请注意查收!")));
    QPointer<QLineEdit> field = alert->addTextField();
    QPointer<ViewControllerRegister> self(this);
    auto hold = keepAlive();
    alert->addAction(Localized::string(QStringLiteral("确定")),
                     AlertController::ActionStyle::Default, [self, hold, field] {
                         if (self)
                             self->checkCode(field ? field->text() : QString());
                     });
    alert->presentOver(this);
}

void ViewControllerRegister::checkCode(const QString& typed)
{
    if (!m_changeString.isEmpty() && typed == m_changeString) {
        m_app.verifiedEmail = m_codeEmail;
        updateHint();
        MyAlertView(QStringLiteral("验证成功!"));
    } else {
        MyAlertView(QStringLiteral("验证失败!"));
    }
}

bool ViewControllerRegister::emailVerified() const
{
    const QString& verified = m_app.verifiedEmail;
    return !verified.isEmpty() && verified == m_useremail->text();
}

QString ViewControllerRegister::formProblem() const
{
    // The first failing check speaks; one alert at a time.
    if (m_username->text().length() < MinUserName)
        return QStringLiteral("用户名过短!");
    if (m_userpwd->text().length() < MinPassword)
        return QStringLiteral("密码过短!");
    const QString email = emailProblem(m_useremail->text());
    if (!email.isEmpty())
        return email;
    if (m_userweixin->text().length() < MinWeixin)
        return QStringLiteral("微信号过短!");
    return QString();
}

void ViewControllerRegister::ProcessRegisterButton()
{
    if (!emailVerified()) {
        MyAlertView(QStringLiteral("邮箱未验证!"));
        return;
    }
    const QString problem = formProblem();
    if (!problem.isEmpty()) {
        MyAlertView(problem);
        return;
    }
    MyBasicInfo::SetValue(QStringLiteral("localusername"), m_username->text());
    MyBasicInfo::SetValue(QStringLiteral("localpwd"), m_userpwd->text());
    QPointer<ViewControllerRegister> self(this);
    auto hold = keepAlive();
    m_app.server->registerAccount(
        MyBasicInfo::GetValue(QStringLiteral("devid")), m_username->text(), m_userpwd->text(),
        m_useremail->text(), m_userweixin->text(),
        StatusStore::storingFirst([self, hold](const StatusAnswer& answer) {
            if (self)
                self->handleRegisterAnswer(answer);
        }),
        [self, hold](const QString& error) {
            DeviceServer::logError(error);
            if (self)
                self->MyAlertView(QStringLiteral("网络访问出错!"));
        });
}

void ViewControllerRegister::handleRegisterAnswer(const StatusAnswer& answer)
{
    switch (answer.marker()) {
    case ReturnMarker::Error1:
        MyAlertView(QStringLiteral("缺少注册参数!"));
        break;
    case ReturnMarker::Error2:
        MyAlertView(QStringLiteral("设备号不存在!"));
        break;
    case ReturnMarker::Error3:
        MyAlertView(QStringLiteral("该账号已存在!"));
        break;
    case ReturnMarker::Ok:
        performSegueWithIdentifier(QStringLiteral("GoToSet"), this);
        break;
    case ReturnMarker::None:
        break;
    }
}

void ViewControllerRegister::tapPageTouXiang()
{
    Log::write(QStringLiteral("点击了头像按钮"));
    showCustomAlert();
}

void ViewControllerRegister::showCustomAlert()
{
    auto* alert =
        new AlertController(Localized::string(QStringLiteral("选择图像")),
                            Localized::string(QStringLiteral("选择一张图片作为您的头像.")));
    alert->addAction(Localized::string(QStringLiteral("取消")),
                     AlertController::ActionStyle::Cancel);
    QPointer<ViewControllerRegister> self(this);
    if (ImagePickerController::isSourceTypeAvailable(ImagePickerController::SourceType::Camera)) {
        alert->addAction(Localized::string(QStringLiteral("拍照")),
                         AlertController::ActionStyle::Default, [self] {
                             if (self)
                                 self->CustomSheet(1);
                         });
    }
    alert->addAction(Localized::string(QStringLiteral("从相册选择")),
                     AlertController::ActionStyle::Default, [self] {
                         if (self)
                             self->CustomSheet(2);
                     });
    alert->presentOver(this);
}

void ViewControllerRegister::CustomSheet(int choice)
{
    using Source = ImagePickerController::SourceType;
    if (choice == 0)
        return;
    const bool camera = ImagePickerController::isSourceTypeAvailable(Source::Camera);
    auto* picker = new ImagePickerController;
    picker->setDelegate(this);
    picker->setAllowsEditing(true);
    if (!camera)
        picker->setSourceType(Source::SavedPhotosAlbum);
    else
        picker->setSourceType(choice == 1 ? Source::Camera : Source::PhotoLibrary);
    m_picker = picker;
    picker->presentOver(this);
}

void ViewControllerRegister::imagePickerControllerDidFinishPicking(ImagePickerController*,
                                                                   const ImagePickerResult& result)
{
    didFinishPickingImage(result.editedImage);
}

void ViewControllerRegister::didFinishPickingImage(const QImage& edited)
{
    const QImage avatar = imageByScalingToSize(circleImage(edited, 0.0));
    if (avatar.isNull())
        return;
    m_registerTouXiang->setImage(avatar);
    uploadFile(avatar);
}

QImage ViewControllerRegister::circleImage(const QImage& image, double inset)
{
    const QSizeF size = image.deviceIndependentSize();
    QImage canvas(size.toSize(), QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return canvas;
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF rect(inset, inset, size.width() - 2 * inset, size.height() - 2 * inset);
    QPainterPath ellipse;
    ellipse.addEllipse(rect);
    painter.setClipPath(ellipse);
    painter.drawImage(rect, image);
    // The outline is stroked in a fully transparent colour: it leaves the picture as it is.
    painter.setPen(QPen(Qt::transparent, 2.0));
    painter.drawPath(ellipse);
    return canvas;
}

QImage ViewControllerRegister::imageByScalingToSize(const QImage& image)
{
    QImage canvas(AvatarSide, AvatarSide, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull() || image.isNull()) {
        Log::write(QStringLiteral("could not scale image"));
        return QImage();
    }
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, 0, AvatarSide, AvatarSide), image);
    return canvas;
}

void ViewControllerRegister::uploadFile(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    m_app.server->uploadPic(MyBasicInfo::GetValue(QStringLiteral("devid")), png,
                            &ViewControllerRegister::storeUploadAnswer, &DeviceServer::logError);
}

void ViewControllerRegister::storeUploadAnswer(const std::optional<QString>& text)
{
    const QString address = text ? text->trimmed() : QString();
    if (!isWebAddress(address)) {
        Log::write(QStringLiteral("upload answer is no picture address; touxiangpath kept"));
        return;
    }
    MyBasicInfo::SetValue(QStringLiteral("touxiangpath"), address);
}

void ViewControllerRegister::MyAlertView(const QString& message)
{
    AlertController::showTip(this, Localized::string(message));
}
