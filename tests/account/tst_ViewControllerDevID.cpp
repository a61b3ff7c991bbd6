#include "AccountHarness.h"

#include "platform/ui/Images.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/account/RoundView.h"
#include "screens/account/ViewControllerDevID.h"

#include <QLabel>
#include <QTest>

namespace {

void tapConnect(ViewControllerDevID* screen)
{
    auto* tap = screen->Connect()->findChild<TapGestureRecognizer*>();
    QVERIFY(tap);
    tap->tap();
}

} // namespace

// Device binding: the connecting pulse, the device query and its alerts.
class tst_ViewControllerDevID : public QObject
{
    Q_OBJECT

private slots:
    void loadShowsIconAndStoredNumber();
    void oneCharacterIsRefusedAfterThePulse();
    void pulseStaysBetweenItsBounds();
    void secondTapAfterAFailureQueriesOnTheFirstTick();
    void tapWhileConnectingKeepsOneAnimation();
    void unknownDeviceStaysWithAnAlert();
    void knownDevicesLeadOn_data();
    void knownDevicesLeadOn();
    void networkFailureShowsAnAlert();
    void returnKeyEndsEditing();
};

void tst_ViewControllerDevID::loadShowsIconAndStoredNumber()
{
    AccountHarness h;
    auto* fresh = h.start<ViewControllerDevID>("ViewControllerDevID");
    QCOMPARE(fresh->TextFieldDevID()->text(), QString());
    QVERIFY(!fresh->TextFieldDevID()->leftImage().isNull());
    QCOMPARE(fresh->TextFieldDevID()->leftImage(), Images::named("logo_id.png"));
    QCOMPARE(fresh->ConnectBj()->alpha(), 0.3);
    QCOMPARE(fresh->addalpha(), 1);
    QCOMPARE(fresh->addalphaTotalTime(), 0);
    QVERIFY(!fresh->paintingTimer());

    AccountHarness::setSetting("devid", "86000001");
    auto* bound = h.start<ViewControllerDevID>("ViewControllerDevID");
    QCOMPARE(bound->TextFieldDevID()->text(), QString("86000001"));
}

void tst_ViewControllerDevID::oneCharacterIsRefusedAfterThePulse()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>("ViewControllerDevID");
    screen->TextFieldDevID()->setText("8");
    tapConnect(screen);
    QVERIFY(h.log.contains("点击了连接界面"));
    QCOMPARE(screen->Label1()->text(), QString("正在"));
    QCOMPARE(screen->Label2()->text(), QString("连接"));
    h.loop.advance(3000);
    QCOMPARE(screen->addalphaTotalTime(), 30);
    QVERIFY(!AccountHarness::alert());
    QCOMPARE(AccountHarness::setting("devid"), QString("0"));
    h.loop.advance(100);
    QCOMPARE(screen->addalphaTotalTime(), 31);
    QCOMPARE(AccountHarness::alertMessage(), QString("设备号过短"));
    QCOMPARE(AccountHarness::alert()->title(), QString("提示"));
    QCOMPARE(AccountHarness::alert()->actionTitles(), QStringList{"确定"});
    QCOMPARE(AccountHarness::setting("devid"), QString("8"));
    QVERIFY(!screen->paintingTimer());
    QCOMPARE(h.sentCount(), 0);
    // The captions keep their connecting words.
    QCOMPARE(screen->Label1()->text(), QString("正在"));
}

void tst_ViewControllerDevID::pulseStaysBetweenItsBounds()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>("ViewControllerDevID");
    tapConnect(screen);
    QList<double> alphas;
    for (int tick = 0; tick < 30; ++tick) {
        h.loop.advance(100);
        alphas.append(screen->ConnectBj()->alpha());
    }
    const double low = *std::min_element(alphas.begin(), alphas.end());
    const double high = *std::max_element(alphas.begin(), alphas.end());
    QCOMPARE(high, 1.0);
    QVERIFY(low >= 0.27 && low <= 0.31);
    QVERIFY(qAbs(alphas.first() - 0.38) < 1e-9);
    // Up to the top, then down again.
    const int top = int(alphas.indexOf(1.0));
    QVERIFY(top > 0 && top < 29);
    QVERIFY(alphas.at(top + 1) < 1.0);
}

