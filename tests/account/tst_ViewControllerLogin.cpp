#include "AccountHarness.h"

#include "platform/net/ImageLoader.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "screens/account/ViewControllerLogin.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

void logIn(const QObject* screen, const QString& username, const QString& pwd)
{
    AccountHarness::type(screen, "TextUserName", username);
    AccountHarness::type(screen, "TextPwd", pwd);
    AccountHarness::tap(screen, "LoginButton");
}

bool ticked(const QObject* screen)
{
    return child<Button>(screen, "GouHaoButton")->image() == Images::named("login2.png");
}

} // namespace

// The login screen: prefill and remember tick, length checks, the login answer's markers,
// and the switch of user.
class tst_ViewControllerLogin : public QObject
{
    Q_OBJECT

private slots:
    void attempts_data();
    void attempts();
    void rememberTickKeepsThePassword();
    void avatarShowsPlaceholderThenPicture();
    void backFromRecoveryShowsTheStoreAgain();
    void switchUserEmptiesTheDatabaseAndStartsOver();
};

void tst_ViewControllerLogin::attempts_data()
{
    AccountHarness::columns<QString, QString, SimFault, int, QString, QString>(
        "username", "pwd", "fault", "requests", "message", "segue");
    const QString script = "/TolvarLoginIOS.php";
    const SimFault answered = SimFault::delay(0, script);
    const auto marked = [&](const char* marker) {
        return SimFault::raw(QByteArray("[{\"loginreturnmsg\":\"") + marker + "\"}]", script);
    };
    // The user-name message wins when both are short; nothing is stored or sent.
    AccountHarness::row("user name of 4", "abcd", "abcdef", answered, 0, "用户名过短!", "");
    AccountHarness::row("password of 5", "abcde", "abcde", answered, 0, "密码过短!", "");
    AccountHarness::row("both short", "abcd", "abcde", answered, 0, "用户名过短!", "");
    AccountHarness::row("5 and 6, no match", "abcde", "abcdef", answered, 1, "账户密码不匹配!", "");
    AccountHarness::row("ok", "rider01", "secret1", answered, 1, "", "GoToSet2");
    AccountHarness::row("error:1", "rider01", "secret1", marked("error:1"), 1, "缺少登录参数!", "");
    AccountHarness::row("error:2", "rider01", "secret1", marked("error:2"), 1, "设备号不存在!", "");
    AccountHarness::row("unexpected", "rider01", "secret1", marked("later"), 1, "", "");
    AccountHarness::row("server error", "rider01", "secret1",
                        SimFault::of(SimFault::Kind::ServerError, script), 1, "网络访问出错!", "");
}

void tst_ViewControllerLogin::attempts()
{
    QFETCH(QString, username);
    QFETCH(QString, pwd);
    QFETCH(SimFault, fault);
    QFETCH(int, requests);
    QFETCH(QString, message);
    QFETCH(QString, segue);
    AccountHarness h;
    h.sim.addFault(fault);
    logIn(h.start<ViewControllerLogin>("86000001"), username, pwd);
    QVERIFY(h.awaitAnswers(requests));
    QCOMPARE(AccountHarness::alertMessage(), message);
    QCOMPARE(h.segues, segue.isEmpty() ? QStringList() : QStringList{segue});
    const QString query = "devid=86000001&username=" + username + "&pwd=" + pwd;
    QCOMPARE(h.lastQuery("/TolvarLoginIOS.php"), requests ? query.toUtf8() : QByteArray());
    QCOMPARE(AccountHarness::setting("localusername"), requests ? username : QString("0"));
}

void tst_ViewControllerLogin::rememberTickKeepsThePassword()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerLogin>("86000001");
    QVERIFY(!ticked(screen));
    logIn(screen, "rider01", "secret1");
    QCOMPARE(AccountHarness::setting("localpwd"), QString("0"));

    auto* again = h.start<ViewControllerLogin>();
    QCOMPARE(AccountHarness::text(again, "TextUserName"), QString("rider01"));
    QCOMPARE(AccountHarness::text(again, "TextPwd"), QString());
    AccountHarness::tap(again, "GouHaoButton");
    QVERIFY(ticked(again));
    // Nothing is stored until the next attempt.
    QCOMPARE(AccountHarness::setting("localpwd"), QString("0"));
    logIn(again, "rider01", "secret1");
    QCOMPARE(AccountHarness::setting("localpwd"), QString("secret1"));

    auto* third = h.start<ViewControllerLogin>();
    QVERIFY(ticked(third));
    QCOMPARE(AccountHarness::text(third, "TextPwd"), QString("secret1"));
    AccountHarness::tap(third, "GouHaoButton");
    QVERIFY(!ticked(third));
}

void tst_ViewControllerLogin::avatarShowsPlaceholderThenPicture()
{
    AccountHarness h;
    QTemporaryDir cache;
    ImageLoader loader(cache.path());
    h.app.delegate->setImageLoader(&loader);
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("touxiangpath",
                               h.sim.baseUrl().toString() + "/touxiang/86000001.png");
    auto* avatar = child<ImageView>(h.start<ViewControllerLogin>("86000001"), "TouXiangImage");
    const QImage placeholder = Images::named("touxiangsmall.png");
    QVERIFY(!placeholder.isNull());
    QCOMPARE(avatar->image(), placeholder);
    QVERIFY(AccountHarness::waitFor([&] { return avatar->image() != placeholder; }));
    QVERIFY(!avatar->image().isNull());
    h.app.delegate->setImageLoader(nullptr);
}

void tst_ViewControllerLogin::backFromRecoveryShowsTheStoreAgain()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerLogin>("86000001");
    AccountHarness::setSetting("localpwd", "kept1");
    AccountHarness::type(screen, "TextUserName", "typed");
    AccountHarness::tap(screen, "FindPwdButton");
    QCOMPARE(h.segues, QStringList{"GoToFindPwd"});
    AccountHarness::tap(h.storyboard->topScreen(), "BackButton");
    QCOMPARE(h.storyboard->topScreen(), screen);
    QCOMPARE(AccountHarness::text(screen, "TextPwd"), QString("kept1"));
    QCOMPARE(AccountHarness::text(screen, "TextUserName"), QString());
}

void tst_ViewControllerLogin::switchUserEmptiesTheDatabaseAndStartsOver()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerLogin>("86000001");
    AccountHarness::tap(screen, "TouXiangImage");
    AlertController* dialog = AccountHarness::alert();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QString("切换用户"));
    QCOMPARE(dialog->message(), QString("点击切换之后将清空数据,并返回设备匹配界面."));
    QCOMPARE(dialog->actionTitles(), (QStringList{"取消", "切换"}));
    QCOMPARE(dialog->actionStyle(0), AlertController::ActionStyle::Cancel);
    dialog->pressAction("取消");
    QVERIFY(h.segues.isEmpty());

    AccountHarness::tap(screen, "TouXiangImage");
    AccountHarness::alert()->pressAction("切换");
    QCOMPARE(h.segues, QStringList{"LoginGoToWelcom"});
    QVERIFY(h.log.contains("Login释放"));
    // A fresh welcome screen alone, over fresh settings.
    QCOMPARE(h.storyboard->stack().size(), 1);
    QCOMPARE(AccountHarness::setting("devid"), QString("0"));
}

QTEST_MAIN(tst_ViewControllerLogin)
#include "tst_ViewControllerLogin.moc"
