#include "AccountHarness.h"

#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/SquareCropView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/account/AuthCode.h"
#include "screens/account/ViewControllerLogin.h"
#include "screens/account/ViewControllerRegister.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

ViewControllerRegister* startRegister(AccountHarness& h, const QString& devid = "86000002")
{
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("devid", devid);
    return h.start<ViewControllerRegister>("ViewControllerRegister");
}

// Asks for a code for the address in the field and waits for the code dialog.
AlertController* requestCode(AccountHarness& h, ViewControllerRegister* screen)
{
    const int answers = int(h.log.matching("htmlstr = ").size());
    screen->VcodeButton()->click();
    h.awaitLog("htmlstr = ", answers + 1);
    QTest::qWait(0);
    return AccountHarness::alert();
}

// Types `typed` into the code dialog and answers the message that follows.
QString answerCode(AlertController* dialog, const QString& typed)
{
    dialog->textFields().first()->setText(typed);
    dialog->pressAction("确定");
    const QString message = AccountHarness::alertMessage();
    AccountHarness::closeAlert();
    return message;
}

// Proves `email` with the code the server mailed to it.
void verify(AccountHarness& h, ViewControllerRegister* screen, const QString& email)
{
    screen->useremail()->setText(email);
    AlertController* dialog = requestCode(h, screen);
    QVERIFY(dialog);
    QCOMPARE(answerCode(dialog, h.sim.lastCodeFor(email)), QString("验证成功!"));
}

void fill(ViewControllerRegister* screen, const QString& username, const QString& pwd,
          const QString& email, const QString& weixin)
{
    screen->username()->setText(username);
    screen->userpwd()->setText(pwd);
    screen->useremail()->setText(email);
    screen->userweixin()->setText(weixin);
}

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 40));
    return image;
}

} // namespace

Q_DECLARE_METATYPE(SimFault)

// Registration: the mailed code and its check, the order of the form's checks, the avatar
// (clip, scaling, upload) and the registration answer.
class tst_ViewControllerRegister : public QObject
{
    Q_OBJECT

private slots:
    void codesComeFromTheAlphabet();
    void codeRequestChecksTheAddress_data();
    void codeRequestChecksTheAddress();
    void codeDialogAndCheck();
    void secondCodeReplacesTheFirst();
    void codeMailAnswers_data();
    void codeMailAnswers();
    void registeringNeedsAVerifiedAddress();
    void verifiedMarkHoldsForTheVerifiedAddressOnly();
    void checksInOrder_data();
    void checksInOrder();
    void successStoresThePasswordForTheLoginScreen();
    void registrationErrorMarkers_data();
    void registrationErrorMarkers();
    void circleClipAndScaling();
    void pickedPictureIsUploaded();
    void avatarDialogOpensTheAlbumAndUploadsTheCrop();
    void uploadAnswerMustBeAWebAddress_data();
    void uploadAnswerMustBeAWebAddress();
    void keyboardOffsetFollowsEditing();
};

void tst_ViewControllerRegister::codesComeFromTheAlphabet()
{
    AccountHarness h;
    auto* screen = startRegister(h);
    QVERIFY(screen->changeString().isEmpty());
    QSet<QString> codes;
    for (int i = 0; i < 200; ++i) {
        screen->getAuthcode();
        const QString code = screen->changeString();
        QCOMPARE(code.size(), AuthCode::Length);
        for (QChar c : code)
            QVERIFY2(screen->changeArray().contains(QString(c)), qPrintable(code));
        codes.insert(code);
    }
    QCOMPARE(screen->changeArray().size(), 36);
    QVERIFY(codes.size() > 190);
}

void tst_ViewControllerRegister::codeRequestChecksTheAddress_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("message");
    QTest::newRow("four characters") << "a@bc"
                                     << "邮箱过短!";
    QTest::newRow("no @") << "abcde"
                          << "邮箱格式错误!";
}

void tst_ViewControllerRegister::codeRequestChecksTheAddress()
{
    QFETCH(QString, email);
    QFETCH(QString, message);
    AccountHarness h;
    auto* screen = startRegister(h);
    screen->useremail()->setText(email);
    screen->VcodeButton()->click();
    QCOMPARE(AccountHarness::alertMessage(), message);
    QCOMPARE(h.sentCount(), 0);
    QVERIFY(screen->changeString().isEmpty());
}

