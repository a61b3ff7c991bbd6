#include "AccountHarness.h"

#include "platform/ui/Images.h"
#include "screens/account/RoundView.h"
#include "screens/account/ViewControllerDevID.h"

#include <QTest>

// Device binding: the connecting pulse, the device query and its alerts.
class tst_ViewControllerDevID : public QObject
{
    Q_OBJECT

private slots:
    void loadShowsIconAndStoredNumber();
    void shortNumberIsRefusedAndTheNextTapQueriesAtOnce();
    void pulseRunsOnceWhateverTheTaps();
    void answersLeadOn_data();
    void answersLeadOn();
};

void tst_ViewControllerDevID::loadShowsIconAndStoredNumber()
{
    AccountHarness h;
    auto* field = child<TextField>(h.start<ViewControllerDevID>(), "TextFieldDevID");
    QCOMPARE(field->text(), QString());
    QVERIFY(!field->leftImage().isNull());
    QCOMPARE(field->leftImage(), Images::named("logo_id.png"));
    field->becomeFirstResponder();
    field->pressReturn();
    QVERIFY(!field->isFirstResponder());

    auto* bound = h.start<ViewControllerDevID>("86000001");
    QCOMPARE(AccountHarness::text(bound, "TextFieldDevID"), QString("86000001"));
}

void tst_ViewControllerDevID::shortNumberIsRefusedAndTheNextTapQueriesAtOnce()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>();
    AccountHarness::type(screen, "TextFieldDevID", "8");
    AccountHarness::tap(screen, "Connect");
    QCOMPARE(AccountHarness::text(screen, "Label1"), QString("正在"));
    // Only after the pulse is the number stored and checked.
    QCOMPARE(AccountHarness::setting("devid"), QString("0"));
    h.loop.advance(3100);
    QCOMPARE(AccountHarness::alertMessage(), QString("设备号过短"));
    QCOMPARE(AccountHarness::setting("devid"), QString("8"));
    QCOMPARE(h.sentCount(), 0);
    AccountHarness::closeAlert();

    // The pulse has run its course already: the next tap queries on its first tick.
    AccountHarness::setSetting("serverusername", "old");
    AccountHarness::type(screen, "TextFieldDevID", "12345678");
    AccountHarness::tap(screen, "Connect");
    h.loop.advance(100);
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(AccountHarness::awaitAlert(), QString("设备号不存在!"));
    QCOMPARE(h.storyboard->topScreen(), screen);
    QCOMPARE(h.lastQuery("/TolvarDevId.php"), QByteArray("devid=12345678&wd=mirt"));
    // The account fields are written from every answer.
    QCOMPARE(AccountHarness::setting("serverusername"), QString(""));
}

void tst_ViewControllerDevID::pulseRunsOnceWhateverTheTaps()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerDevID>();
    auto* halo = child<RoundView>(screen, "ConnectBj");
    QCOMPARE(halo->alpha(), 0.3);
    AccountHarness::type(screen, "TextFieldDevID", "12345678");
    AccountHarness::tap(screen, "Connect");
    QList<double> alphas;
    for (int tick = 0; tick < 30; ++tick) {
        // Taps while connecting restart the ticking; they add no second animation.
        if (tick == 10) {
            AccountHarness::tap(screen, "Connect");
            AccountHarness::tap(screen, "Connect");
        }
        h.loop.advance(100);
        alphas.append(halo->alpha());
    }
    QVERIFY(qAbs(alphas.first() - 0.38) < 1e-9);
    const auto [low, high] = std::minmax_element(alphas.begin(), alphas.end());
    QCOMPARE(*high, 1.0);
    QVERIFY(*low >= 0.27 && *low <= 0.31);
    QCOMPARE(h.sentCount(), 0);
    h.loop.advance(100);
    QCOMPARE(h.sentCount(), 1);
    h.loop.advance(10000);
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(h.loop.armedCount(), 0);
}

void tst_ViewControllerDevID::answersLeadOn_data()
{
    AccountHarness::columns<QString, SimFault, QString, QString>("devid", "fault", "segue",
                                                                 "username");
    const QString script = "/TolvarDevId.php";
    const SimFault answered = SimFault::delay(0, script);
    AccountHarness::row("with account", "86000001", answered, "GoToLogin", "rider01");
    AccountHarness::row("without account", "86000002", answered, "GoToRegister", "");
    // The HTTP stack retries a dropped GET once; both attempts fail.
    AccountHarness::row("dropped", "86000001", SimFault::of(SimFault::Kind::Drop, script, 2), "",
                        "0");
}

void tst_ViewControllerDevID::answersLeadOn()
{
    QFETCH(QString, devid);
    QFETCH(SimFault, fault);
    QFETCH(QString, segue);
    QFETCH(QString, username);
    AccountHarness h;
    h.sim.addFault(fault);
    auto* screen = h.start<ViewControllerDevID>();
    AccountHarness::type(screen, "TextFieldDevID", devid);
    AccountHarness::tap(screen, "Connect");
    h.loop.advance(3100);
    QVERIFY(h.awaitAnswers());
    QCOMPARE(h.segues, segue.isEmpty() ? QStringList() : QStringList{segue});
    QCOMPARE(AccountHarness::alertMessage(), segue.isEmpty() ? "网络访问出错!" : QString());
    QCOMPARE(AccountHarness::setting("serverusername"), username);
    QCOMPARE(AccountHarness::setting("devid"), devid);
}

QTEST_MAIN(tst_ViewControllerDevID)
#include "tst_ViewControllerDevID.moc"
