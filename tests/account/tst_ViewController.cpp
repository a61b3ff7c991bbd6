#include "AccountHarness.h"
#include "platform/ui/TapGestureRecognizer.h"

#include "screens/account/ViewController.h"

#include <QTest>

namespace {

QByteArray deviceAnswer(const QString& devid, const QString& username)
{
    return QStringLiteral("[{\"devid\":\"%1\",\"username\":\"%2\",\"pwd\":\"pw%2\","
                          "\"email\":\"%2@x.cn\",\"weixin\":\"wx%2\","
                          "\"touxiangpath\":\"http://h/%2.png\"}]")
        .arg(devid, username)
        .toUtf8();
}

} // namespace

// The welcome screen: defaults, location and notification start, and the routing two
// seconds after it loads.
class tst_ViewController : public QObject
{
    Q_OBJECT

private slots:
    void loadStartsTheRun();
    void freshStoreGoesToBindingWithoutRequest();
    void routesByTheDeviceQuery_data();
    void routesByTheDeviceQuery();
    void knownDeviceStoresItsAccountAndHidesThePassword();
    void networkFailureIsToldAndATapAsksAgain();
    void locationUpdatesDriveTheStatusPoll();
};

void tst_ViewController::loadStartsTheRun()
{
    AccountHarness h;
    QCOMPARE(AccountHarness::setting("devid"), QString("1"));
    auto* welcome = h.start<ViewController>("ViewController");
    QVERIFY(welcome);
    QVERIFY(h.log.contains("初始化"));
    QCOMPARE(MyUtil::SettingsKeys().size(), 44);
    for (const QString& key : MyUtil::SettingsKeys())
        QCOMPARE(MyBasicInfo::GetValue(key), QString("0"));
    QCOMPARE(welcome->locationManager(), &h.location);
    QVERIFY(h.location.isUpdating());
    QVERIFY(!h.location.pausesLocationUpdatesAutomatically());
    QVERIFY(h.location.allowsBackgroundLocationUpdates());
    QCOMPARE(h.notifications.registrationCount(), 1);
    const int asked = LocalNotificationCenter::Alert | LocalNotificationCenter::Badge |
                      LocalNotificationCenter::Sound;
    QVERIFY(AccountHarness::waitFor([&] { return h.notifications.registeredTypes() == asked; }));
}

void tst_ViewController::freshStoreGoesToBindingWithoutRequest()
{
    AccountHarness h;
    h.start<ViewController>("ViewController");
    h.loop.advance(1999);
    QVERIFY(h.segues.isEmpty());
    QVERIFY(!h.log.contains("点击了欢迎界面"));
    h.loop.advance(1);
    QVERIFY(h.log.contains("点击了欢迎界面"));
    QCOMPARE(h.segues, QStringList{"GoToDevID"});
    QCOMPARE(h.storyboard->topScreen()->identifier(), QString("ViewControllerDevID"));
    QCOMPARE(h.sentCount(), 0);
    QVERIFY(h.sim.requests().isEmpty());
    // The welcome screen stays underneath.
    QCOMPARE(h.storyboard->firstScreen()->identifier(), QString("ViewController"));
}

void tst_ViewController::routesByTheDeviceQuery_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("segue");
    QTest::newRow("unknown device") << deviceAnswer("null", "") << "GoToDevID";
    QTest::newRow("unknown device with a name") << deviceAnswer("nullx", "abcdef") << "GoToDevID";
    QTest::newRow("no account") << deviceAnswer("86000009", "") << "WelcomGoToRegister";
    QTest::newRow("two characters") << deviceAnswer("86000009", "ab") << "WelcomGoToRegister";
    QTest::newRow("three characters") << deviceAnswer("86000009", "abc") << "WelcomGoToLogin";
    QTest::newRow("not JSON") << QByteArray("<html>busy</html>") << "WelcomGoToRegister";
    QTest::newRow("JSON null") << QByteArray(R"([{"devid":null,"username":"abcdef"}])")
                               << "GoToDevID";
}

void tst_ViewController::routesByTheDeviceQuery()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, segue);
    AccountHarness h;
    h.sim.addFault(SimFault::raw(answer, "/TolvarDevId.php"));
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("devid", "86000009");
    h.start<ViewController>("ViewController");
    h.loop.advance(2000);
    QVERIFY(h.awaitLog("str = "));
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{segue});
    QCOMPARE(h.lastQuery("/TolvarDevId.php"), QByteArray("devid=86000009&wd=mirt"));
    QVERIFY(!AccountHarness::alert());
}

void tst_ViewController::knownDeviceStoresItsAccountAndHidesThePassword()
{
    AccountHarness h;
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("devid", "86000001");
    h.start<ViewController>("ViewController");
    h.loop.advance(2000);
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"WelcomGoToLogin"});
    const QString avatar = h.sim.baseUrl().toString() + "/touxiang/86000001.png";
    QCOMPARE(AccountHarness::setting("serverusername"), QString("rider01"));
    QCOMPARE(AccountHarness::setting("serverpwd"), QString("secret1"));
    QCOMPARE(AccountHarness::setting("email"), QString("rider01@example.com"));
    QCOMPARE(AccountHarness::setting("weixin"), QString("qixingzhe01"));
    QCOMPARE(AccountHarness::setting("touxiangpath"), avatar);
    QVERIFY(h.log.contains(avatar));
    const QStringList answers = h.log.matching("str = ");
    QCOMPARE(answers.size(), 1);
    QVERIFY(answers.first().contains("\"pwd\":\"***\""));
    QVERIFY(!h.log.lines().join('\n').contains("secret1"));
}

void tst_ViewController::networkFailureIsToldAndATapAsksAgain()
{
    AccountHarness h;
    h.sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarDevId.php"));
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("devid", "86000001");
    auto* welcome = h.start<ViewController>("ViewController");
    h.loop.advance(2000);
    QVERIFY(h.awaitLog("error = "));
    QTest::qWait(0);
    QVERIFY(h.segues.isEmpty());
    QCOMPARE(h.storyboard->topScreen(), welcome);
    QCOMPARE(AccountHarness::setting("serverusername"), QString("0"));
    // The rider is told, and a tap on the picture asks again.
    QVERIFY(AccountHarness::alert());
    QCOMPARE(AccountHarness::alert()->message(), QString("网络访问出错!"));
    AccountHarness::alert()->pressAction(0);
    welcome->welcomimage()->tapRecognizer()->tap();
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"WelcomGoToLogin"});
}

void tst_ViewController::locationUpdatesDriveTheStatusPoll()
{
    AccountHarness h;
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("devid", "86000001");
    h.start<ViewController>("ViewController");
    h.location.injectLocation(30.5, 120.25, 8);
    QVERIFY(h.log.contains("location:{lat:30.500000; lon:120.250000; accuracy:8.000000}"));
    // The poll's first update only arms its once-a-minute throttle.
    QCOMPARE(h.sentCount(), 0);
    h.app.clock.advance(61);
    h.location.injectLocation(30.5, 120.25, 8);
    QCOMPARE(h.log.matching("urlString = ").size(), 1);
    QVERIFY(h.log.matching("urlString = ")
                .first()
                .contains("/TolvarGetEveryThingTimerIOS.php?devid=86000001"));
    QVERIFY(h.awaitLog("htmlstr = "));
}

QTEST_MAIN(tst_ViewController)
#include "tst_ViewController.moc"
