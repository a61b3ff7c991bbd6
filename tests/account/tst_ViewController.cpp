#include "AccountHarness.h"

#include "screens/account/ViewController.h"

#include <QTest>

// The welcome screen: defaults, location and notification start, and the routing two
// seconds after it loads.
class tst_ViewController : public QObject
{
    Q_OBJECT

private slots:
    void loadStartsTheRunAndAFreshStoreGoesToBinding();
    void routesByTheDeviceQuery_data();
    void routesByTheDeviceQuery();
    void networkFailureIsToldAndATapAsksAgain();
};

void tst_ViewController::loadStartsTheRunAndAFreshStoreGoesToBinding()
{
    AccountHarness h;
    h.start<ViewController>();
    for (const QString& key : MyUtil::SettingsKeys())
        QCOMPARE(MyBasicInfo::GetValue(key), QString("0"));
    QVERIFY(h.location.isUpdating());
    QVERIFY(!h.location.pausesLocationUpdatesAutomatically());
    QVERIFY(h.location.allowsBackgroundLocationUpdates());
    const int asked = LocalNotificationCenter::Alert | LocalNotificationCenter::Badge |
                      LocalNotificationCenter::Sound;
    QVERIFY(AccountHarness::waitFor([&] { return h.notifications.registeredTypes() == asked; }));
    // Each location update is logged; the status poll it drives only arms its
    // once-a-minute throttle the first time, so nothing goes out.
    h.location.injectLocation(30.5, 120.25, 8);
    QVERIFY(h.log.contains("location:{lat:30.500000; lon:120.250000; accuracy:8.000000}"));
    // Without a device number the routing asks nobody; the welcome screen stays underneath.
    h.loop.advance(1999);
    QVERIFY(h.segues.isEmpty());
    h.loop.advance(1);
    QCOMPARE(h.segues, QStringList{"GoToDevID"});
    QCOMPARE(h.sentCount(), 0);
    QCOMPARE(h.storyboard->firstScreen()->identifier(), QString("ViewController"));
}

void tst_ViewController::routesByTheDeviceQuery_data()
{
    AccountHarness::columns<QString, QString>("answer", "segue");
    AccountHarness::row("unknown device", R"([{"devid":"null","username":""}])", "GoToDevID");
    AccountHarness::row("unknown device with a name", R"([{"devid":"nullx","username":"abcdef"}])",
                        "GoToDevID");
    AccountHarness::row("two characters", R"([{"devid":"8600","username":"ab"}])",
                        "WelcomGoToRegister");
    AccountHarness::row("three characters", R"([{"devid":"8600","username":"abc"}])",
                        "WelcomGoToLogin");
    AccountHarness::row("not JSON", "<html>busy</html>", "WelcomGoToRegister");
}

void tst_ViewController::routesByTheDeviceQuery()
{
    QFETCH(QString, answer);
    QFETCH(QString, segue);
    AccountHarness h;
    h.sim.addFault(SimFault::raw(answer.toUtf8(), "/TolvarDevId.php"));
    h.start<ViewController>("86000009");
    h.loop.advance(2000);
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{segue});
    QCOMPARE(h.lastQuery("/TolvarDevId.php"), QByteArray("devid=86000009&wd=mirt"));
    QVERIFY(!AccountHarness::alert());
}

void tst_ViewController::networkFailureIsToldAndATapAsksAgain()
{
    AccountHarness h;
    h.sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarDevId.php"));
    auto* welcome = h.start<ViewController>("86000001");
    h.loop.advance(2000);
    QCOMPARE(AccountHarness::awaitAlert(), QString("网络访问出错!"));
    QVERIFY(h.segues.isEmpty());
    AccountHarness::closeAlert();
    AccountHarness::tap(welcome, "welcomimage");
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"WelcomGoToLogin"});
    // The account the server keeps for the device is stored for the next screens.
    QCOMPARE(AccountHarness::setting("serverusername"), QString("rider01"));
    QCOMPARE(AccountHarness::setting("serverpwd"), QString("secret1"));
    QCOMPARE(AccountHarness::setting("email"), QString("rider01@example.com"));
    QCOMPARE(AccountHarness::setting("weixin"), QString("qixingzhe01"));
    QCOMPARE(AccountHarness::setting("touxiangpath"),
             h.sim.baseUrl().toString() + "/touxiang/86000001.png");
}

QTEST_MAIN(tst_ViewController)
#include "tst_ViewController.moc"
