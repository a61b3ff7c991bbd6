#include "AccountHarness.h"
#include "screens/account/ViewControllerFindPwd.h"

#include "platform/net/ImageLoader.h"
#include "platform/ui/Images.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/account/ViewControllerLogin.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObjectContext.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

ViewControllerLogin* startLogin(AccountHarness& h, const QString& devid = "86000001")
{
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("devid", devid);
    return h.start<ViewControllerLogin>("ViewControllerLogin");
}

void fill(ViewControllerLogin* screen, const QString& username, const QString& pwd)
{
    screen->TextUserName()->setText(username);
    screen->TextPwd()->setText(pwd);
}

int rows(const char* entity)
{
    return StoreContext::shared()->count(FetchRequest::all(QString::fromLatin1(entity)));
}

} // namespace

// The login screen: prefill and remember tick, length checks, the login answer's markers,
// and the switch of user.
class tst_ViewControllerLogin : public QObject
{
    Q_OBJECT

private slots:
    void lengthChecks_data();
    void lengthChecks();
    void rememberTickRoundTrip();
    void answerMarkers_data();
    void answerMarkers();
    void okStoresTheRecordAndHidesThePassword();
    void networkFailureKeepsTheTypedValues();
    void avatarShowsPlaceholderThenPicture();
    void forgotPasswordOpensRecovery();
    void switchUserCancelChangesNothing();
    void switchUserEmptiesTheDatabaseAndStartsOver();
    void releaseIsLogged();
};

void tst_ViewControllerLogin::lengthChecks_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("pwd");
    QTest::addColumn<QString>("message");
    QTest::newRow("5 and 6 pass") << "abcde"
                                  << "abcdef"
                                  << "";
    QTest::newRow("user name of 4") << "abcd"
                                    << "abcdef"
                                    << "用户名过短!";
    QTest::newRow("password of 5") << "abcde"
                                   << "abcde"
                                   << "密码过短!";
    QTest::newRow("both short") << "abcd"
                                << "abcde"
                                << "用户名过短!";
    QTest::newRow("both empty") << ""
                                << ""
                                << "用户名过短!";
}

void tst_ViewControllerLogin::lengthChecks()
{
    QFETCH(QString, username);
    QFETCH(QString, pwd);
    QFETCH(QString, message);
    AccountHarness h;
    auto* screen = startLogin(h);
    fill(screen, username, pwd);
    screen->LoginButton()->click();
    if (message.isEmpty()) {
        QCOMPARE(h.sentCount(), 1);
        QCOMPARE(AccountHarness::setting("localusername"), username);
        QCOMPARE(AccountHarness::awaitAlert(), QString("账户密码不匹配!"));
        return;
    }
    QCOMPARE(AccountHarness::alertMessage(), message);
    QCOMPARE(AlertController::visibleAlerts().size(), 1);
    QCOMPARE(h.sentCount(), 0);
    QCOMPARE(AccountHarness::setting("localusername"), QString("0"));
    QCOMPARE(AccountHarness::setting("localpwd"), QString("0"));
}

void tst_ViewControllerLogin::rememberTickRoundTrip()
{
    AccountHarness h;
    auto* screen = startLogin(h);
    QVERIFY(!screen->GouHaoState());
    QCOMPARE(screen->gouHaoImageName(), QString("login1.png"));
    QCOMPARE(screen->TextUserName()->text(), QString());
    QCOMPARE(screen->TextPwd()->text(), QString());

    fill(screen, "rider01", "secret1");
    screen->LoginButton()->click();
    QCOMPARE(AccountHarness::setting("localpwd"), QString("0"));
    auto* again = h.start<ViewControllerLogin>("ViewControllerLogin");
    QCOMPARE(again->TextUserName()->text(), QString("rider01"));
    QCOMPARE(again->TextPwd()->text(), QString());
    QVERIFY(!again->GouHaoState());

    again->GouHaoButton()->click();
    QVERIFY(again->GouHaoState());
    QCOMPARE(again->gouHaoImageName(), QString("login2.png"));
    QCOMPARE(again->GouHaoButton()->image(), Images::named("login2.png"));
    // Nothing is stored until the next attempt.
    QCOMPARE(AccountHarness::setting("localpwd"), QString("0"));
    fill(again, "rider01", "secret1");
    again->LoginButton()->click();
    QCOMPARE(AccountHarness::setting("localpwd"), QString("secret1"));
    auto* third = h.start<ViewControllerLogin>("ViewControllerLogin");
    QVERIFY(third->GouHaoState());
    QCOMPARE(third->TextPwd()->text(), QString("secret1"));
    QCOMPARE(third->GouHaoButton()->image(), Images::named("login2.png"));
    third->GouHaoButton()->click();
    QCOMPARE(third->GouHaoButton()->image(), Images::named("login1.png"));
    QVERIFY(!Images::named("login1.png").isNull());
    QVERIFY(Images::named("login1.png") != Images::named("login2.png"));
}

