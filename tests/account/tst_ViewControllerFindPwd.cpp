#include "AccountHarness.h"

#include "screens/account/AuthCode.h"
#include "screens/account/ViewControllerFindPwd.h"
#include "screens/account/ViewControllerLogin.h"

#include <QTest>

namespace {

QString shownCode(const QObject* screen)
{
    return AccountHarness::text(screen, "MyCustomCOde");
}

// The code as typed: "code" is the shown one, "lower" its lower case, "longer" it and one
// more character, "shorter" its first three; anything else is typed as it stands.
QString typedCode(const QString& kind, const QString& code)
{
    const QHash<QString, QString> typed = {{"code", code},
                                           {"lower", code.toLower()},
                                           {"longer", code + "X"},
                                           {"shorter", code.left(3)}};
    return typed.value(kind, kind);
}

} // namespace

// Password recovery: the on-screen code, the checks, the recovery mail and its markers.
class tst_ViewControllerFindPwd : public QObject
{
    Q_OBJECT

private slots:
    void codesAreDrawnFromDigitsAndCapitals();
    void codeIsShownAndRefreshed();
    void sending_data();
    void sending();
};

void tst_ViewControllerFindPwd::codesAreDrawnFromDigitsAndCapitals()
{
    const QString expected = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QCOMPARE(AuthCode::alphabet().join(QString()), expected);
    QRandomGenerator seeded(7);
    QSet<QChar> seen;
    for (int i = 0; i < 500; ++i) {
        const QString code = AuthCode::make(&seeded);
        QCOMPARE(code.size(), 4);
        seen.unite(QSet<QChar>(code.begin(), code.end()));
    }
    // 2000 uniform draws reach every one of the 36 characters, and nothing else.
    QCOMPARE(seen, QSet<QChar>(expected.begin(), expected.end()));
}

void tst_ViewControllerFindPwd::codeIsShownAndRefreshed()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerFindPwd>("86000001");
    for (const char* control : {"RefreshButton", "MyCustomCOde"}) {
        const QString before = shownCode(screen);
        AccountHarness::tap(screen, control);
        // 36^4 codes make a repeat very unlikely twice in a row.
        if (shownCode(screen) == before)
            AccountHarness::tap(screen, control);
        QVERIFY(shownCode(screen) != before);
    }
}

void tst_ViewControllerFindPwd::sending_data()
{
    AccountHarness::columns<QString, QString, QString, SimFault, QString>("devid", "email", "typed",
                                                                          "fault", "message");
    const QString script = "/TolvarSendEmailIOS.php";
    const SimFault answered = SimFault::delay(0, script);
    const QString rider = "rider01@example.com";
    // The address is checked first, then the code; only then does a request go out.
    AccountHarness::row("address of four", "86000001", "a@bc", "????", answered, "邮箱过短!");
    AccountHarness::row("no @", "86000001", "abcde", "????", answered, "邮箱格式错误!");
    AccountHarness::row("lower case", "86000001", rider, "lower", answered, "验证码错误!");
    AccountHarness::row("longer", "86000001", rider, "longer", answered, "验证码错误!");
    AccountHarness::row("shorter", "86000001", rider, "shorter", answered, "验证码错误!");
    AccountHarness::row("empty", "86000001", rider, "", answered, "验证码错误!");
    AccountHarness::row("another address", "86000001", "a@b.c", "code", answered,
                        "请输入注册时的邮箱!");
    AccountHarness::row("unknown device", "12345678", rider, "code", answered, "设备号不存在!");
    AccountHarness::row("error:1", "86000001", rider, "code", SimFault::raw("error:1", script),
                        "缺少找回密码参数!");
    AccountHarness::row("server error", "86000001", rider, "code",
                        SimFault::of(SimFault::Kind::ServerError, script), "网络访问出错!");
    AccountHarness::row("sent", "86000001", rider, "code", answered, "邮件发送成功,请注意查收!");
}

void tst_ViewControllerFindPwd::sending()
{
    QFETCH(QString, devid);
    QFETCH(QString, email);
    QFETCH(QString, typed);
    QFETCH(SimFault, fault);
    QFETCH(QString, message);
    AccountHarness h;
    h.sim.addFault(fault);
    // Recovery opens over the login screen, as the rider reaches it.
    AccountHarness::tap(h.start<ViewControllerLogin>(devid), "FindPwdButton");
    Screen* screen = h.storyboard->topScreen();
    // A code with at least one letter, so that its lower case differs.
    while (shownCode(screen).toLower() == shownCode(screen))
        AccountHarness::tap(screen, "RefreshButton");
    const QString code = shownCode(screen);
    AccountHarness::type(screen, "TextEmail", email);
    AccountHarness::type(screen, "TextCode", typedCode(typed, code));
    AccountHarness::tap(screen, "SendButton");
    QCOMPARE(AccountHarness::awaitAlert(), message);
    const QString query = typed == "code" ? "devid=" + devid + "&email=" + email : QString();
    QCOMPARE(h.lastQuery("/TolvarSendEmailIOS.php"), query.toUtf8());
    QCOMPARE(shownCode(screen), code);
    // Only the mail that went out leads back to the login screen.
    AccountHarness::closeAlert();
    const bool sent = message == "邮件发送成功,请注意查收!";
    QCOMPARE(h.sim.outbox().size(), sent ? 1 : 0);
    QCOMPARE(h.storyboard->topScreen()->identifier(),
             QString(sent ? "ViewControllerLogin" : "ViewControllerFindPwd"));
}

QTEST_MAIN(tst_ViewControllerFindPwd)
#include "tst_ViewControllerFindPwd.moc"
