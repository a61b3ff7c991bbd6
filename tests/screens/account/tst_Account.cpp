#include "support/ScreenHarness.h"

#include "platform/net/ImageLoader.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/SquareCropView.h"
#include "screens/account/AuthCode.h"
#include "screens/account/RoundView.h"
#include "screens/account/ViewController.h"
#include "screens/account/ViewControllerDevID.h"
#include "screens/account/ViewControllerFindPwd.h"
#include "screens/account/ViewControllerLogin.h"
#include "screens/account/ViewControllerRegister.h"

#include <QTemporaryDir>

namespace {

const QString Email = "neo@x.cn";

QStringList list(const QString& one)
{
    return one.isEmpty() ? QStringList() : QStringList{one};
}

void logIn(const QObject* screen, const QString& username, const QString& pwd)
{
    H::type(screen, "TextUserName", username);
    H::type(screen, "TextPwd", pwd);
    H::tap(screen, "LoginButton");
}

bool ticked(const QObject* screen)
{
    return child<Button>(screen, "GouHaoButton")->image() == Images::named("login2.png");
}

QString shownCode(const QObject* screen)
{
    return H::text(screen, "MyCustomCOde");
}

// Asks for a code for `email` and waits for the dialog that takes it.
AlertController* requestCode(H& h, const QObject* screen, const QString& email)
{
    H::type(screen, "useremail", email);
    const int answers = h.answered();
    H::tap(screen, "VcodeButton");
    h.awaitAnswers(answers + 1);
    return H::alert();
}

// Types `typed` into the code dialog and answers the message that follows.
QString answerCode(AlertController* dialog, const QString& typed)
{
    dialog->textFields().first()->setText(typed);
    dialog->pressAction("确定");
    const QString message = H::alertMessage();
    H::closeAlert();
    return message;
}

// Proves `email` with the code the server mailed to it.
void verify(H& h, const QObject* screen, const QString& email)
{
    AlertController* dialog = requestCode(h, screen, email);
    QVERIFY(dialog);
    QCOMPARE(answerCode(dialog, h.sim.lastCodeFor(email)), QString("验证成功!"));
}

void fill(const QObject* screen, const QString& username, const QString& pwd, const QString& email,
          const QString& weixin)
{
    H::type(screen, "username", username);
    H::type(screen, "userpwd", pwd);
    H::type(screen, "useremail", email);
    H::type(screen, "userweixin", weixin);
}

} // namespace

// The account screens against the simulated server: welcome routing, device binding, login,
// password recovery and registration, with their checks, alerts and what they store.
class tst_Account : public QObject
{
    Q_OBJECT

private slots:
    void welcomeStartsTheRunAndAFreshStoreGoesToBinding();
    void welcomeRoutesByTheDeviceQuery_data() { H::table("account", "welcome"); }
    void welcomeRoutesByTheDeviceQuery();
    void welcomeToldOfAFailureAsksAgainOnATap();
    void bindingChecksTheNumberAfterOnePulseWhateverTheTaps();
    void bindingAnswersLeadOn_data() { H::table("account", "binding"); }
    void bindingAnswersLeadOn();
    void login_data() { H::table("account", "login"); }
    void login();
    void loginFieldsFollowTheStoreAndSwitchingUserEmptiesIt();
    void loginAvatarShowsPlaceholderThenPicture();
    void recoveryCodesAreDrawnFromDigitsAndCapitalsAndRefreshed();
    void recovery_data() { H::table("account", "recovery"); }
    void recovery();
    void registerCodeRequests_data() { H::table("account", "code requests"); }
    void registerCodeRequests();
    void registerNeedsTheLatestCodeForTheAddressInTheField();
    void registering_data() { H::table("account", "registration"); }
    void registering();
    void registerAvatarIsPickedClippedAndUploaded();
    void uploadAnswerMustBeAWebAddress_data() { H::table("account", "upload answers"); }
    void uploadAnswerMustBeAWebAddress();
    void registerKeyboardOffsetFollowsEditing();
};

