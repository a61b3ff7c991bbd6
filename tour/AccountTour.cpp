#include "tour/AccountTour.h"

#include "platform/Localized.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/SquareCropView.h"
#include "platform/ui/Window.h"
#include "store/MyBasicInfo.h"
#include "tour/SimulatorControl.h"
#include "tour/Tour.h"

#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <memory>

namespace AccountTour {

namespace {

// The device that has no account in a fresh simulator, and the seeded one with an account.
const QString FreeDevice = QStringLiteral("86000002");
const QString SeededDevice = QStringLiteral("86000001");

// What the first start learns on its way: the device to register and the mailed code.
struct FirstStart
{
    QString devid;
    QString code;
    bool deviceChosen = false;
    bool codeRead = false;
    QString username() const { return QStringLiteral("lvyou") + devid.right(4); }
    QString email() const { return username() + QStringLiteral("@example.com"); }
};

bool on(Tour& tour, const char* identifier)
{
    return tour.topIdentifier() == QLatin1String(identifier);
}

// Alerts show their texts in the language of the run.
bool alertShows(const QString& message)
{
    AlertController* alert = AlertController::topAlert();
    return alert && alert->message() == Localized::string(message);
}

bool press(Tour& tour, const QString& button)
{
    return tour.pressAlert(Localized::string(button));
}

// 86000002 while it has no account; a simulator kept from an earlier run gets a new device.
void chooseDevice(std::shared_ptr<FirstStart> state)
{
    SimulatorControl::read(
        QStringLiteral("/TolvarDevId.php?devid=%1&wd=mirt").arg(FreeDevice),
        [state](const QJsonDocument& answer) {
            const QJsonObject record = answer.array().at(0).toObject();
            if (record.value(QStringLiteral("username")).toString().isEmpty()) {
                state->devid = FreeDevice;
                state->deviceChosen = true;
                return;
            }
            state->devid = QStringLiteral("86") + QTime::currentTime().toString("HHmmss");
            SimulatorControl::change(QStringLiteral("/_sim/device?devid=%1").arg(state->devid),
                                     [state](const QJsonDocument&) { state->deviceChosen = true; });
        });
}

void readCode(std::shared_ptr<FirstStart> state)
{
    SimulatorControl::read(QStringLiteral("/_sim/outbox"), [state](const QJsonDocument& answer) {
        for (const QJsonValue& mail : answer.array()) {
            const QJsonObject object = mail.toObject();
            if (object.value(QStringLiteral("to")).toString() == state->email())
                state->code = object.value(QStringLiteral("code")).toString();
        }
        state->codeRead = true;
    });
}

// A holiday snapshot to use as the avatar: evening sky, sun and hills.
QImage snapshotPicture()
{
    QImage image(480, 360, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 360);
    sky.setColorAt(0, QColor(255, 170, 95));
    sky.setColorAt(1, QColor(236, 92, 120));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 236, 170));
    painter.drawEllipse(QPointF(250, 170), 62, 62);
    QPainterPath far;
    far.moveTo(0, 250);
    far.cubicTo(120, 170, 260, 300, 480, 210);
    far.lineTo(480, 360);
    far.lineTo(0, 360);
    painter.fillPath(far, QColor(32, 150, 136));
    QPainterPath near;
    near.moveTo(0, 320);
    near.cubicTo(160, 250, 300, 340, 480, 280);
    near.lineTo(480, 360);
    near.lineTo(0, 360);
    painter.fillPath(near, QColor(14, 96, 90));
    return image;
}

void closeFileDialogs(Tour& tour)
{
    for (QFileDialog* dialog : tour.window()->findChildren<QFileDialog*>()) {
        dialog->blockSignals(true);
        dialog->close();
    }
}

