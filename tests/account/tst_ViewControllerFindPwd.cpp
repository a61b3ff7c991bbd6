#include "AccountHarness.h"

#include "screens/account/AuthCode.h"
#include "screens/account/ViewControllerFindPwd.h"
#include "screens/account/ViewControllerLogin.h"

#include <QLabel>
#include <QTest>

namespace {

// Recovery shown over the login screen of the seeded device, as the rider reaches it.
ViewControllerFindPwd* openRecovery(AccountHarness& h, const QString& devid = "86000001")
{
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("devid", devid);
    auto* login = h.start<ViewControllerLogin>("ViewControllerLogin");
    login->FindPwdButton()->click();
    h.segues.clear();
    return h.top<ViewControllerFindPwd>();
}

void fill(ViewControllerFindPwd* screen, const QString& email, const QString& code)
{
    screen->TextEmail()->setText(email);
    screen->TextCode()->setText(code);
}

// A code in which lower case differs from the code (at least one letter).
QString codeWithALetter(ViewControllerFindPwd* screen)
{
    while (screen->changeString().toLower() == screen->changeString())
        screen->RefshCode();
    return screen->changeString();
}

} // namespace

// Password recovery: the on-screen code, the checks, the recovery mail and its markers.
class tst_ViewControllerFindPwd : public QObject
{
    Q_OBJECT

private slots:
    void codeIsShownAndRefreshed();
    void codeAlphabetAndDraws();
    void codeCheck_data();
    void codeCheck();
    void emailChecks_data();
    void emailChecks();
    void answerMarkers_data();
    void answerMarkers();
    void sentMailLeadsBackToLogin();
    void networkFailureShowsAnAlert();
};

void tst_ViewControllerFindPwd::codeIsShownAndRefreshed()
{
    AccountHarness h;
    auto* screen = openRecovery(h);
    QVERIFY(screen);
    const QString first = screen->changeString();
    QCOMPARE(screen->MyCustomCOde()->text(), first);
    QCOMPARE(first.size(), 4);
    QVERIFY(h.log.contains("touxiangpath = 0"));
    // Refreshing makes a new code; 36^4 codes make a repeat very unlikely twice in a row.
    screen->RefshCode();
    if (screen->changeString() == first)
        screen->RefshCode();
    QVERIFY(screen->changeString() != first);
    QCOMPARE(screen->MyCustomCOde()->text(), screen->changeString());
}

void tst_ViewControllerFindPwd::codeAlphabetAndDraws()
{
    QStringList expected;
    for (const char c : QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"))
        expected << QString(QLatin1Char(c));
    QCOMPARE(AuthCode::alphabet(), expected);
    QRandomGenerator seeded(7);
    QSet<QChar> seen;
    for (int i = 0; i < 500; ++i) {
        const QString code = AuthCode::make(&seeded);
        QCOMPARE(code.size(), 4);
        for (QChar c : code) {
            QVERIFY2(expected.contains(QString(c)), qPrintable(code));
            seen.insert(c);
        }
    }
    // 2000 uniform draws reach every one of the 36 characters.
    QCOMPARE(seen.size(), 36);
}

void tst_ViewControllerFindPwd::codeCheck_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("passes");
    QTest::newRow("exact") << "exact" << true;
    QTest::newRow("lower case") << "lower" << false;
    QTest::newRow("five characters containing it") << "longer" << false;
    QTest::newRow("three characters") << "shorter" << false;
    QTest::newRow("empty") << "empty" << false;
}

void tst_ViewControllerFindPwd::codeCheck()
{
    QFETCH(QString, kind);
    QFETCH(bool, passes);
    AccountHarness h;
    auto* screen = openRecovery(h);
    const QString code = codeWithALetter(screen);
    const QString typed = kind == "exact"     ? code
                          : kind == "lower"   ? code.toLower()
                          : kind == "longer"  ? code + "X"
                          : kind == "shorter" ? code.left(3)
                                              : QString();
    fill(screen, "rider01@example.com", typed);
    screen->SendButton()->click();
    if (passes) {
        QCOMPARE(h.sentCount(), 1);
        QVERIFY(AccountHarness::awaitAlert() != "验证码错误!");
        return;
    }
    QCOMPARE(AccountHarness::alertMessage(), QString("验证码错误!"));
    QCOMPARE(h.sentCount(), 0);
    // A failure does not renew the code.
    QCOMPARE(screen->changeString(), code);
}