void tst_Account::welcomeStartsTheRunAndAFreshStoreGoesToBinding()
{
    H h{QString()};
    h.start<ViewController>();
    for (const QString& key : MyUtil::SettingsKeys())
        QCOMPARE(MyBasicInfo::GetValue(key), QString("0"));
    QVERIFY(h.location.isUpdating() && h.location.allowsBackgroundLocationUpdates());
    QVERIFY(!h.location.pausesLocationUpdatesAutomatically());
    const int asked = LocalNotificationCenter::Alert | LocalNotificationCenter::Badge |
                      LocalNotificationCenter::Sound;
    QVERIFY(H::waitFor([&] { return h.notifications.registeredTypes() == asked; }));
    // The status poll a location update drives only arms its throttle the first time.
    h.location.injectLocation(30.5, 120.25, 8);
    // Without a device number the routing asks nobody; the welcome screen stays underneath.
    h.loop.advance(1999);
    QVERIFY(h.segues.isEmpty());
    h.loop.advance(1);
    QCOMPARE(h.segues, QStringList{"GoToDevID"});
    QCOMPARE(h.sentCount(), 0);
    QCOMPARE(h.storyboard->firstScreen()->identifier(), QString("ViewController"));
}

void tst_Account::welcomeRoutesByTheDeviceQuery()
{
    H h("86000009");
    h.fault("/TolvarDevId.php");
    h.start<ViewController>();
    h.loop.advance(2000);
    QVERIFY(H::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{H::value("segue")});
    QCOMPARE(h.lastQuery("/TolvarDevId.php"), QByteArray("devid=86000009&wd=mirt"));
    QVERIFY(!H::alert());
}

void tst_Account::welcomeToldOfAFailureAsksAgainOnATap()
{
    H h;
    h.sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarDevId.php"));
    auto* welcome = h.start<ViewController>();
    h.loop.advance(2000);
    QCOMPARE(H::awaitAlert(), QString("网络访问出错!"));
    QVERIFY(h.segues.isEmpty());
    H::closeAlert();
    H::tap(welcome, "welcomimage");
    QVERIFY(H::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"WelcomGoToLogin"});
    // The account the server keeps for the device is stored for the next screens.
    QCOMPARE(H::settings({"serverusername", "serverpwd", "email", "weixin", "touxiangpath"}),
             (QStringList{"rider01", "secret1", "rider01@example.com", "qixingzhe01",
                          h.sim.baseUrl().toString() + "/touxiang/86000001.png"}));
}

void tst_Account::bindingChecksTheNumberAfterOnePulseWhateverTheTaps()
{
    H h("0");
    auto* screen = h.start<ViewControllerDevID>();
    auto* field = child<TextField>(screen, "TextFieldDevID");
    QCOMPARE(field->text(), QString());
    field->becomeFirstResponder();
    field->pressReturn();
    QVERIFY(!field->isFirstResponder());
    H::type(screen, "TextFieldDevID", "8");
    H::tap(screen, "Connect");
    QCOMPARE(H::text(screen, "Label1"), QString("正在"));
    double highest = 0;
    for (int tick = 0; tick < 30; ++tick) {
        // Taps while connecting restart the ticking; they add no second animation.
        if (tick == 10) {
            H::tap(screen, "Connect");
            H::tap(screen, "Connect");
        }
        h.loop.advance(100);
        highest = qMax(highest, child<RoundView>(screen, "ConnectBj")->alpha());
    }
    QCOMPARE(highest, 1.0);
    // Only after the pulse is the number stored and checked.
    QCOMPARE(H::setting("devid"), QString("0"));
    QVERIFY(!H::alert());
    h.loop.advance(100);
    QCOMPARE(H::alertMessage(), QString("设备号过短"));
    QCOMPARE(H::setting("devid"), QString("8"));
    H::closeAlert();
    h.loop.advance(10000);
    QVERIFY(!H::alert());
    QCOMPARE(h.loop.armedCount(), 0);
    QCOMPARE(h.sentCount(), 0);

    // The pulse has run its course already: the next tap queries on its first tick.
    H::set("serverusername", "old");
    H::type(screen, "TextFieldDevID", "12345678");
    H::tap(screen, "Connect");
    h.loop.advance(100);
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(H::awaitAlert(), QString("设备号不存在!"));
    QCOMPARE(h.storyboard->topScreen(), screen);
    QCOMPARE(h.lastQuery("/TolvarDevId.php"), QByteArray("devid=12345678&wd=mirt"));
    // The account fields are written from every answer.
    QCOMPARE(H::setting("serverusername"), QString(""));
}

