#include "AccountHarness.h"

#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/SquareCropView.h"
#include "screens/account/ViewControllerRegister.h"

#include <QImage>
#include <QTest>

namespace {

const QString Email = "neo@x.cn";

// Asks for a code for `email` and waits for the dialog that takes it.
AlertController* requestCode(AccountHarness& h, const QObject* screen, const QString& email)
{
    AccountHarness::type(screen, "useremail", email);
    const int answers = h.answered();
    AccountHarness::tap(screen, "VcodeButton");
    h.awaitAnswers(answers + 1);
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
void verify(AccountHarness& h, const QObject* screen, const QString& email)
{
    AlertController* dialog = requestCode(h, screen, email);
    QVERIFY(dialog);
    QCOMPARE(answerCode(dialog, h.sim.lastCodeFor(email)), QString("验证成功!"));
}

void fill(const QObject* screen, const QString& username, const QString& pwd, const QString& email,
          const QString& weixin)
{
    AccountHarness::type(screen, "username", username);
    AccountHarness::type(screen, "userpwd", pwd);
    AccountHarness::type(screen, "useremail", email);
    AccountHarness::type(screen, "userweixin", weixin);
}

} // namespace

// Registration: the mailed code and its check, the order of the form's checks, the avatar
// (clip, scaling, upload) and the registration answer.
class tst_ViewControllerRegister : public QObject
{
    Q_OBJECT

private slots:
    void codeRequests_data();
    void codeRequests();
    void onlyTheLatestCodeVerifies();
    void onlyTheVerifiedAddressRegisters();
    void registering_data();
    void registering();
    void avatarIsPickedClippedAndUploaded();
    void uploadAnswerMustBeAWebAddress_data();
    void uploadAnswerMustBeAWebAddress();
    void keyboardOffsetFollowsEditing();
};

void tst_ViewControllerRegister::onlyTheLatestCodeVerifies()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerRegister>("86000002");
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
    QCOMPARE(AccountHarness::text(screen, "hint"), QString("注册前请先验证邮箱"));
    verify(h, screen, Email);
    QCOMPARE(AccountHarness::text(screen, "hint"), QString("✓ 邮箱已验证"));
}

void tst_ViewControllerRegister::codeRequests_data()
{
    AccountHarness::columns<QString, SimFault, int, QString>("email", "fault", "requests",
                                                             "message");
    const QString script = "/TolvarSendEmailVCodeIOS.php";
    const SimFault answered = SimFault::delay(0, script);
    AccountHarness::row("four characters", "a@bc", answered, 0, "邮箱过短!");
    AccountHarness::row("no @", "abcde", answered, 0, "邮箱格式错误!");
    AccountHarness::row("error:1", Email, SimFault::raw("error:1", script), 1, "缺少参数!");
    AccountHarness::row("error:2 is success", Email, SimFault::raw("error:2", script), 1,
                        "邮件发送成功,请注意查收!");
    AccountHarness::row("server error", Email, SimFault::of(SimFault::Kind::ServerError, script), 1,
                        "网络访问出错!");
}

void tst_ViewControllerRegister::codeRequests()
{
    QFETCH(QString, email);
    QFETCH(SimFault, fault);
    QFETCH(int, requests);
    QFETCH(QString, message);
    AccountHarness h;
    h.sim.addFault(fault);
    auto* screen = h.start<ViewControllerRegister>("86000002");
    AccountHarness::type(screen, "useremail", email);
    AccountHarness::tap(screen, "VcodeButton");
    QCOMPARE(AccountHarness::awaitAlert(), message);
    QCOMPARE(h.sentCount(), requests);
}