void addBinding(Tour& tour, std::function<QString()> devid, const char* next, bool pulse)
{
    tour.add({QStringLiteral("typed"),
              [devid](Tour& t) {
                  t.ensure("ViewControllerDevID", "GoToDevID");
                  t.type("TextFieldDevID", devid());
              },
              {},
              0,
              300,
              true});
    if (!pulse) {
        tour.add({QString(), [](Tour& t) { t.tap("Connect"); },
                  [next](Tour& t) { return on(t, next); }, 9000, 600, true});
        return;
    }
    // A second into the pulse of about three seconds, then where the answer leads.
    tour.add({QStringLiteral("connecting"), [](Tour& t) { t.tap("Connect"); }, {}, 0, 1200, true});
    tour.shootWhen(
        QString(), [next](Tour& t) { return on(t, next); }, 9000, 600);
}

void addRegistration(Tour& tour, std::shared_ptr<FirstStart> state)
{
    tour.add({QStringLiteral("not-verified"), [](Tour& t) { t.tap("RegisterButton"); },
              [](Tour&) { return alertShows(QStringLiteral("邮箱未验证!")); }, 1500, 300, true});
    tour.add({QStringLiteral("filled"),
              [state](Tour& t) {
                  press(t, QStringLiteral("确定"));
                  t.type("username", state->username());
                  t.type("userpwd", QStringLiteral("ride2016"));
                  t.type("useremail", state->email());
                  // The start of a long address, as after typing and leaving the field.
                  if (auto* email = qobject_cast<QLineEdit*>(t.find(QStringLiteral("useremail"))))
                      email->setCursorPosition(0);
                  t.type("userweixin", QStringLiteral("lvyou_wx"));
              },
              {},
              0,
              300,
              true});
    tour.add({QStringLiteral("code-sent"), [](Tour& t) { t.tap("VcodeButton"); },
              [](Tour&) {
                  AlertController* alert = AlertController::topAlert();
                  return alert && !alert->textFields().isEmpty();
              },
              6000, 300, true});
    tour.add({QStringLiteral("code-typed"), [state](Tour&) { readCode(state); },
              [state](Tour&) {
                  AlertController* alert = AlertController::topAlert();
                  if (!state->codeRead || !alert || alert->textFields().isEmpty())
                      return false;
                  alert->textFields().first()->setText(state->code);
                  return true;
              },
              6000, 300, true});
    tour.add({QStringLiteral("verified"), [](Tour& t) { press(t, QStringLiteral("确定")); },
              [](Tour&) { return AlertController::topAlert() != nullptr; }, 1500, 300, true});
}

void addAvatar(Tour& tour)
{
    tour.add({QStringLiteral("avatar-choice"),
              [](Tour& t) {
                  press(t, QStringLiteral("确定"));
                  t.tap("RegisterTouXiang");
              },
              [](Tour&) { return AlertController::topAlert() != nullptr; }, 1500, 300, true});
    tour.add({QStringLiteral("crop"),
              [](Tour& t) {
                  press(t, QStringLiteral("从相册选择"));
                  if (ImagePickerController* picker = ImagePickerController::active())
                      picker->pick(snapshotPicture());
              },
              {},
              0,
              400,
              true});
    tour.add({QStringLiteral("avatar"),
              [](Tour& t) {
                  ImagePickerController* picker = ImagePickerController::active();
                  if (picker && picker->cropView())
                      picker->cropView()->confirm();
                  closeFileDialogs(t);
              },
              [](Tour&) {
                  return MyBasicInfo::GetValue(QStringLiteral("touxiangpath"))
                      .startsWith(QLatin1String("http"));
              },
              6000, 300, true});
    tour.add({QString(), [](Tour& t) { t.tap("RegisterButton"); },
              [](Tour& t) { return on(t, "ViewControllerSet"); }, 8000, 0, false});
}