void tst_Account::bindingAnswersLeadOn()
{
    H h;
    h.fault("/TolvarDevId.php");
    auto* screen = h.start<ViewControllerDevID>();
    QCOMPARE(H::text(screen, "TextFieldDevID"), QString("86000001"));
    H::type(screen, "TextFieldDevID", H::value("devid"));
    H::tap(screen, "Connect");
    h.loop.advance(3100);
    QVERIFY(h.awaitAnswers());
    QCOMPARE(h.segues, list(H::value("segue")));
    QCOMPARE(H::alertMessage(), H::value("message"));
    QCOMPARE(H::settings({"serverusername", "devid"}),
             (QStringList{H::value("username"), H::value("devid")}));
}

void tst_Account::login()
{
    const QString username = H::value("username");
    const int requests = H::cell("requests").toInt();
    H h;
    h.fault("/TolvarLoginIOS.php");
    logIn(h.start<ViewControllerLogin>(), username, H::value("pwd"));
    QVERIFY(h.awaitAnswers(requests));
    QCOMPARE(H::alertMessage(), H::value("message"));
    QCOMPARE(h.segues, list(H::value("segue")));
    const QString query = "devid=86000001&username=" + username + "&pwd=" + H::value("pwd");
    QCOMPARE(h.lastQuery("/TolvarLoginIOS.php"), requests ? query.toUtf8() : QByteArray());
    QCOMPARE(H::setting("localusername"), requests ? username : QString("0"));
}

void tst_Account::loginFieldsFollowTheStoreAndSwitchingUserEmptiesIt()
{
    H h;
    auto* screen = h.start<ViewControllerLogin>();
    QVERIFY(!ticked(screen));
    logIn(screen, "rider01", "secret1");
    QCOMPARE(H::setting("localpwd"), QString("0"));

    auto* again = h.start<ViewControllerLogin>();
    QCOMPARE(H::text(again, "TextUserName"), QString("rider01"));
    QCOMPARE(H::text(again, "TextPwd"), QString());
    H::tap(again, "GouHaoButton");
    QVERIFY(ticked(again));
    // Nothing is stored until the next attempt.
    QCOMPARE(H::setting("localpwd"), QString("0"));
    logIn(again, "rider01", "secret1");
    QCOMPARE(H::setting("localpwd"), QString("secret1"));

    auto* third = h.start<ViewControllerLogin>();
    QVERIFY(ticked(third));
    QCOMPARE(H::text(third, "TextPwd"), QString("secret1"));
    H::tap(third, "GouHaoButton");
    QVERIFY(!ticked(third));

    // Back from recovery the fields show the store again, not what was typed.
    H::set("localpwd", "kept1");
    H::type(third, "TextUserName", "typed");
    H::tap(third, "FindPwdButton");
    QCOMPARE(h.segues, QStringList{"GoToFindPwd"});
    H::tap(h.storyboard->topScreen(), "BackButton");
    QCOMPARE(h.storyboard->topScreen(), third);
    QCOMPARE(H::text(third, "TextPwd"), QString("kept1"));
    QCOMPARE(H::text(third, "TextUserName"), QString("rider01"));

    // Switching the user (a tap on the avatar, then confirmed) empties the store and starts over.
    H::tap(third, "TouXiangImage");
    QVERIFY(H::alert());
    QCOMPARE(H::alert()->actionStyle(0), AlertController::ActionStyle::Cancel);
    H::alert()->pressAction("取消");
    QVERIFY(!h.segues.contains("LoginGoToWelcom"));

    H::tap(third, "TouXiangImage");
    H::alert()->pressAction("切换");
    QCOMPARE(h.segues.last(), QString("LoginGoToWelcom"));
    // A fresh welcome screen alone, over fresh settings.
    QCOMPARE(h.storyboard->stack().size(), 1);
    QCOMPARE(H::setting("devid"), QString("0"));
}