void tst_ViewControllerRegister::codeDialogAndCheck()
{
    AccountHarness h;
    auto* screen = startRegister(h);
    screen->useremail()->setText("neo@x.cn");
    AlertController* dialog = requestCode(h, screen);
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QString("提示"));
    QCOMPARE(dialog->message(), QString("邮件发送成功,请注意查收!"));
    QCOMPARE(dialog->textFields().size(), 1);
    QCOMPARE(dialog->textFields().first()->text(), QString());
    QCOMPARE(dialog->textFields().first()->placeholderText(), QString());
    QCOMPARE(dialog->actionTitles(), QStringList{"确定"});
    // The code travels to the server, which mails it; the phone keeps it for the check.
    const QString code = screen->changeString();
    QCOMPARE(h.sim.lastCodeFor("neo@x.cn"), code);
    QCOMPARE(h.lastQuery("/TolvarSendEmailVCodeIOS.php"),
             ("code=" + code + "&email=neo@x.cn").toUtf8());
    QCOMPARE(h.log.matching("htmlstr = "), QStringList{"htmlstr = ok"});

    // Until the code holds a letter, so that its lower case differs.
    while (screen->changeString().toLower() == screen->changeString()) {
        AccountHarness::closeAlert();
        dialog = requestCode(h, screen);
    }
    const QString current = screen->changeString();
    QCOMPARE(answerCode(dialog, current.toLower()), QString("验证失败!"));
    QVERIFY(!screen->emailVerified());
    dialog = requestCode(h, screen);
    QCOMPARE(answerCode(dialog, screen->changeString()), QString("验证成功!"));
    QVERIFY(screen->emailVerified());
}

void tst_ViewControllerRegister::secondCodeReplacesTheFirst()
{
    AccountHarness h;
    auto* screen = startRegister(h);
    screen->useremail()->setText("neo@x.cn");
    AlertController* dialog = requestCode(h, screen);
    const QString first = screen->changeString();
    // A second request while the dialog is up: its code replaces the first.
    requestCode(h, screen);
    const QString second = screen->changeString();
    QCOMPARE(h.sim.outbox().size(), 2);
    if (first == second)
        QSKIP("the two random codes happen to be equal");
    QCOMPARE(answerCode(dialog, first), QString("验证失败!"));

    dialog = requestCode(h, screen);
    requestCode(h, screen);
    QCOMPARE(answerCode(dialog, screen->changeString()), QString("验证成功!"));
}

void tst_ViewControllerRegister::codeMailAnswers_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QString>("message");
    const QString script = "/TolvarSendEmailVCodeIOS.php";
    QTest::newRow("error:1") << SimFault::raw("error:1", script) << "缺少参数!";
    QTest::newRow("not UTF-8") << SimFault::raw("\xc3\x28", script) << "缺少参数!";
    QTest::newRow("error:2 is success")
        << SimFault::raw("error:2", script) << "邮件发送成功,请注意查收!";
    QTest::newRow("server error") << SimFault::of(SimFault::Kind::ServerError, script)
                                  << "网络访问出错!";
}

void tst_ViewControllerRegister::codeMailAnswers()
{
    QFETCH(SimFault, fault);
    QFETCH(QString, message);
    AccountHarness h;
    h.sim.addFault(fault);
    auto* screen = startRegister(h);
    screen->useremail()->setText("neo@x.cn");
    screen->VcodeButton()->click();
    QCOMPARE(AccountHarness::awaitAlert(), message);
    // The code made for the request stays the current one.
    QCOMPARE(screen->changeString().size(), 4);
}

void tst_ViewControllerRegister::registeringNeedsAVerifiedAddress()
{
    AccountHarness h;
    auto* screen = startRegister(h);
    fill(screen, "neo01", "abcdef", "neo@x.cn", "neowx");
    screen->RegisterButton()->click();
    QCOMPARE(AccountHarness::alertMessage(), QString("邮箱未验证!"));
    AccountHarness::closeAlert();
    // Whatever the fields hold.
    fill(screen, "", "", "", "");
    screen->RegisterButton()->click();
    QCOMPARE(AccountHarness::alertMessage(), QString("邮箱未验证!"));
    QCOMPARE(h.sentCount(), 0);
    QCOMPARE(AccountHarness::setting("localusername"), QString("0"));
}

