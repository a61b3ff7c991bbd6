#include "app/AppDelegate.h"

#include "platform/AlertPresenter.h"
#include "platform/Clock.h"
#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/location/LocationServices.h"
#include "platform/map/MapServices.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/share/ShareService.h"
#include "protocol/HttpManager.h"
#include "protocol/ServerAccess.h"
#include "store/AlarmLog.h"
#include "store/MyBasicInfo.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObjectContext.h"
#include "store/db/ManagedObjectModel.h"
#include "store/db/PersistentStoreCoordinator.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>

namespace {

// The delegate whose providers are installed: the last one built and not yet gone.
AppDelegate*& installedDelegate()
{
    static AppDelegate* delegate = nullptr;
    return delegate;
}

QString storeErrorText(const QString& underlying)
{
    const QString userInfo =
        QStringLiteral("{NSLocalizedDescription=Failed to initialize the application's saved data, "
                       "NSLocalizedFailureReason=There was an error creating or loading the "
                       "application's saved data., NSUnderlyingError=%1}")
            .arg(underlying);
    const QString error = QStringLiteral("Error Domain=YOUR_ERROR_DOMAIN Code=9999 \"Failed to "
                                         "initialize the application's saved data\" UserInfo=%1")
                              .arg(userInfo);
    return QStringLiteral("Unresolved error %1, %2").arg(error, userInfo);
}

} // namespace

AppDelegate::AppDelegate(const QString& dataDir, QObject* parent)
    : QObject(parent), m_dataDir(dataDir), m_systemClock(std::make_unique<SystemClock>()),
      m_ownNetwork(new QNetworkAccessManager(this)),
      m_mapServices(std::make_unique<MapServices>()),
      m_locationServices(std::make_unique<LocationServices>()), m_previous(installedDelegate()),
      m_connection([this] { return clock().now(); })
{
    m_app.clock = m_systemClock.get();
    m_app.network = m_ownNetwork;
    m_app.center = &m_defaultCenter;
    setServerUrl(QStringLiteral(LVXING_SERVER_URL));
    installedDelegate() = this;
    // The store's entities and the server scripts reach the app through what is
    // installed here.
    m_previousStore = StoreContext::install([this] { return managedObjectContext(); });
    const ServerAccess::Services access{[this] { return httpManager(); },
                                        [this] { return serverUrl(); },
                                        [this] { return clock().now(); }};
    m_previousAccess = ServerAccess::install(access);
    m_server = std::make_unique<DeviceServer>(access);
    m_app.server = m_server.get();
    m_poller = std::make_unique<StatusPoller>(StatusPoller::Services{
        [this] { return clock().now(); }, [this] { return m_haptics; },
        [this] { return m_app.notifications; }, m_server.get(), &m_connection});
    m_previousPoller = StatusPoller::install(m_poller.get());
}

AppDelegate::~AppDelegate()
{
    if (installedDelegate() == this) {
        installedDelegate() = m_previous;
        StoreContext::install(m_previousStore);
        ServerAccess::install(m_previousAccess);
        StatusPoller::install(m_previousPoller);
    } else if (StatusPoller::installed() == m_poller.get()) {
        StatusPoller::install(nullptr);
    }
    // The centre may outlive this delegate; it must not ask a gone one for the time.
    if (m_app.notifications)
        m_app.notifications->setNow({});
    m_context.reset();
    m_coordinator.reset();
}

bool AppDelegate::didFinishLaunchingWithOptions()
{
    if (m_app.share)
        m_app.share->registerApp(QString::fromLatin1(WeChatAppId));
    m_mapServices->setApiKey(QString::fromLatin1(ServiceKey));
    m_locationServices->setApiKey(QString::fromLatin1(ServiceKey));
    AlarmLog::prune(clock().now().addDays(-AlarmLog::KeptDays));
    return true;
}

void AppDelegate::setServerUrl(const QString& url)
{
    m_app.serverUrl = url;
    while (m_app.serverUrl.endsWith(QLatin1Char('/')))
        m_app.serverUrl.chop(1);
}

void AppDelegate::setClock(Clock* clock)
{
    m_app.clock = clock ? clock : m_systemClock.get();
}

void AppDelegate::setNetworkAccessManager(QNetworkAccessManager* manager)
{
    m_app.network = manager ? manager : m_ownNetwork;
}

HttpManager* AppDelegate::httpManager()
{
    static const QString name = QStringLiteral("GlobalAFmanager");
    QNetworkAccessManager* network = networkAccessManager();
    auto* manager = findChild<HttpManager*>(name, Qt::FindDirectChildrenOnly);
    // A network access manager handed over after first use gets a manager of its own;
    // the old one stays until the delegate goes, so requests already under way still
    // reach their handlers.
    if (manager && manager->network() != network) {
        manager->setObjectName(QString());
        manager = nullptr;
    }
    if (!manager) {
        manager = new HttpManager(network, this);
        manager->setObjectName(name);
    }
    return manager;
}

ManagedObjectModel* AppDelegate::managedObjectModel()
{
    if (!m_model)
        m_model = std::make_unique<ManagedObjectModel>();
    return m_model.get();
}