void tst_Account::loginAvatarShowsPlaceholderThenPicture()
{
    H h;
    QTemporaryDir cache;
    ImageLoader loader(cache.path());
    h.app.delegate->setImageLoader(&loader);
    H::set("touxiangpath", h.sim.baseUrl().toString() + "/touxiang/86000001.png");
    auto* avatar = child<ImageView>(h.start<ViewControllerLogin>(), "TouXiangImage");
    const QImage placeholder = Images::named("touxiangsmall.png");
    QVERIFY(!placeholder.isNull());
    QCOMPARE(avatar->image(), placeholder);
    QVERIFY(H::waitFor([&] { return avatar->image() != placeholder; }));
    QVERIFY(!avatar->image().isNull());
    h.app.delegate->setImageLoader(nullptr);
}

void tst_Account::recoveryCodesAreDrawnFromDigitsAndCapitalsAndRefreshed()
{
    const QString expected = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QRandomGenerator seeded(7);
    QSet<QChar> seen;
    for (int i = 0; i < 500; ++i) {
        const QString code = AuthCode::make(&seeded);
        QCOMPARE(code.size(), 4);
        seen.unite(QSet<QChar>(code.begin(), code.end()));
    }
    // 2000 uniform draws reach every one of the 36 characters, and nothing else.
    QCOMPARE(seen, QSet<QChar>(expected.begin(), expected.end()));

    H h;
    auto* screen = h.start<ViewControllerFindPwd>();
    for (const char* control : {"RefreshButton", "MyCustomCOde"}) {
        const QString before = shownCode(screen);
        H::tap(screen, control);
        // 36^4 codes make a repeat very unlikely twice in a row.
        if (shownCode(screen) == before)
            H::tap(screen, control);
        QVERIFY(shownCode(screen) != before);
    }
}

void tst_Account::recovery()
{
    const QString devid = H::value("devid");
    const QString email = H::value("email");
    const QString typed = H::value("typed");
    const QString message = H::value("message");
    H h(devid);
    h.fault("/TolvarSendEmailIOS.php");
    // Recovery opens over the login screen, as the rider reaches it.
    H::tap(h.start<ViewControllerLogin>(), "FindPwdButton");
    Screen* screen = h.storyboard->topScreen();
    // A code with at least one letter, so that its lower case differs.
    while (shownCode(screen).toLower() == shownCode(screen))
        H::tap(screen, "RefreshButton");
    // The address is checked first, then the code as typed: as shown ("code"), in lower
    // case, one longer, its first three, or as the row has it.
    const QString code = shownCode(screen);
    const QHash<QString, QString> forms = {{"code", code},
                                           {"lower", code.toLower()},
                                           {"longer", code + "X"},
                                           {"shorter", code.left(3)}};
    H::type(screen, "TextEmail", email);
    H::type(screen, "TextCode", forms.value(typed, typed));
    H::tap(screen, "SendButton");
    QCOMPARE(H::awaitAlert(), message);
    const QString query = typed == "code" ? "devid=" + devid + "&email=" + email : QString();
    QCOMPARE(h.lastQuery("/TolvarSendEmailIOS.php"), query.toUtf8());
    QCOMPARE(shownCode(screen), code);
    // Only the mail that went out leads back to the login screen.
    H::closeAlert();
    const bool sent = message == "邮件发送成功,请注意查收!";
    QCOMPARE(h.sim.outbox().size(), sent ? 1 : 0);
    QCOMPARE(h.storyboard->topScreen()->identifier(),
             QString(sent ? "ViewControllerLogin" : "ViewControllerFindPwd"));
}