void tst_ViewControllerRegister::verifiedMarkHoldsForTheVerifiedAddressOnly()
{
    AccountHarness h;
    auto* screen = startRegister(h);
    auto* hint = screen->findChild<QLabel*>("VerifiedHint");
    QCOMPARE(hint->text(), QString("注册前请先验证邮箱"));
    verify(h, screen, "neo@x.cn");
    QCOMPARE(hint->text(), QString("✓ 邮箱已验证"));
    fill(screen, "neo01", "abcdef", "other@x.cn", "neowx");
    QCOMPARE(hint->text(), QString("注册前请先验证邮箱"));
    screen->RegisterButton()->click();
    QCOMPARE(AccountHarness::alertMessage(), QString("邮箱未验证!"));
    AccountHarness::closeAlert();
    QCOMPARE(h.sentCount(), 1);

    // The mark lives for the run, not the screen: a new screen with the same address passes.
    auto* again = startRegister(h);
    fill(again, "neo01", "abcdef", "neo@x.cn", "neowx");
    again->RegisterButton()->click();
    QCOMPARE(h.sentCount(), 2);
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"GoToSet"});
}

void tst_ViewControllerRegister::checksInOrder_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("pwd");
    QTest::addColumn<QString>("weixin");
    QTest::addColumn<QString>("message");
    QTest::newRow("all short") << "abcd"
                               << "abcde"
                               << "abcd"
                               << "用户名过短!";
    QTest::newRow("password and WeChat short") << "abcde"
                                               << "abcde"
                                               << "abcd"
                                               << "密码过短!";
    QTest::newRow("WeChat name of 4") << "abcde"
                                      << "abcdef"
                                      << "abcd"
                                      << "微信号过短!";
    QTest::newRow("WeChat name of 5") << "abcde"
                                      << "abcdef"
                                      << "abcde"
                                      << "";
}

void tst_ViewControllerRegister::checksInOrder()
{
    QFETCH(QString, username);
    QFETCH(QString, pwd);
    QFETCH(QString, weixin);
    QFETCH(QString, message);
    AccountHarness h;
    auto* screen = startRegister(h);
    verify(h, screen, "neo@x.cn");
    fill(screen, username, pwd, "neo@x.cn", weixin);
    screen->RegisterButton()->click();
    if (message.isEmpty()) {
        QCOMPARE(h.sentCount(), 2);
        QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
        return;
    }
    QCOMPARE(AccountHarness::alertMessage(), message);
    QCOMPARE(AlertController::visibleAlerts().size(), 1);
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(AccountHarness::setting("localpwd"), QString("0"));
}

void tst_ViewControllerRegister::successStoresThePasswordForTheLoginScreen()
{
    AccountHarness h;
    auto* screen = startRegister(h);
    verify(h, screen, "neo@x.cn");
    fill(screen, "neo01", "abc&def", "neo@x.cn", "neowx");
    screen->RegisterButton()->click();
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"GoToSet"});
    QCOMPARE(AccountHarness::setting("localusername"), QString("neo01"));
    QCOMPARE(AccountHarness::setting("localpwd"), QString("abc&def"));
    // The registration answer also carries the geofence settings.
    QVERIFY(AccountHarness::setting("weilanradio") != "0");
    QCOMPARE(h.sim.device("86000002").pwd, QString("abc&def"));
    const QString url = h.log.matching("urlString = ").last();
    QVERIFY(url.contains("/TolvarRegisterIOS.php?devid=86000002&username=neo01&pwd=***&email="));
    QVERIFY(!h.log.lines().join('\n').contains("abc&def"));

    auto* login = h.start<ViewControllerLogin>("ViewControllerLogin");
    QVERIFY(login->GouHaoState());
    QCOMPARE(login->TextUserName()->text(), QString("neo01"));
    QCOMPARE(login->TextPwd()->text(), QString("abc&def"));
}

void tst_ViewControllerRegister::registrationErrorMarkers_data()
{
    QTest::addColumn<QString>("devid");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::newRow("account exists") << "86000001" << QByteArray() << "该账号已存在!";
    QTest::newRow("unknown device") << "12345678" << QByteArray() << "设备号不存在!";
    QTest::newRow("error:1") << "86000002" << QByteArray("[{\"registerreturnmsg\":\"error:1\"}]")
                             << "缺少注册参数!";
    QTest::newRow("not JSON") << "86000002" << QByteArray("Fatal error") << "缺少注册参数!";
    QTest::newRow("unexpected") << "86000002" << QByteArray("[{\"registerreturnmsg\":\"wait\"}]")
                                << "";
}