void tst_ViewControllerRegister::onlyTheVerifiedAddressRegisters()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerRegister>("86000002");
    // Before any other check, whatever the fields hold.
    AccountHarness::tap(screen, "RegisterButton");
    QCOMPARE(AccountHarness::alertMessage(), QString("邮箱未验证!"));
    AccountHarness::closeAlert();
    verify(h, screen, Email);
    fill(screen, "neo01", "abcdef", "other@x.cn", "neowx");
    QCOMPARE(AccountHarness::text(screen, "hint"), QString("注册前请先验证邮箱"));
    AccountHarness::tap(screen, "RegisterButton");
    QCOMPARE(AccountHarness::alertMessage(), QString("邮箱未验证!"));
    AccountHarness::closeAlert();
    QCOMPARE(h.sentCount(), 1);
    QCOMPARE(AccountHarness::setting("localusername"), QString("0"));

    // The mark lives for the run, not the screen: a new screen with the same address passes.
    auto* again = h.start<ViewControllerRegister>("86000002");
    fill(again, "neo01", "abcdef", Email, "neowx");
    AccountHarness::tap(again, "RegisterButton");
    QVERIFY(AccountHarness::waitFor([&] { return !h.segues.isEmpty(); }));
    QCOMPARE(h.segues, QStringList{"GoToSet"});
}

void tst_ViewControllerRegister::registering_data()
{
    AccountHarness::columns<QString, QString, QString, QString, SimFault, int, QString>(
        "devid", "username", "pwd", "weixin", "fault", "requests", "message");
    const QString script = "/TolvarRegisterIOS.php";
    const SimFault answered = SimFault::delay(0, script);
    const auto marked = [&](const char* marker) {
        return SimFault::raw(QByteArray("[{\"registerreturnmsg\":\"") + marker + "\"}]", script);
    };
    // The first failing check speaks, and nothing is stored or sent.
    AccountHarness::row("all short", "86000002", "abcd", "abcde", "abcd", answered, 0,
                        "用户名过短!");
    AccountHarness::row("password and WeChat short", "86000002", "abcde", "abcde", "abcd", answered,
                        0, "密码过短!");
    AccountHarness::row("WeChat name of 4", "86000002", "abcde", "abcdef", "abcd", answered, 0,
                        "微信号过短!");
    AccountHarness::row("account exists", "86000001", "neo01", "abcdef", "neowx", answered, 1,
                        "该账号已存在!");
    AccountHarness::row("unknown device", "12345678", "neo01", "abcdef", "neowx", answered, 1,
                        "设备号不存在!");
    AccountHarness::row("error:1", "86000002", "neo01", "abcdef", "neowx", marked("error:1"), 1,
                        "缺少注册参数!");
    AccountHarness::row("unexpected", "86000002", "neo01", "abcdef", "neowx", marked("wait"), 1,
                        "");
    AccountHarness::row("server error", "86000002", "neo01", "abcdef", "neowx",
                        SimFault::of(SimFault::Kind::ServerError, script), 1, "网络访问出错!");
}

void tst_ViewControllerRegister::registering()
{
    QFETCH(QString, devid);
    QFETCH(QString, username);
    QFETCH(QString, pwd);
    QFETCH(QString, weixin);
    QFETCH(SimFault, fault);
    QFETCH(int, requests);
    QFETCH(QString, message);
    AccountHarness h;
    h.sim.addFault(fault);
    auto* screen = h.start<ViewControllerRegister>(devid);
    verify(h, screen, Email);
    fill(screen, username, pwd, Email, weixin);
    AccountHarness::tap(screen, "RegisterButton");
    // The code request before it is one answer already.
    QVERIFY(h.awaitAnswers(1 + requests));
    QCOMPARE(AccountHarness::alertMessage(), message);
    QCOMPARE(h.sentCount(), 1 + requests);
    QVERIFY(h.segues.isEmpty());
    // Written before the answer was known; an error answer stores no status.
    QCOMPARE(AccountHarness::setting("localpwd"), requests ? pwd : QString("0"));
    QCOMPARE(AccountHarness::setting("weilanradio"), QString("0"));
}

