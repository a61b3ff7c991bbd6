#include "screens/account/ViewController.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/Timer.h"
#include "platform/location/LocationManager.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "poll/MyUtil.h"
#include "protocol/DeviceInfo.h"
#include "protocol/DeviceServer.h"
#include "screens/AppContext.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"

namespace {

constexpr double RoutingDelaySeconds = 2.0;

} // namespace

ViewController::ViewController(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

ViewController::~ViewController() = default;

void ViewController::viewDidLoad()
{
    Log::write(QStringLiteral("初始化"));
    MyUtil::InitMyDateBase();
    startLocationUpdates();
    Timer::singleShot(RoutingDelaySeconds, this, [this] { tapPageWelcom(); });
    registerNotificationSettings();

    m_welcomimage = new ImageView(Images::named(QStringLiteral("welcome.png")), this);
    m_welcomimage->setContentMode(ImageView::ContentMode::AspectFill);
    m_welcomimage->setObjectName(QStringLiteral("welcomimage"));
    place(m_welcomimage, [this] { return QRectF(rect()); });
    // After a failed query a tap on the picture asks again; before, the routing is on its way.
    m_welcomimage->setOnTap([this] {
        if (m_queryFailed)
            tapPageWelcom();
    });
}

void ViewController::startLocationUpdates()
{
    // The platform's location service when the app provides one, otherwise the screen's own;
    // either way it runs as long as this screen exists.
    m_locationManager = m_app.location;
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
    if (LocalNotificationCenter* center = m_app.notifications) {
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
    m_queryFailed = false;
    m_app.server->queryDevice(
        devid,
        [self, hold](const DeviceInfo& info) {
            if (self)
                self->routeByAnswer(info);
        },
        [self, hold](const QString& error) {
            DeviceServer::logError(error);
            // Without a word the rider would look at the welcome picture for good.
            if (!self)
                return;
            self->m_queryFailed = true;
            AlertController::showTip(self, Localized::string(QStringLiteral("网络访问出错!")));
        });
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
