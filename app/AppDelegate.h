#pragma once

#include "platform/NotificationCenter.h"
#include "poll/ConnectionState.h"
#include "poll/StatusPoller.h"
#include "protocol/DeviceServer.h"
#include "protocol/ServerAccess.h"
#include "screens/AppContext.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class Clock;
class HttpManager;
class QNetworkAccessManager;
class ManagedObjectModel;
class PersistentStoreCoordinator;
class ManagedObjectContext;
class LocationManager;
class LocationServices;
class MapServices;
class LocalNotificationCenter;
class Haptics;
class ShareService;
class ImageLoader;
class AlertPresenter;
struct LocalNotification;

// The composition root: owns the data stack and the process-wide services, installs
// what the lower layers reach (the store, the server access, the status poller) and
// hands the screens their services through context(). It also takes the application's
// lifecycle callbacks. The running app has one; a test builds its own with a temporary
// data folder and recording stand-ins.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* WeChatAppId = "wx0f3a9c57e21b6d48";
    static constexpr const char* ServiceKey = "5b1e7d20c94a3f86e0d2b97c41a6f853";
    static constexpr const char* StoreFileName = "TestCoreData.sqlite";

    explicit AppDelegate(const QString& dataDir, QObject* parent = nullptr);
    ~AppDelegate() override;

    bool didFinishLaunchingWithOptions();
    void applicationWillResignActive() {}
    void applicationDidEnterBackground() {}
    void applicationWillEnterForeground() {}
    void applicationWillTerminate() {}

    // Notification callbacks: coming to the front and an alarm arriving in front
    // both acknowledge the alarms, which cancels them and stops the vibration.
    void applicationDidBecomeActive();
    void didReceiveLocalNotification(const LocalNotification& notification);
    void cancelLocalNotificationWithKey(const QString& key);
    void didRegisterUserNotificationSettings(int types);
    void handleActionWithIdentifier(const QString& identifier,
                                    const LocalNotification& notification,
                                    const std::function<void()>& completionHandler);

    QString applicationDocumentsDirectory() const { return m_dataDir; }
    ManagedObjectModel* managedObjectModel();
    PersistentStoreCoordinator* persistentStoreCoordinator();
    ManagedObjectContext* managedObjectContext();
    void saveContext();
    // Why the store could be neither opened nor made afresh; empty while it works.
    QString storeFailure() const { return m_storeFailure; }

    // Base URL of the device server (no trailing slash).
    QString serverUrl() const { return m_app.serverUrl; }
    void setServerUrl(const QString& url);

    // Services. Each setter takes a service the caller keeps alive for the
    // delegate's lifetime; without one the delegate makes its own default where
    // this platform has one (system clock, network access).
    Clock& clock() { return *m_app.clock; }
    // Null goes back to the system clock.
    void setClock(Clock* clock);
    QNetworkAccessManager* networkAccessManager() const { return m_app.network; }
    // The one HTTP manager over networkAccessManager(), owned by the delegate.
    HttpManager* httpManager();
    void setNetworkAccessManager(QNetworkAccessManager* manager);
    LocationManager* locationManager() const { return m_app.location; }
    void setLocationManager(LocationManager* manager) { m_app.location = manager; }
    LocalNotificationCenter* notificationCenter() const { return m_app.notifications; }
    // Also routes the centre's callbacks here and gives it the delegate's clock.
    void setNotificationCenter(LocalNotificationCenter* center);
    Haptics* haptics() const { return m_haptics; }
    void setHaptics(Haptics* haptics) { m_haptics = haptics; }
    ShareService* share() const { return m_app.share; }
    void setShare(ShareService* share) { m_app.share = share; }
    ImageLoader* imageLoader() const { return m_app.images; }
    void setImageLoader(ImageLoader* loader) { m_app.images = loader; }
    AlertPresenter* alerts() const { return m_app.alerts; }
    void setAlerts(AlertPresenter* alerts) { m_app.alerts = alerts; }
    MapServices& mapServices() { return *m_mapServices; }
    // The default notification centre: named notifications between screens and pages.
    NotificationCenter& defaultCenter() { return m_defaultCenter; }
    LocationServices& locationServices() { return *m_locationServices; }
    // The device server's scripts over httpManager() and serverUrl().
    DeviceServer& deviceServer() { return *m_server; }
    // What the screens are made with; it lives as long as the delegate.
    AppContext& context() { return m_app; }

    // When the status poll last armed or passed its throttle; invalid until the
    // first location update of this run.
    QDateTime lastPollTime() const { return m_poller->lastPollTime(); }
    void setLastPollTime(const QDateTime& when) { m_poller->setLastPollTime(when); }
    // Whether the server answers the status poll and how old the stored state is.
    ConnectionState& connectionState() { return m_connection; }

private:
    QString storePath() const;
    bool openStore(PersistentStoreCoordinator* coordinator, QString* error);
    bool moveStoreAside(const QString& path);

    QString m_dataDir;
    AppContext m_app;
    std::unique_ptr<ManagedObjectModel> m_model;
    std::unique_ptr<PersistentStoreCoordinator> m_coordinator;
    std::unique_ptr<ManagedObjectContext> m_context;
    bool m_stackTried = false;
    QString m_storeFailure;
    std::unique_ptr<Clock> m_systemClock;
    QNetworkAccessManager* m_ownNetwork = nullptr;
    Haptics* m_haptics = nullptr;
    std::unique_ptr<MapServices> m_mapServices;
    std::unique_ptr<LocationServices> m_locationServices;
    NotificationCenter m_defaultCenter;
    // The delegate whose providers this one replaced; they come back when it goes.
    AppDelegate* m_previous = nullptr;
    std::function<ManagedObjectContext*()> m_previousStore;
    ServerAccess::Services m_previousAccess;
    std::unique_ptr<DeviceServer> m_server;
    ConnectionState m_connection;
    std::unique_ptr<StatusPoller> m_poller;
    StatusPoller* m_previousPoller = nullptr;
};