void tst_ViewControllerLogin::answerMarkers_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("segue");
    QTest::newRow("error:1") << QByteArray("[{\"loginreturnmsg\":\"error:1\"}]") << "缺少登录参数!"
                             << "";
    QTest::newRow("error:2") << QByteArray("[{\"loginreturnmsg\":\"error:2\"}]") << "设备号不存在!"
                             << "";
    QTest::newRow("error:3") << QByteArray("[{\"loginreturnmsg\":\"error:3\"}]")
                             << "账户密码不匹配!"
                             << "";
    QTest::newRow("error:3 before ok")
        << QByteArray("[{\"loginreturnmsg\":\"ok error:3\"}]") << "账户密码不匹配!"
        << "";
    QTest::newRow("error:1 before error:2")
        << QByteArray("[{\"loginreturnmsg\":\"error:2,error:1\"}]") << "缺少登录参数!"
        << "";
    QTest::newRow("ok") << QByteArray("[{\"loginreturnmsg\":\"ok\"}]") << ""
                        << "GoToSet2";
    QTest::newRow("unexpected") << QByteArray("[{\"loginreturnmsg\":\"later\"}]") << ""
                                << "";
    QTest::newRow("not JSON") << QByteArray("<html>502</html>") << "缺少登录参数!"
                              << "";
    QTest::newRow("object, not array")
        << QByteArray("{\"loginreturnmsg\":\"ok\"}") << "缺少登录参数!"
        << "";
    QTest::newRow("no message") << QByteArray("[{\"power\":\"40\"}]") << "缺少登录参数!"
                                << "";
}

void tst_ViewControllerLogin::answerMarkers()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    QFETCH(QString, segue);
    AccountHarness h;
    h.sim.addFault(SimFault::raw(body, "/TolvarLoginIOS.php"));
    auto* screen = startLogin(h);
    fill(screen, "rider01", "secret1");
    screen->LoginButton()->click();
    QVERIFY(h.awaitLog("str = "));
    QTest::qWait(0);
    QCOMPARE(AccountHarness::alertMessage(), message);
    QCOMPARE(h.segues, segue.isEmpty() ? QStringList() : QStringList{segue});
    if (segue.isEmpty())
        QCOMPARE(h.storyboard->topScreen(), screen);
}

void tst_ViewControllerLogin::okStoresTheRecordAndHidesThePassword()
{
    AccountHarness h;
    auto* screen = startLogin(h);
    fill(screen, "rider01", "wrong!");
    screen->LoginButton()->click();
    QCOMPARE(AccountHarness::awaitAlert(), QString("账户密码不匹配!"));
    // An error answer leaves the stored record as it was.
    QCOMPARE(AccountHarness::setting("power"), QString("0"));
    AccountHarness::closeAlert();

    fill(screen, "rider01", "secret1");
    screen->LoginButton()->click();
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"GoToSet2"});
    QVERIFY(AccountHarness::setting("power").toDouble() > 30);
    QCOMPARE(h.lastQuery("/TolvarLoginIOS.php"),
             QByteArray("devid=86000001&username=rider01&pwd=secret1"));
    const QStringList urls = h.log.matching("urlString = ");
    QCOMPARE(urls.size(), 2);
    QVERIFY(urls.last().endsWith("/TolvarLoginIOS.php?devid=86000001&username=rider01&pwd=***"));
    QVERIFY(!h.log.lines().join('\n').contains("secret1"));
}

void tst_ViewControllerLogin::networkFailureKeepsTheTypedValues()
{
    AccountHarness h;
    h.sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarLoginIOS.php"));
    auto* screen = startLogin(h);
    screen->GouHaoButton()->click();
    fill(screen, "rider01", "secret1");
    screen->LoginButton()->click();
    QCOMPARE(AccountHarness::awaitAlert(), QString("网络访问出错!"));
    QCOMPARE(h.log.matching("error = ").size(), 1);
    QCOMPARE(AccountHarness::setting("localusername"), QString("rider01"));
    QCOMPARE(AccountHarness::setting("localpwd"), QString("secret1"));
    QCOMPARE(AccountHarness::setting("power"), QString("0"));
    QCOMPARE(screen->TextUserName()->text(), QString("rider01"));
}