PersistentStoreCoordinator* AppDelegate::persistentStoreCoordinator()
{
    if (m_coordinator || m_stackTried)
        return m_coordinator.get();
    m_stackTried = true;
    auto coordinator = std::make_unique<PersistentStoreCoordinator>(managedObjectModel());
    QString error;
    if (!openStore(coordinator.get(), &error)) {
        // A damaged file, or one of another schema, is kept under a new name and
        // the app starts over with a fresh store instead of stopping.
        Log::write(storeErrorText(error));
        coordinator.reset();
        const bool moved = moveStoreAside(storePath());
        coordinator = std::make_unique<PersistentStoreCoordinator>(managedObjectModel());
        if (!moved || !openStore(coordinator.get(), &error)) {
            if (moved)
                Log::write(storeErrorText(error));
            m_storeFailure = error;
            Log::write(QStringLiteral("no store: %1 can be neither opened nor made afresh in %2")
                           .arg(QString::fromLatin1(StoreFileName), m_dataDir));
            return nullptr;
        }
    }
    m_coordinator = std::move(coordinator);
    return m_coordinator.get();
}

QString AppDelegate::storePath() const
{
    return QDir(m_dataDir).filePath(QString::fromLatin1(StoreFileName));
}

bool AppDelegate::openStore(PersistentStoreCoordinator* coordinator, QString* error)
{
    // The folder holds the rider's password: the user's alone, also when it was made
    // earlier with wider rights.
    QDir().mkpath(m_dataDir);
    QFile::setPermissions(m_dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return coordinator->addStore(storePath(), error);
}

bool AppDelegate::moveStoreAside(const QString& path)
{
    const QString stamp = clock().now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".broken-") + stamp;
    for (int n = 2; QFile::exists(aside); ++n)
        aside = path + QStringLiteral(".broken-") + stamp + QLatin1Char('-') + QString::number(n);
    bool moved = true;
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFile::exists(path + suffix) && !QFile::rename(path + suffix, aside + suffix)) {
            Log::write(QStringLiteral("could not move %1 aside").arg(path + suffix));
            moved = false;
        }
    }
    if (moved && QFile::exists(aside))
        Log::write(QStringLiteral("store file moved aside to %1").arg(aside));
    return moved;
}

ManagedObjectContext* AppDelegate::managedObjectContext()
{
    if (!m_context) {
        PersistentStoreCoordinator* coordinator = persistentStoreCoordinator();
        if (!coordinator)
            return nullptr;
        m_context = std::make_unique<ManagedObjectContext>(coordinator);
    }
    return m_context.get();
}

void AppDelegate::saveContext()
{
    QString error;
    if (m_context && m_context->hasChanges() && !m_context->save(&error))
        Log::write(QStringLiteral("Unresolved error %1, %2").arg(error, QStringLiteral("{}")));
}

void AppDelegate::setNotificationCenter(LocalNotificationCenter* center)
{
    if (m_app.notifications)
        m_app.notifications->disconnect(this);
    m_app.notifications = center;
    if (!center)
        return;
    center->setNow([this] { return clock().now(); });
    connect(center, &LocalNotificationCenter::applicationDidBecomeActive, this,
            &AppDelegate::applicationDidBecomeActive);
    connect(center, &LocalNotificationCenter::didReceiveLocalNotification, this,
            &AppDelegate::didReceiveLocalNotification);
    connect(center, &LocalNotificationCenter::didRegisterUserNotificationSettings, this,
            &AppDelegate::didRegisterUserNotificationSettings);
}

void AppDelegate::applicationDidBecomeActive()
{
    cancelLocalNotificationWithKey(QStringLiteral("key"));
    if (m_app.notifications)
        m_app.notifications->setApplicationIconBadgeNumber(0);
}

void AppDelegate::didReceiveLocalNotification(const LocalNotification& notification)
{
    Log::write(QStringLiteral("didReceiveLocalNotification"));
    if (m_app.alerts)
        m_app.alerts->showAlert(Localized::string(QStringLiteral("报警")),
                                notification.userInfo.value(QStringLiteral("key")).toString(),
                                {QStringLiteral("OK")});
    if (LocalNotificationCenter* center = m_app.notifications) {
        const int badge = center->applicationIconBadgeNumber();
        center->setApplicationIconBadgeNumber(badge > 0 ? badge - 1 : 0);
    }
    cancelLocalNotificationWithKey(QStringLiteral("key"));
}

void AppDelegate::cancelLocalNotificationWithKey(const QString& key)
{
    Log::write(QStringLiteral("取消某个本地推送通知"));
    Log::write(QStringLiteral("取消长时间震动"));
    MyBasicInfo::SetValue(QStringLiteral("zhendongcishu"), QStringLiteral("0"));
    LocalNotificationCenter* center = m_app.notifications;
    if (!center)
        return;
    center->cancelAllLocalNotifications();
    for (const LocalNotification& notification : center->scheduledLocalNotifications()) {
        if (notification.userInfo.contains(key)) {
            center->cancelLocalNotification(notification);
            break;
        }
    }
}

void AppDelegate::didRegisterUserNotificationSettings(int)
{
    Log::write(QStringLiteral("didRegisterUserNotificationSettings"));
}

void AppDelegate::handleActionWithIdentifier(const QString&, const LocalNotification&,
                                             const std::function<void()>& completionHandler)
{
    Log::write(QStringLiteral("handleActionWithIdentifier"));
    if (completionHandler)
        completionHandler();
}
