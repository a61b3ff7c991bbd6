#include "screens/account/ViewController.h"

#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "platform/Timer.h"
#include "platform/location/LocationManager.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "poll/MyUtil.h"
#include "protocol/DeviceInfo.h"
#include "protocol/DeviceServer.h"
#include "screens/account/AccountUi.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double RoutingDelaySeconds = 2.0;

// The mark of the app: a teal disc with a scooter wheel's track and the name under it.
void paintWelcome(QPainter& painter, const QRectF& rect, const Screen& screen)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(rect.topLeft(), rect.bottomLeft());
    sky.setColorAt(0.0, AccountUi::accentDark());
    sky.setColorAt(0.65, AccountUi::accent());
    sky.setColorAt(1.0, AccountUi::accent().lighter(135));
    painter.fillRect(rect, sky);

    const QPointF centre(screen.gx(360), screen.gy(470));
    painter.setPen(Qt::NoPen);
    for (int ring = 3; ring >= 1; --ring) {
        painter.setBrush(QColor(255, 255, 255, 14 * ring));
        const qreal r = screen.gx(110 + 70 * (3 - ring) + 40);
        painter.drawEllipse(centre, r, r);
    }
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, screen.gx(130), screen.gx(130));
    QFont glyph = painter.font();
    glyph.setPixelSize(int(screen.gx(150)));
    glyph.setBold(true);
    painter.setFont(glyph);
    painter.setPen(AccountUi::accent());
    painter.drawText(QRectF(centre.x() - screen.gx(130), centre.y() - screen.gx(130),
                            screen.gx(260), screen.gx(260)),
                     Qt::AlignCenter, QStringLiteral("驴"));

    QFont title = painter.font();
    title.setPixelSize(int(screen.gx(84)));
    title.setLetterSpacing(QFont::PercentageSpacing, 130);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(screen.gridRect(0, 700, 720, 120), Qt::AlignCenter, QStringLiteral("驴行"));
    QFont tagline = painter.font();
    tagline.setPixelSize(int(screen.gx(30)));
    tagline.setBold(false);
    tagline.setLetterSpacing(QFont::PercentageSpacing, 110);
    painter.setFont(tagline);
    painter.setPen(QColor(255, 255, 255, 220));
    painter.drawText(screen.gridRect(0, 820, 720, 60), Qt::AlignCenter,
                     QStringLiteral("守护你的每一次骑行"));
    painter.setPen(QColor(255, 255, 255, 150));
    tagline.setPixelSize(int(screen.gx(24)));
    painter.setFont(tagline);
    painter.drawText(screen.gridRect(0, 1180, 720, 50), Qt::AlignCenter,
                     QStringLiteral("电动车 GPS 定位 · 围栏 · 电量提醒"));
}

} // namespace

ViewController::ViewController(QWidget* parent) : Screen(parent) {}

ViewController::~ViewController() = default;

void ViewController::viewDidLoad()
{
    Log::write(QStringLiteral("初始化"));
    MyUtil::InitMyDateBase();
    startLocationUpdates();
    Timer::singleShot(RoutingDelaySeconds, this, [this] { tapPageWelcom(); });
    registerNotificationSettings();

    // A welcome picture shipped with the app covers the drawn one.
    m_welcomimage = new ImageView(Images::named(QStringLiteral("welcome.png")), this);
    m_welcomimage->setContentMode(ImageView::ContentMode::AspectFill);
    m_welcomimage->setObjectName(QStringLiteral("welcomimage"));
    place(m_welcomimage, [this] { return QRectF(rect()); });
}

void ViewController::startLocationUpdates()
{
    // The platform's location service when the app provides one, otherwise the screen's own;
    // either way it runs as long as this screen exists.
    AppDelegate* delegate = AppDelegate::current();
    m_locationManager = delegate ? delegate->locationManager() : nullptr;
    if (!m_locationManager)
        m_locationManager = new LocationManager(this);
    connect(m_locationManager, &LocationManager::didUpdateLocation, this,
            &ViewController::didUpdateLocation);
    m_locationManager->setPausesLocationUpdatesAutomatically(false);
    m_locationManager->setAllowsBackgroundLocationUpdates(true);
    m_locationManager->startUpdatingLocation();
}

void ViewController::registerNotificationSettings()
{
    AppDelegate* delegate = AppDelegate::current();
    LocalNotificationCenter* center = delegate ? delegate->notificationCenter() : nullptr;
    if (center) {
        center->registerUserNotificationSettings(LocalNotificationCenter::Alert |
                                                 LocalNotificationCenter::Badge |
                                                 LocalNotificationCenter::Sound);
    }
}

void ViewController::didUpdateLocation(double latitude, double longitude, double horizontalAccuracy)
{
    Log::write(QString::asprintf("location:{lat:%f; lon:%f; accuracy:%f}", latitude, longitude,
                                 horizontalAccuracy));
    MyUtil::GetEveryThing();
}

void ViewController::tapPageWelcom()
{
    Log::write(QStringLiteral("点击了欢迎界面"));
    const QString devid = MyBasicInfo::GetValue(QStringLiteral("devid"));
    if (devid.length() < 2) {
        performSegueWithIdentifier(QStringLiteral("GoToDevID"));
        return;
    }
    QPointer<ViewController> self(this);
    auto hold = keepAlive();
    DeviceServer::queryDevice(
        devid,
        [self, hold](const DeviceInfo& info) {
            if (self)
                self->routeByAnswer(info);
        },
        [hold](const QString& error) { DeviceServer::logError(error); });
}

void ViewController::routeByAnswer(const DeviceInfo& info)
{
    storeDeviceAccount(info);
    if (info.isUnknown())
        performSegueWithIdentifier(QStringLiteral("GoToDevID"));
    else if (info.username.length() < 3)
        performSegueWithIdentifier(QStringLiteral("WelcomGoToRegister"));
    else
        performSegueWithIdentifier(QStringLiteral("WelcomGoToLogin"));
}

void ViewController::storeDeviceAccount(const DeviceInfo& info)
{
    Log::write(info.touxiangpath);
    MyBasicInfo::SetValue(QStringLiteral("serverusername"), info.username);
    MyBasicInfo::SetValue(QStringLiteral("serverpwd"), info.pwd);
    MyBasicInfo::SetValue(QStringLiteral("email"), info.email);
    MyBasicInfo::SetValue(QStringLiteral("weixin"), info.weixin);
    MyBasicInfo::SetValue(QStringLiteral("touxiangpath"), info.touxiangpath);
}

void ViewController::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintWelcome(painter, QRectF(rect()), *this);
}