void tst_ViewControllerLogin::avatarShowsPlaceholderThenPicture()
{
    AccountHarness h;
    QTemporaryDir cache;
    ImageLoader loader(cache.path());
    h.app.delegate->setImageLoader(&loader);
    MyUtil::InitMyDateBase();
    const QString address = h.sim.baseUrl().toString() + "/touxiang/86000001.png";
    AccountHarness::setSetting("touxiangpath", address);
    auto* screen = startLogin(h);
    QVERIFY(h.log.contains("touxiangpath = " + address));
    const QImage placeholder = Images::named("touxiangsmall.png");
    QVERIFY(!placeholder.isNull());
    QCOMPARE(screen->TouXiangImage()->image(), placeholder);
    QVERIFY(
        AccountHarness::waitFor([&] { return screen->TouXiangImage()->image() != placeholder; }));
    QVERIFY(!screen->TouXiangImage()->image().isNull());
    h.app.delegate->setImageLoader(nullptr);
}

void tst_ViewControllerLogin::forgotPasswordOpensRecovery()
{
    AccountHarness h;
    auto* screen = startLogin(h);
    AccountHarness::setSetting("localpwd", "kept1");
    fill(screen, "typed", "typed-secret");
    screen->FindPwdButton()->click();
    QCOMPARE(h.segues, QStringList{"GoToFindPwd"});
    auto* recovery = qobject_cast<ViewControllerFindPwd*>(h.storyboard->topScreen());
    QVERIFY(recovery);
    // Back on the login screen, the fields show the store again, not what was typed.
    recovery->BackButton()->click();
    QCOMPARE(h.storyboard->topScreen(), screen);
    QCOMPARE(screen->TextPwd()->text(), QString("kept1"));
    QVERIFY(screen->TextUserName()->text() != QString("typed"));
}

void tst_ViewControllerLogin::switchUserCancelChangesNothing()
{
    AccountHarness h;
    auto* screen = startLogin(h);
    screen->TouXiangImage()->tapRecognizer()->tap();
    QVERIFY(h.log.contains("点击了头像按钮"));
    AlertController* dialog = AccountHarness::alert();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QString("切换用户"));
    QCOMPARE(dialog->message(), QString("点击切换之后将清空数据,并返回设备匹配界面."));
    QCOMPARE(dialog->actionTitles(), (QStringList{"取消", "切换"}));
    QCOMPARE(dialog->actionStyle(0), AlertController::ActionStyle::Cancel);
    QCOMPARE(dialog->actionStyle(1), AlertController::ActionStyle::Default);
    dialog->pressAction("取消");
    QCOMPARE(AccountHarness::setting("devid"), QString("86000001"));
    QVERIFY(h.segues.isEmpty());
    QCOMPARE(h.storyboard->topScreen(), screen);
}

void tst_ViewControllerLogin::switchUserEmptiesTheDatabaseAndStartsOver()
{
    AccountHarness h;
    auto* screen = startLogin(h);
    MyBasicInfo::CheckAdd("leftover");
    AccountHarness::setSetting("localusername", "rider01");
    MyPaiMingInfo::CheckAdd(RiderInfo{"rider01", "3", "新手", "1", "", "30", "120", "wx"});
    MyFriendInfo::CheckAdd(RiderInfo{"rider02", "3", "新手", "2", "", "30", "120", "wx"});
    StoreContext::shared()->insert("MyPosInfo");
    StoreContext::shared()->save();
    QCOMPARE(rows("MyPosInfo"), 1);

    screen->TouXiangImage()->tapRecognizer()->tap();
    AccountHarness::alert()->pressAction("切换");
    QCOMPARE(h.segues, QStringList{"LoginGoToWelcom"});
    QCOMPARE(rows("MyPosInfo"), 0);
    QCOMPARE(rows("MyFriendInfo"), 0);
    QCOMPARE(rows("MyPaiMingInfo"), 0);
    // The new welcome screen has made the 44 settings again, and only them.
    QCOMPARE(h.storyboard->topScreen()->identifier(), QString("ViewController"));
    QCOMPARE(h.storyboard->stack().size(), 1);
    QCOMPARE(rows("MyBasicInfo"), 44);
    QCOMPARE(AccountHarness::setting("devid"), QString("0"));
    QCOMPARE(AccountHarness::setting("localusername"), QString("0"));
    QCOMPARE(AccountHarness::setting("leftover"), QString("1"));
    // From there a first start: binding after two seconds.
    h.loop.advance(2000);
    QCOMPARE(h.segues.last(), QString("GoToDevID"));
}

void tst_ViewControllerLogin::releaseIsLogged()
{
    AccountHarness h;
    startLogin(h);
    QVERIFY(!h.log.contains("Login释放"));
    h.storyboard->start("ViewController");
    QVERIFY(h.log.contains("Login释放"));
}

QTEST_MAIN(tst_ViewControllerLogin)
#include "tst_ViewControllerLogin.moc"