void tst_Account::registerCodeRequests()
{
    H h("86000002");
    h.fault("/TolvarSendEmailVCodeIOS.php");
    auto* screen = h.start<ViewControllerRegister>();
    H::type(screen, "useremail", H::value("email"));
    H::tap(screen, "VcodeButton");
    QCOMPARE(H::awaitAlert(), H::value("message"));
    QCOMPARE(h.sentCount(), H::cell("requests").toInt());
}

void tst_Account::registerNeedsTheLatestCodeForTheAddressInTheField()
{
    H h("86000002");
    auto* screen = h.start<ViewControllerRegister>();
    // Unverified, registration stops before any other check, whatever the fields hold.
    H::tap(screen, "RegisterButton");
    QCOMPARE(H::alertMessage(), QString("邮箱未验证!"));
    H::closeAlert();
    AlertController* dialog = requestCode(h, screen, Email);
    QVERIFY(dialog);
    const QString first = h.sim.lastCodeFor(Email);
    // A second request while the dialog is up shows no second one, but its code counts.
    QCOMPARE(requestCode(h, screen, Email), dialog);
    // 36^4 codes make a repeat very unlikely twice in a row.
    if (h.sim.lastCodeFor(Email) == first)
        requestCode(h, screen, Email);
    QVERIFY(h.sim.lastCodeFor(Email) != first);
    QCOMPARE(answerCode(dialog, first), QString("验证失败!"));
    // Typed in lower case, a code with a letter fails as well.
    dialog = requestCode(h, screen, Email);
    while (h.sim.lastCodeFor(Email).toLower() == h.sim.lastCodeFor(Email)) {
        answerCode(dialog, QString());
        dialog = requestCode(h, screen, Email);
    }
    QCOMPARE(answerCode(dialog, h.sim.lastCodeFor(Email).toLower()), QString("验证失败!"));
    QCOMPARE(H::text(screen, "hint"), QString("注册前请先验证邮箱"));
    verify(h, screen, Email);
    QCOMPARE(H::text(screen, "hint"), QString("✓ 邮箱已验证"));

    // Another address in the field needs its own code.
    fill(screen, "neo01", "abcdef", "other@x.cn", "neowx");
    QCOMPARE(H::text(screen, "hint"), QString("注册前请先验证邮箱"));
    H::tap(screen, "RegisterButton");
    QCOMPARE(H::alertMessage(), QString("邮箱未验证!"));
    H::closeAlert();
    QCOMPARE(H::setting("localusername"), QString("0"));
    // The mark lives for the run, not the screen: a new screen with the same address passes.
    auto* again = h.start<ViewControllerRegister>();
    fill(again, "neo01", "abcdef", Email, "neowx");
    H::tap(again, "RegisterButton");
    QVERIFY(H::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"GoToSet"});
}

void tst_Account::registering()
{
    const int requests = H::cell("requests").toInt();
    H h(H::value("devid"));
    h.fault("/TolvarRegisterIOS.php");
    auto* screen = h.start<ViewControllerRegister>();
    verify(h, screen, Email);
    fill(screen, H::value("username"), H::value("pwd"), Email, H::value("weixin"));
    H::tap(screen, "RegisterButton");
    // The first failing check speaks, and nothing is stored or sent; the code request before
    // it is one answer already.
    QVERIFY(h.awaitAnswers(1 + requests));
    QCOMPARE(H::alertMessage(), H::value("message"));
    QCOMPARE(h.sentCount(), 1 + requests);
    QVERIFY(h.segues.isEmpty());
    // Written before the answer was known; an error answer stores no status.
    QCOMPARE(H::setting("localpwd"), requests ? H::value("pwd") : QString("0"));
    QCOMPARE(H::setting("weilanradio"), QString("0"));
}