void tst_ViewControllerFindPwd::emailChecks_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("message");
    QTest::newRow("four with @") << "a@bc"
                                 << "邮箱过短!";
    QTest::newRow("four without @") << "abcd"
                                    << "邮箱过短!";
    QTest::newRow("five without @") << "abcde"
                                    << "邮箱格式错误!";
    QTest::newRow("five with @") << "a@b.c"
                                 << "";
}

void tst_ViewControllerFindPwd::emailChecks()
{
    QFETCH(QString, email);
    QFETCH(QString, message);
    AccountHarness h;
    auto* screen = openRecovery(h);
    // The code is checked after the address: a wrong code shows the address's message first.
    fill(screen, email, message.isEmpty() ? screen->changeString() : QString("????"));
    screen->SendButton()->click();
    if (message.isEmpty()) {
        QCOMPARE(h.sentCount(), 1);
        QCOMPARE(AccountHarness::awaitAlert(), QString("请输入注册时的邮箱!"));
        return;
    }
    QCOMPARE(AccountHarness::alertMessage(), message);
    QCOMPARE(h.sentCount(), 0);
}

void tst_ViewControllerFindPwd::answerMarkers_data()
{
    QTest::addColumn<QString>("devid");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::newRow("not the registered address")
        << "86000001"
        << "other@example.com" << QByteArray() << "请输入注册时的邮箱!";
    QTest::newRow("unknown device") << "12345678"
                                    << "rider01@example.com" << QByteArray() << "设备号不存在!";
    QTest::newRow("error:1") << "86000001"
                             << "rider01@example.com" << QByteArray("error:1")
                             << "缺少找回密码参数!";
    QTest::newRow("error:1 before error:3")
        << "86000001"
        << "rider01@example.com" << QByteArray("error:3 error:1") << "缺少找回密码参数!";
    QTest::newRow("not UTF-8") << "86000001"
                               << "rider01@example.com" << QByteArray("\xff\xfe\x80")
                               << "缺少找回密码参数!";
    QTest::newRow("anything else")
        << "86000001"
        << "rider01@example.com" << QByteArray("<html>queued</html>") << "邮件发送成功,请注意查收!";
}

void tst_ViewControllerFindPwd::answerMarkers()
{
    QFETCH(QString, devid);
    QFETCH(QString, email);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    AccountHarness h;
    if (!body.isEmpty())
        h.sim.addFault(SimFault::raw(body, "/TolvarSendEmailIOS.php"));
    auto* screen = openRecovery(h, devid);
    fill(screen, email, screen->changeString());
    screen->SendButton()->click();
    QCOMPARE(AccountHarness::awaitAlert(), message);
    QCOMPARE(h.log.matching("htmlstr = ").size(), 1);
    QCOMPARE(h.storyboard->topScreen(), screen);
    QVERIFY(h.segues.isEmpty());
}

void tst_ViewControllerFindPwd::sentMailLeadsBackToLogin()
{
    AccountHarness h;
    auto* screen = openRecovery(h);
    fill(screen, "rider01@example.com", screen->changeString());
    screen->SendButton()->click();
    QCOMPARE(AccountHarness::awaitAlert(), QString("邮件发送成功,请注意查收!"));
    QCOMPARE(h.lastQuery("/TolvarSendEmailIOS.php"),
             QByteArray("devid=86000001&email=rider01@example.com"));
    QCOMPARE(h.log.matching("htmlstr = "), QStringList{"htmlstr = ok"});
    QCOMPARE(h.sim.outbox().size(), 1);
    QCOMPARE(h.sim.outbox().first().to, QString("rider01@example.com"));
    AlertController* dialog = AccountHarness::alert();
    QCOMPARE(dialog->title(), QString("提示"));
    QCOMPARE(dialog->actionTitles(), QStringList{"确定"});
    QVERIFY(h.segues.isEmpty());
    dialog->pressAction("确定");
    QCOMPARE(h.segues, QStringList{"ReturnToLogin"});
    QCOMPARE(h.storyboard->topScreen()->identifier(), QString("ViewControllerLogin"));
}

void tst_ViewControllerFindPwd::networkFailureShowsAnAlert()
{
    AccountHarness h;
    h.sim.addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarSendEmailIOS.php"));
    auto* screen = openRecovery(h);
    fill(screen, "rider01@example.com", screen->changeString());
    screen->SendButton()->click();
    QCOMPARE(AccountHarness::awaitAlert(), QString("网络访问出错!"));
    QCOMPARE(h.log.matching("error = ").size(), 1);
    QVERIFY(h.segues.isEmpty());
}

QTEST_MAIN(tst_ViewControllerFindPwd)
#include "tst_ViewControllerFindPwd.moc"