void tst_ViewControllerDevID::secondTapAfterAFailureQueriesOnTheFirstTick()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>("ViewControllerDevID");
    screen->TextFieldDevID()->setText("1");
    tapConnect(screen);
    h.loop.advance(3100);
    QCOMPARE(AccountHarness::alertMessage(), QString("设备号过短"));
    AccountHarness::closeAlert();

    screen->TextFieldDevID()->setText("12345678");
    tapConnect(screen);
    QCOMPARE(h.sentCount(), 0);
    h.loop.advance(100);
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(AccountHarness::awaitAlert(), QString("设备号不存在!"));
}

void tst_ViewControllerDevID::tapWhileConnectingKeepsOneAnimation()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>("ViewControllerDevID");
    screen->TextFieldDevID()->setText("12345678");
    tapConnect(screen);
    h.loop.advance(1000);
    tapConnect(screen);
    tapConnect(screen);
    h.loop.advance(2100);
    QCOMPARE(h.sentCount(), 1);
    QVERIFY(!screen->paintingTimer());
    h.loop.advance(10000);
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(h.loop.armedCount(), 0);
}

void tst_ViewControllerDevID::unknownDeviceStaysWithAnAlert()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>("ViewControllerDevID");
    AccountHarness::setSetting("serverusername", "old");
    screen->TextFieldDevID()->setText("12345678");
    tapConnect(screen);
    h.loop.advance(3100);
    QCOMPARE(AccountHarness::awaitAlert(), QString("设备号不存在!"));
    QVERIFY(h.segues.isEmpty());
    QCOMPARE(h.storyboard->topScreen(), screen);
    QCOMPARE(AccountHarness::setting("devid"), QString("12345678"));
    // The account fields are written from every answer.
    QCOMPARE(AccountHarness::setting("serverusername"), QString(""));
    QCOMPARE(h.lastQuery("/TolvarDevId.php"), QByteArray("devid=12345678&wd=mirt"));
}

void tst_ViewControllerDevID::knownDevicesLeadOn_data()
{
    QTest::addColumn<QString>("devid");
    QTest::addColumn<QString>("segue");
    QTest::addColumn<QString>("username");
    QTest::newRow("with account") << "86000001"
                                  << "GoToLogin"
                                  << "rider01";
    QTest::newRow("without account") << "86000002"
                                     << "GoToRegister"
                                     << "";
}

void tst_ViewControllerDevID::knownDevicesLeadOn()
{
    QFETCH(QString, devid);
    QFETCH(QString, segue);
    QFETCH(QString, username);
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>("ViewControllerDevID");
    screen->TextFieldDevID()->setText(devid);
    tapConnect(screen);
    h.loop.advance(3100);
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{segue});
    QCOMPARE(AccountHarness::setting("serverusername"), username);
    QCOMPARE(AccountHarness::setting("devid"), devid);
    QVERIFY(!AccountHarness::alert());
}

void tst_ViewControllerDevID::networkFailureShowsAnAlert()
{
    AccountHarness h;
    // The HTTP stack retries a dropped GET once; both attempts fail.
    h.sim.addFault(SimFault::of(SimFault::Kind::Drop, "/TolvarDevId.php", 2));
    auto* screen = h.start<ViewControllerDevID>("ViewControllerDevID");
    screen->TextFieldDevID()->setText("86000001");
    tapConnect(screen);
    h.loop.advance(3100);
    QCOMPARE(AccountHarness::awaitAlert(), QString("网络访问出错!"));
    QCOMPARE(h.log.matching("error = ").size(), 1);
    QVERIFY(h.segues.isEmpty());
}

void tst_ViewControllerDevID::returnKeyEndsEditing()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>("ViewControllerDevID");
    screen->TextFieldDevID()->becomeFirstResponder();
    QVERIFY(screen->TextFieldDevID()->isFirstResponder());
    screen->TextFieldDevID()->pressReturn();
    QVERIFY(!screen->TextFieldDevID()->isFirstResponder());
}

QTEST_MAIN(tst_ViewControllerDevID)
#include "tst_ViewControllerDevID.moc"