void tst_Account::registerAvatarIsPickedClippedAndUploaded()
{
    H h("86000002");
    auto* screen = h.start<ViewControllerRegister>();
    H::tap(screen, "RegisterTouXiang");
    // No camera on this platform: cancel and the album only.
    QCOMPARE(H::alert()->actionTitles(), (QStringList{"取消", "从相册选择"}));
    H::alert()->pressAction("取消");
    QVERIFY(!ImagePickerController::active());

    H::tap(screen, "RegisterTouXiang");
    H::alert()->pressAction("从相册选择");
    ImagePickerController* picker = ImagePickerController::active();
    QVERIFY(picker);
    QCOMPARE(picker->sourceType(), ImagePickerController::SourceType::SavedPhotosAlbum);
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(QColor(200, 30, 40));
    picker->pick(photo);
    QVERIFY(picker->cropView());
    picker->cropView()->confirm();
    QCOMPARE(child<ImageView>(screen, "RegisterTouXiang")->image().size(), QSize(256, 256));
    QVERIFY(H::waitFor([] { return H::setting("touxiangpath") != "0"; }));
    // The server's answer is the new avatar's address.
    QVERIFY(H::setting("touxiangpath").startsWith(h.sim.baseUrl().toString() + "/touxiang/"));
    const QList<SimRequest> uploads = h.sim.requestsTo("/TolvarUploadPic.php");
    QCOMPARE(uploads.size(), 1);
    QCOMPARE(uploads.first().query, QByteArray("devid=86000002"));
    QImage sent;
    QVERIFY(sent.loadFromData(uploads.first().parts.first().data, "PNG"));
    QCOMPARE(sent.size(), QSize(256, 256));
    QCOMPARE(QColor(sent.pixel(128, 128)), QColor(200, 30, 40));
    // Clipped to the circle that fills the square: the corners are clear, the edges' middles
    // are not.
    QCOMPARE(qAlpha(sent.pixel(0, 0)), 0);
    QVERIFY(qAlpha(sent.pixel(128, 3)) > 0 && qAlpha(sent.pixel(3, 128)) > 0);
    QVERIFY(ViewControllerRegister::imageByScalingToSize(QImage()).isNull());
}

void tst_Account::uploadAnswerMustBeAWebAddress()
{
    H h;
    H::set("touxiangpath", "http://old/a.png");
    const QJsonValue answer = H::cell("answer");
    ViewControllerRegister::storeUploadAnswer(answer.isString() ? std::optional(answer.toString())
                                                                : std::nullopt);
    QCOMPARE(H::setting("touxiangpath"), H::value("stored"));
}

void tst_Account::registerKeyboardOffsetFollowsEditing()
{
    H h("86000002");
    auto* screen = h.start<ViewControllerRegister>();
    // A closing dialog hands the focus back without starting to edit a field.
    QCOMPARE(answerCode(requestCode(h, screen, Email), "?"), QString("验证失败!"));
    QVERIFY(!TextField::firstResponder());

    // From one field to the next the screen stays up.
    child<TextField>(screen, "username")->becomeFirstResponder();
    child<TextField>(screen, "userpwd")->becomeFirstResponder();
    auto* weixin = child<TextField>(screen, "userweixin");
    weixin->becomeFirstResponder();
    screen->finishAnimations();
    QVERIFY(screen->y() < 0);
    weixin->pressReturn();
    screen->finishAnimations();
    QCOMPARE(screen->y(), 0);
}

QTEST_MAIN(tst_Account)
#include "tst_Account.moc"
