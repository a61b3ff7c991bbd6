#include "support/ScreenHarness.h"

#include "platform/net/ImageLoader.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/SquareCropView.h"
#include "screens/account/AuthCode.h"
#include "screens/account/RoundView.h"
#include "screens/account/ViewController.h"
#include "screens/account/ViewControllerDevID.h"
#include "screens/account/ViewControllerFindPwd.h"
#include "screens/account/ViewControllerLogin.h"
#include "screens/account/ViewControllerRegister.h"

#include <QTemporaryDir>

using H = ScreenHarness;

namespace {

const QString Email = "neo@x.cn";
const QString Failed = "网络访问出错!";

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
    void welcomeRoutesByTheDeviceQuery_data();
    void welcomeRoutesByTheDeviceQuery();
    void welcomeToldOfAFailureAsksAgainOnATap();
    void bindingRefusesAShortNumberAndTheNextTapQueriesAtOnce();
    void bindingPulseRunsOnceWhateverTheTaps();
    void bindingAnswersLeadOn_data();
    void bindingAnswersLeadOn();
    void login_data();
    void login();
    void loginRememberTickKeepsThePassword();
    void loginAvatarShowsPlaceholderThenPicture();
    void loginBackFromRecoveryShowsTheStoreAgain();
    void loginSwitchUserEmptiesTheStoreAndStartsOver();
    void recoveryCodesAreDrawnFromDigitsAndCapitalsAndRefreshed();
    void recovery_data();
    void recovery();
    void registerCodeRequests_data();
    void registerCodeRequests();
    void registerOnlyTheLatestCodeVerifies();
    void registerOnlyTheVerifiedAddress();
    void registering_data();
    void registering();
    void registerAvatarIsPickedClippedAndUploaded();
    void uploadAnswerMustBeAWebAddress_data();
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

void tst_Account::welcomeRoutesByTheDeviceQuery_data()
{
    H::columns<QString, QString>("answer", "segue");
    H::row("unknown device", R"([{"devid":"null","username":""}])", "GoToDevID");
    H::row("unknown device with a name", R"([{"devid":"nullx","username":"abcdef"}])", "GoToDevID");
    H::row("two characters", R"([{"devid":"8600","username":"ab"}])", "WelcomGoToRegister");
    H::row("three characters", R"([{"devid":"8600","username":"abc"}])", "WelcomGoToLogin");
    H::row("not JSON", "<html>busy</html>", "WelcomGoToRegister");
}

void tst_Account::welcomeRoutesByTheDeviceQuery()
{
    QFETCH(QString, answer);
    QFETCH(QString, segue);
    H h("86000009");
    h.answer("/TolvarDevId.php", answer.toUtf8());
    h.start<ViewController>();
    h.loop.advance(2000);
    QVERIFY(H::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{segue});
    QCOMPARE(h.lastQuery("/TolvarDevId.php"), QByteArray("devid=86000009&wd=mirt"));
    QVERIFY(!H::alert());
}

void tst_Account::welcomeToldOfAFailureAsksAgainOnATap()
{
    H h;
    h.sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarDevId.php"));
    auto* welcome = h.start<ViewController>();
    h.loop.advance(2000);
    QCOMPARE(H::awaitAlert(), Failed);
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

void tst_Account::bindingRefusesAShortNumberAndTheNextTapQueriesAtOnce()
{
    H h("0");
    auto* screen = h.start<ViewControllerDevID>();
    QCOMPARE(H::text(screen, "TextFieldDevID"), QString());
    H::type(screen, "TextFieldDevID", "8");
    H::tap(screen, "Connect");
    QCOMPARE(H::text(screen, "Label1"), QString("正在"));
    // Only after the pulse is the number stored and checked.
    QCOMPARE(H::setting("devid"), QString("0"));
    h.loop.advance(3100);
    QCOMPARE(H::alertMessage(), QString("设备号过短"));
    QCOMPARE(H::setting("devid"), QString("8"));
    QCOMPARE(h.sentCount(), 0);
    H::closeAlert();

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

void tst_Account::bindingPulseRunsOnceWhateverTheTaps()
{
    H h("0");
    auto* screen = h.start<ViewControllerDevID>();
    auto* halo = child<RoundView>(screen, "ConnectBj");
    H::type(screen, "TextFieldDevID", "12345678");
    H::tap(screen, "Connect");
    double highest = 0;
    for (int tick = 0; tick < 30; ++tick) {
        // Taps while connecting restart the ticking; they add no second animation.
        if (tick == 10) {
            H::tap(screen, "Connect");
            H::tap(screen, "Connect");
        }
        h.loop.advance(100);
        highest = qMax(highest, halo->alpha());
    }
    QCOMPARE(highest, 1.0);
    QCOMPARE(h.sentCount(), 0);
    h.loop.advance(100);
    QCOMPARE(h.sentCount(), 1);
    h.loop.advance(10000);
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(h.loop.armedCount(), 0);
}

void tst_Account::bindingAnswersLeadOn_data()
{
    H::columns<QString, SimFault, QString, QString>("devid", "fault", "segue", "username");
    const QString script = "/TolvarDevId.php";
    const SimFault answered = SimFault::delay(0, script);
    H::row("with account", "86000001", answered, "GoToLogin", "rider01");
    H::row("without account", "86000002", answered, "GoToRegister", "");
    // The HTTP stack retries a dropped GET once; both attempts fail.
    H::row("dropped", "86000001", SimFault::of(SimFault::Kind::Drop, script, 2), "", "0");
}

void tst_Account::bindingAnswersLeadOn()
{
    QFETCH(QString, devid);
    QFETCH(SimFault, fault);
    QFETCH(QString, segue);
    QFETCH(QString, username);
    H h;
    h.sim.addFault(fault);
    auto* screen = h.start<ViewControllerDevID>();
    QCOMPARE(H::text(screen, "TextFieldDevID"), QString("86000001"));
    H::type(screen, "TextFieldDevID", devid);
    H::tap(screen, "Connect");
    h.loop.advance(3100);
    QVERIFY(h.awaitAnswers());
    QCOMPARE(h.segues, list(segue));
    QCOMPARE(H::alertMessage(), segue.isEmpty() ? Failed : QString());
    QCOMPARE(H::settings({"serverusername", "devid"}), (QStringList{username, devid}));
}

void tst_Account::login_data()
{
    H::columns<QString, QString, SimFault, int, QString, QString>("username", "pwd", "fault",
                                                                  "requests", "message", "segue");
    const QString script = "/TolvarLoginIOS.php";
    const SimFault answered = SimFault::delay(0, script);
    const auto marked = [&](const char* marker) {
        return SimFault::raw(QByteArray("[{\"loginreturnmsg\":\"") + marker + "\"}]", script);
    };
    // The user-name message wins when both are short; nothing is stored or sent.
    H::row("user name of 4", "abcd", "abcdef", answered, 0, "用户名过短!", "");
    H::row("password of 5", "abcde", "abcde", answered, 0, "密码过短!", "");
    H::row("both short", "abcd", "abcde", answered, 0, "用户名过短!", "");
    H::row("5 and 6, no match", "abcde", "abcdef", answered, 1, "账户密码不匹配!", "");
    H::row("ok", "rider01", "secret1", answered, 1, "", "GoToSet2");
    H::row("error:1", "rider01", "secret1", marked("error:1"), 1, "缺少登录参数!", "");
    H::row("error:2", "rider01", "secret1", marked("error:2"), 1, "设备号不存在!", "");
    H::row("unexpected", "rider01", "secret1", marked("later"), 1, "", "");
    H::row("server error", "rider01", "secret1", SimFault::of(SimFault::Kind::ServerError, script),
           1, Failed, "");
}

void tst_Account::login()
{
    QFETCH(QString, username);
    QFETCH(QString, pwd);
    QFETCH(SimFault, fault);
    QFETCH(int, requests);
    QFETCH(QString, message);
    QFETCH(QString, segue);
    H h;
    h.sim.addFault(fault);
    logIn(h.start<ViewControllerLogin>(), username, pwd);
    QVERIFY(h.awaitAnswers(requests));
    QCOMPARE(H::alertMessage(), message);
    QCOMPARE(h.segues, list(segue));
    const QString query = "devid=86000001&username=" + username + "&pwd=" + pwd;
    QCOMPARE(h.lastQuery("/TolvarLoginIOS.php"), requests ? query.toUtf8() : QByteArray());
    QCOMPARE(H::setting("localusername"), requests ? username : QString("0"));
}

void tst_Account::loginRememberTickKeepsThePassword()
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

void tst_Account::loginBackFromRecoveryShowsTheStoreAgain()
{
    H h;
    auto* screen = h.start<ViewControllerLogin>();
    H::set("localpwd", "kept1");
    H::type(screen, "TextUserName", "typed");
    H::tap(screen, "FindPwdButton");
    QCOMPARE(h.segues, QStringList{"GoToFindPwd"});
    H::tap(h.storyboard->topScreen(), "BackButton");
    QCOMPARE(h.storyboard->topScreen(), screen);
    QCOMPARE(H::text(screen, "TextPwd"), QString("kept1"));
    QCOMPARE(H::text(screen, "TextUserName"), QString());
}

void tst_Account::loginSwitchUserEmptiesTheStoreAndStartsOver()
{
    H h;
    auto* screen = h.start<ViewControllerLogin>();
    H::tap(screen, "TouXiangImage");
    QVERIFY(H::alert());
    QCOMPARE(H::alert()->actionStyle(0), AlertController::ActionStyle::Cancel);
    H::alert()->pressAction("取消");
    QVERIFY(h.segues.isEmpty());

    H::tap(screen, "TouXiangImage");
    H::alert()->pressAction("切换");
    QCOMPARE(h.segues, QStringList{"LoginGoToWelcom"});
    // A fresh welcome screen alone, over fresh settings.
    QCOMPARE(h.storyboard->stack().size(), 1);
    QCOMPARE(H::setting("devid"), QString("0"));
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

void tst_Account::recovery_data()
{
    H::columns<QString, QString, QString, SimFault, QString>("devid", "email", "typed", "fault",
                                                             "message");
    const QString script = "/TolvarSendEmailIOS.php";
    const SimFault answered = SimFault::delay(0, script);
    const QString rider = "rider01@example.com";
    // The address is checked first, then the code; only then does a request go out. The
    // code is typed as shown ("code"), in lower case, one longer, its first three, or empty.
    H::row("address of four", "86000001", "a@bc", "????", answered, "邮箱过短!");
    H::row("no @", "86000001", "abcde", "????", answered, "邮箱格式错误!");
    H::row("lower case", "86000001", rider, "lower", answered, "验证码错误!");
    H::row("longer", "86000001", rider, "longer", answered, "验证码错误!");
    H::row("shorter", "86000001", rider, "shorter", answered, "验证码错误!");
    H::row("empty", "86000001", rider, "", answered, "验证码错误!");
    H::row("another address", "86000001", "a@b.c", "code", answered, "请输入注册时的邮箱!");
    H::row("unknown device", "12345678", rider, "code", answered, "设备号不存在!");
    H::row("error:1", "86000001", rider, "code", SimFault::raw("error:1", script),
           "缺少找回密码参数!");
    H::row("server error", "86000001", rider, "code",
           SimFault::of(SimFault::Kind::ServerError, script), Failed);
    H::row("sent", "86000001", rider, "code", answered, "邮件发送成功,请注意查收!");
}

void tst_Account::recovery()
{
    QFETCH(QString, devid);
    QFETCH(QString, email);
    QFETCH(QString, typed);
    QFETCH(SimFault, fault);
    QFETCH(QString, message);
    H h(devid);
    h.sim.addFault(fault);
    // Recovery opens over the login screen, as the rider reaches it.
    H::tap(h.start<ViewControllerLogin>(), "FindPwdButton");
    Screen* screen = h.storyboard->topScreen();
    // A code with at least one letter, so that its lower case differs.
    while (shownCode(screen).toLower() == shownCode(screen))
        H::tap(screen, "RefreshButton");
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

void tst_Account::registerCodeRequests_data()
{
    H::columns<QString, SimFault, int, QString>("email", "fault", "requests", "message");
    const QString script = "/TolvarSendEmailVCodeIOS.php";
    const SimFault answered = SimFault::delay(0, script);
    H::row("four characters", "a@bc", answered, 0, "邮箱过短!");
    H::row("no @", "abcde", answered, 0, "邮箱格式错误!");
    H::row("error:1", Email, SimFault::raw("error:1", script), 1, "缺少参数!");
    H::row("error:2 is success", Email, SimFault::raw("error:2", script), 1,
           "邮件发送成功,请注意查收!");
    H::row("server error", Email, SimFault::of(SimFault::Kind::ServerError, script), 1, Failed);
}

void tst_Account::registerCodeRequests()
{
    QFETCH(QString, email);
    QFETCH(SimFault, fault);
    QFETCH(int, requests);
    QFETCH(QString, message);
    H h("86000002");
    h.sim.addFault(fault);
    auto* screen = h.start<ViewControllerRegister>();
    H::type(screen, "useremail", email);
    H::tap(screen, "VcodeButton");
    QCOMPARE(H::awaitAlert(), message);
    QCOMPARE(h.sentCount(), requests);
}

void tst_Account::registerOnlyTheLatestCodeVerifies()
{
    H h("86000002");
    auto* screen = h.start<ViewControllerRegister>();
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
}

void tst_Account::registerOnlyTheVerifiedAddress()
{
    H h("86000002");
    auto* screen = h.start<ViewControllerRegister>();
    // Before any other check, whatever the fields hold.
    H::tap(screen, "RegisterButton");
    QCOMPARE(H::alertMessage(), QString("邮箱未验证!"));
    H::closeAlert();
    verify(h, screen, Email);
    fill(screen, "neo01", "abcdef", "other@x.cn", "neowx");
    QCOMPARE(H::text(screen, "hint"), QString("注册前请先验证邮箱"));
    H::tap(screen, "RegisterButton");
    QCOMPARE(H::alertMessage(), QString("邮箱未验证!"));
    H::closeAlert();
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(H::setting("localusername"), QString("0"));

    // The mark lives for the run, not the screen: a new screen with the same address passes.
    auto* again = h.start<ViewControllerRegister>();
    fill(again, "neo01", "abcdef", Email, "neowx");
    H::tap(again, "RegisterButton");
    QVERIFY(H::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"GoToSet"});
}

void tst_Account::registering_data()
{
    H::columns<QString, QString, QString, QString, SimFault, int, QString>(
        "devid", "username", "pwd", "weixin", "fault", "requests", "message");
    const QString script = "/TolvarRegisterIOS.php";
    const SimFault answered = SimFault::delay(0, script);
    const auto marked = [&](const char* marker) {
        return SimFault::raw(QByteArray("[{\"registerreturnmsg\":\"") + marker + "\"}]", script);
    };
    // The first failing check speaks, and nothing is stored or sent.
    H::row("all short", "86000002", "abcd", "abcde", "abcd", answered, 0, "用户名过短!");
    H::row("password and WeChat short", "86000002", "abcde", "abcde", "abcd", answered, 0,
           "密码过短!");
    H::row("WeChat name of 4", "86000002", "abcde", "abcdef", "abcd", answered, 0, "微信号过短!");
    H::row("account exists", "86000001", "neo01", "abcdef", "neowx", answered, 1, "该账号已存在!");
    H::row("unknown device", "12345678", "neo01", "abcdef", "neowx", answered, 1, "设备号不存在!");
    H::row("error:1", "86000002", "neo01", "abcdef", "neowx", marked("error:1"), 1,
           "缺少注册参数!");
    H::row("unexpected", "86000002", "neo01", "abcdef", "neowx", marked("wait"), 1, "");
    H::row("server error", "86000002", "neo01", "abcdef", "neowx",
           SimFault::of(SimFault::Kind::ServerError, script), 1, Failed);
}

void tst_Account::registering()
{
    QFETCH(QString, devid);
    QFETCH(QString, username);
    QFETCH(QString, pwd);
    QFETCH(QString, weixin);
    QFETCH(SimFault, fault);
    QFETCH(int, requests);
    QFETCH(QString, message);
    H h(devid);
    h.sim.addFault(fault);
    auto* screen = h.start<ViewControllerRegister>();
    verify(h, screen, Email);
    fill(screen, username, pwd, Email, weixin);
    H::tap(screen, "RegisterButton");
    // The code request before it is one answer already.
    QVERIFY(h.awaitAnswers(1 + requests));
    QCOMPARE(H::alertMessage(), message);
    QCOMPARE(h.sentCount(), 1 + requests);
    QVERIFY(h.segues.isEmpty());
    // Written before the answer was known; an error answer stores no status.
    QCOMPARE(H::setting("localpwd"), requests ? pwd : QString("0"));
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

void tst_Account::uploadAnswerMustBeAWebAddress_data()
{
    H::columns<QString, QString>("answer", "stored");
    const QString old = "http://old/a.png";
    H::row("error marker", "error:1", old);
    H::row("other scheme", "ftp://cdn.example.com/a.png", old);
    H::row("no host", "http:///a.png", old);
    H::row("no text", QString(), old);
    H::row("https address", "https://cdn.example.com/a.png\n", "https://cdn.example.com/a.png");
}

void tst_Account::uploadAnswerMustBeAWebAddress()
{
    QFETCH(QString, answer);
    QFETCH(QString, stored);
    H h;
    H::set("touxiangpath", "http://old/a.png");
    ViewControllerRegister::storeUploadAnswer(answer.isNull() ? std::nullopt
                                                              : std::optional<QString>(answer));
    QCOMPARE(H::setting("touxiangpath"), stored);
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