void tst_ViewControllerRegister::registrationErrorMarkers()
{
    QFETCH(QString, devid);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    AccountHarness h;
    if (!body.isEmpty())
        h.sim.addFault(SimFault::raw(body, "/TolvarRegisterIOS.php"));
    auto* screen = startRegister(h, devid);
    verify(h, screen, "neo@x.cn");
    fill(screen, "neo01", "abcdef", "neo@x.cn", "neowx");
    screen->RegisterButton()->click();
    QVERIFY(h.awaitLog("str = "));
    QTest::qWait(0);
    QCOMPARE(AccountHarness::alertMessage(), message);
    QVERIFY(h.segues.isEmpty());
    // Written before the answer was known.
    QCOMPARE(AccountHarness::setting("localpwd"), QString("abcdef"));
    QCOMPARE(AccountHarness::setting("weilanradio"), QString("0"));
}

void tst_ViewControllerRegister::circleClipAndScaling()
{
    const QImage clipped = ViewControllerRegister::circleImage(picture(100, 60), 0.0);
    QCOMPARE(clipped.size(), QSize(100, 60));
    QCOMPARE(qAlpha(clipped.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(clipped.pixel(99, 59)), 0);
    QCOMPARE(QColor(clipped.pixel(50, 30)), QColor(200, 30, 40));
    // The ellipse is inscribed in the rectangle: the middle of each edge is inside.
    QVERIFY(qAlpha(clipped.pixel(50, 2)) > 0);
    QVERIFY(qAlpha(clipped.pixel(2, 30)) > 0);
    const QImage inset = ViewControllerRegister::circleImage(picture(100, 60), 10.0);
    QCOMPARE(qAlpha(inset.pixel(50, 5)), 0);
    QVERIFY(qAlpha(inset.pixel(50, 15)) > 0);

    const QImage scaled = ViewControllerRegister::imageByScalingToSize(clipped);
    QCOMPARE(scaled.size(), QSize(256, 256));
    QCOMPARE(qAlpha(scaled.pixel(0, 0)), 0);
    QCOMPARE(QColor(scaled.pixel(128, 128)), QColor(200, 30, 40));
    // Stretched: the ellipse now touches all four edges of the square.
    QVERIFY(qAlpha(scaled.pixel(128, 3)) > 0);
    QVERIFY(qAlpha(scaled.pixel(3, 128)) > 0);

    Log::Capture log;
    QVERIFY(ViewControllerRegister::imageByScalingToSize(QImage()).isNull());
    QVERIFY(log.contains("could not scale image"));
}

void tst_ViewControllerRegister::pickedPictureIsUploaded()
{
    AccountHarness h;
    h.app.clock.set(QDateTime(QDate(2016, 3, 5), QTime(14, 7, 9)));
    auto* screen = startRegister(h);
    screen->didFinishPickingImage(picture(300, 300));
    QVERIFY(AccountHarness::waitFor([] { return AccountHarness::setting("touxiangpath") != "0"; }));
    const QList<SimRequest> uploads = h.sim.requestsTo("/TolvarUploadPic.php");
    QCOMPARE(uploads.size(), 1);
    QCOMPARE(uploads.first().method, QByteArray("POST"));
    QCOMPARE(uploads.first().query, QByteArray("devid=86000002"));
    QCOMPARE(uploads.first().parts.size(), 1);
    const SimRequest::Part part = uploads.first().parts.first();
    QCOMPARE(part.name, QByteArray("uploadfile"));
    QCOMPARE(part.fileName, QByteArray("ios20160305140709.png"));
    QCOMPARE(part.contentType, QByteArray("image/png"));
    QImage sent;
    QVERIFY(sent.loadFromData(part.data, "PNG"));
    QCOMPARE(sent.size(), QSize(256, 256));
    for (const QPoint corner : {QPoint(0, 0), QPoint(255, 0), QPoint(0, 255), QPoint(255, 255)})
        QCOMPARE(qAlpha(sent.pixel(corner)), 0);
    QCOMPARE(QColor(sent.pixel(128, 128)), QColor(200, 30, 40));
    // The server's answer is the new avatar's address.
    const QString address = AccountHarness::setting("touxiangpath");
    QVERIFY(address.startsWith(h.sim.baseUrl().toString() + "/touxiang/"));
    QCOMPARE(screen->RegisterTouXiang()->image().size(), QSize(256, 256));
    QCOMPARE(h.sentCount(), 0);
}

void tst_ViewControllerRegister::avatarDialogOpensTheAlbumAndUploadsTheCrop()
{
    AccountHarness h;
    auto* screen = startRegister(h);
    screen->RegisterTouXiang()->tapRecognizer()->tap();
    QVERIFY(h.log.contains("点击了头像按钮"));
    AlertController* dialog = AccountHarness::alert();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QString("选择图像"));
    QCOMPARE(dialog->message(), QString("选择一张图片作为您的头像."));
    // No camera on this platform: cancel and the album only.
    QCOMPARE(dialog->actionTitles(), (QStringList{"取消", "从相册选择"}));
    QCOMPARE(dialog->actionStyle(0), AlertController::ActionStyle::Cancel);
    dialog->pressAction("取消");
    QVERIFY(!ImagePickerController::active());

    screen->RegisterTouXiang()->tapRecognizer()->tap();
    AccountHarness::alert()->pressAction("从相册选择");
    ImagePickerController* picker = ImagePickerController::active();
    QVERIFY(picker);
    QCOMPARE(picker->sourceType(), ImagePickerController::SourceType::SavedPhotosAlbum);
    QVERIFY(picker->allowsEditing());
    picker->pick(picture(400, 300));
    QVERIFY(picker->cropView());
    picker->cropView()->confirm();
    QCOMPARE(screen->RegisterTouXiang()->image().size(), QSize(256, 256));
    QVERIFY(AccountHarness::waitFor([] { return AccountHarness::setting("touxiangpath") != "0"; }));
    QCOMPARE(h.sim.requestsTo("/TolvarUploadPic.php").size(), 1);
}