void tst_ViewControllerRegister::avatarIsPickedClippedAndUploaded()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerRegister>("86000002");
    AccountHarness::tap(screen, "RegisterTouXiang");
    AlertController* dialog = AccountHarness::alert();
    QVERIFY(dialog);
    QCOMPARE(dialog->title(), QString("选择图像"));
    QCOMPARE(dialog->message(), QString("选择一张图片作为您的头像."));
    // No camera on this platform: cancel and the album only.
    QCOMPARE(dialog->actionTitles(), (QStringList{"取消", "从相册选择"}));
    dialog->pressAction("取消");
    QVERIFY(!ImagePickerController::active());

    AccountHarness::tap(screen, "RegisterTouXiang");
    AccountHarness::alert()->pressAction("从相册选择");
    ImagePickerController* picker = ImagePickerController::active();
    QVERIFY(picker);
    QCOMPARE(picker->sourceType(), ImagePickerController::SourceType::SavedPhotosAlbum);
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(QColor(200, 30, 40));
    picker->pick(photo);
    QVERIFY(picker->cropView());
    picker->cropView()->confirm();
    QCOMPARE(child<ImageView>(screen, "RegisterTouXiang")->image().size(), QSize(256, 256));
    QVERIFY(AccountHarness::waitFor([] { return AccountHarness::setting("touxiangpath") != "0"; }));
    // The server's answer is the new avatar's address.
    QVERIFY(AccountHarness::setting("touxiangpath")
                .startsWith(h.sim.baseUrl().toString() + "/touxiang/"));
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
    QVERIFY(qAlpha(sent.pixel(128, 3)) > 0);
    QVERIFY(qAlpha(sent.pixel(3, 128)) > 0);
    QVERIFY(ViewControllerRegister::imageByScalingToSize(QImage()).isNull());
}

void tst_ViewControllerRegister::uploadAnswerMustBeAWebAddress_data()
{
    AccountHarness::columns<QString, QString>("answer", "stored");
    const QString old = "http://old/a.png";
    AccountHarness::row("error marker", "error:1", old);
    AccountHarness::row("other scheme", "ftp://cdn.example.com/a.png", old);
    AccountHarness::row("no host", "http:///a.png", old);
    AccountHarness::row("no text", QString(), old);
    AccountHarness::row("https address", "https://cdn.example.com/a.png\n",
                        "https://cdn.example.com/a.png");
}

void tst_ViewControllerRegister::uploadAnswerMustBeAWebAddress()
{
    QFETCH(QString, answer);
    QFETCH(QString, stored);
    TestApp app;
    MyUtil::InitMyDateBase();
    AccountHarness::setSetting("touxiangpath", "http://old/a.png");
    ViewControllerRegister::storeUploadAnswer(answer.isNull() ? std::nullopt
                                                              : std::optional<QString>(answer));
    QCOMPARE(AccountHarness::setting("touxiangpath"), stored);
}

void tst_ViewControllerRegister::keyboardOffsetFollowsEditing()
{
    AccountHarness h;
    auto* screen = h.start<ViewControllerRegister>("86000002");
    // A closing dialog hands the focus back without starting to edit a field.
    QCOMPARE(answerCode(requestCode(h, screen, Email), "?"), QString("验证失败!"));
    QVERIFY(!TextField::firstResponder());

    // From one field to the next the screen stays up.
    child<TextField>(screen, "username")->becomeFirstResponder();
    child<TextField>(screen, "userpwd")->becomeFirstResponder();
    auto* weixin = child<TextField>(screen, "userweixin");
    weixin->becomeFirstResponder();
    screen->finishAnimations();
    QCOMPARE(screen->y(), -120);
    weixin->pressReturn();
    screen->finishAnimations();
    QCOMPARE(screen->y(), 0);
}

QTEST_MAIN(tst_ViewControllerRegister)
#include "tst_ViewControllerRegister.moc"