void addRecovery(Tour& tour)
{
    tour.add({QString(), [](Tour& t) { t.tap("FindPwdButton"); },
              [](Tour& t) { return on(t, "ViewControllerFindPwd"); }, 2000, 300, true});
    tour.add({QStringLiteral("wrong-code"),
              [](Tour& t) {
                  t.type("TextEmail", QStringLiteral("rider01@example.com"));
                  t.type("TextCode", QStringLiteral("0000"));
                  t.tap("SendButton");
              },
              [](Tour&) { return alertShows(QStringLiteral("验证码错误!")); }, 1500, 300, true});
    tour.add({QStringLiteral("filled"),
              [](Tour& t) {
                  press(t, QStringLiteral("确定"));
                  if (auto* code = qobject_cast<QLabel*>(t.find(QStringLiteral("MyCustomCOde"))))
                      t.type("TextCode", code->text());
              },
              {},
              0,
              300,
              true});
    tour.add({QStringLiteral("sent"), [](Tour& t) { t.tap("SendButton"); },
              [](Tour&) { return alertShows(QStringLiteral("邮件发送成功,请注意查收!")); }, 6000,
              300, true});
    tour.add({QStringLiteral("returned"), [](Tour& t) { press(t, QStringLiteral("确定")); },
              [](Tour& t) { return on(t, "ViewControllerLogin"); }, 2000, 300, true});
}

} // namespace

void addFirstStart(Tour& tour)
{
    auto state = std::make_shared<FirstStart>();
    tour.shoot(
        QString(), [state](Tour&) { chooseDevice(state); }, 700);
    // Two seconds after the welcome screen loads it routes a first start to binding.
    tour.shootWhen(
        QString(), [state](Tour& t) { return state->deviceChosen && !on(t, "ViewController"); },
        8000, 300);
    addBinding(
        tour, [state] { return state->devid; }, "ViewControllerRegister", true);
    addRegistration(tour, state);
    addAvatar(tour);
}

void addReturningRider(Tour& tour)
{
    // The app starts over: the registered device now leads to login, password remembered.
    tour.add({QStringLiteral("remembered"), [](Tour& t) { t.segue("LoginGoToWelcom"); },
              [](Tour& t) { return on(t, "ViewControllerLogin"); }, 8000, 600, true});
    tour.add({QStringLiteral("switch-user"), [](Tour& t) { t.tap("TouXiangImage"); },
              [](Tour&) { return AlertController::topAlert() != nullptr; }, 1500, 300, true});
    tour.add({QString(), [](Tour& t) { press(t, QStringLiteral("切换")); },
              [](Tour& t) { return on(t, "ViewControllerDevID"); }, 8000, 300, true});
    // A number the server does not know first; the second tap queries on its first tick.
    tour.add({QStringLiteral("unknown-device"),
              [](Tour& t) {
                  t.type("TextFieldDevID", QStringLiteral("12345678"));
                  t.tap("Connect");
              },
              [](Tour&) { return alertShows(QStringLiteral("设备号不存在!")); }, 8000, 300, true});
    tour.add({QString(), [](Tour& t) { press(t, QStringLiteral("确定")); }, {}, 0, 100, false});
    addBinding(
        tour, [] { return SeededDevice; }, "ViewControllerLogin", false);
    tour.add({QStringLiteral("wrong-password"),
              [](Tour& t) {
                  t.type("TextUserName", QStringLiteral("rider01"));
                  t.type("TextPwd", QStringLiteral("secret9"));
                  t.tap("LoginButton");
              },
              [](Tour&) { return alertShows(QStringLiteral("账户密码不匹配!")); }, 6000, 300,
              true});
    tour.add({QString(), [](Tour& t) { press(t, QStringLiteral("确定")); }, {}, 0, 100, false});
    addRecovery(tour);
    tour.add({QStringLiteral("typed"),
              [](Tour& t) {
                  t.type("TextUserName", QStringLiteral("rider01"));
                  t.type("TextPwd", QStringLiteral("secret1"));
                  t.tap("GouHaoButton");
              },
              {},
              0,
              300,
              true});
    tour.add({QString(), [](Tour& t) { t.tap("LoginButton"); },
              [](Tour& t) { return on(t, "ViewControllerSet"); }, 8000, 2500, true});
}

} // namespace AccountTour