void tst_ViewControllerRegister::uploadAnswerMustBeAWebAddress_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QString>("kept");
    const QString script = "/TolvarUploadPic.php";
    QTest::newRow("error marker") << SimFault::raw("error:1", script) << "http://old/a.png";
    QTest::newRow("relative path")
        << SimFault::raw("/touxiang/a.png", script) << "http://old/a.png";
    QTest::newRow("other scheme") << SimFault::raw("file:///etc/passwd", script)
                                  << "http://old/a.png";
    QTest::newRow("empty") << SimFault::raw("", script) << "http://old/a.png";
    QTest::newRow("server error") << SimFault::of(SimFault::Kind::ServerError, script)
                                  << "http://old/a.png";
    QTest::newRow("https address") << SimFault::raw("https://cdn.example.com/a.png\n", script)
                                   << "https://cdn.example.com/a.png";
}

void tst_ViewControllerRegister::uploadAnswerMustBeAWebAddress()
{
    QFETCH(SimFault, fault);
    QFETCH(QString, kept);
    AccountHarness h;
    h.sim.addFault(fault);
    auto* screen = startRegister(h);
    AccountHarness::setSetting("touxiangpath", "http://old/a.png");
    screen->didFinishPickingImage(picture(64, 64));
    QVERIFY(AccountHarness::waitFor([&] {
        return !h.log.matching("str = ").isEmpty() || !h.log.matching("error = ").isEmpty();
    }));
    QTest::qWait(0);
    QCOMPARE(AccountHarness::setting("touxiangpath"), kept);
    // Upload problems are only logged.
    QVERIFY(!AccountHarness::alert());
}

void tst_ViewControllerRegister::keyboardOffsetFollowsEditing()
{
    AccountHarness h;
    auto* screen = startRegister(h);
    // A closing dialog hands the focus back without starting to edit a field.
    screen->useremail()->setText("neo@x.cn");
    QCOMPARE(answerCode(requestCode(h, screen), "?"), QString("验证失败!"));
    QVERIFY(!TextField::firstResponder());
    QCOMPARE(screen->viewOffsetTarget(), 0.0);

    screen->username()->becomeFirstResponder();
    QCOMPARE(screen->viewOffsetTarget(), -120.0);
    screen->userpwd()->becomeFirstResponder();
    QCOMPARE(screen->viewOffsetTarget(), -120.0);
    screen->userweixin()->becomeFirstResponder();
    screen->finishAnimations();
    QCOMPARE(screen->viewOffset(), -120.0);
    QCOMPARE(screen->y(), -120);
    screen->userweixin()->pressReturn();
    QCOMPARE(screen->viewOffsetTarget(), 0.0);
    screen->finishAnimations();
    QCOMPARE(screen->y(), 0);
}

QTEST_MAIN(tst_ViewControllerRegister)
#include "tst_ViewControllerRegister.moc"
