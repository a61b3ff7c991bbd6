#pragma once

#include "platform/NotificationCenter.h"
#include "poll/StatusPoller.h"
#include "protocol/ServerAccess.h"

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

// The composition root: owns the data stack and the process-wide services and
// hands them out. The running app has one; a test builds its own with a
// temporary data folder and recording stand-ins, and it becomes the current one.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* WeChatAppId = "wx0f3a9c57e21b6d48";
    static constexpr const char* ServiceKey = "5b1e7d20c94a3f86e0d2b97c41a6f853";
    static constexpr const char* StoreFileName = "TestCoreData.sqlite";

    explicit AppDelegate(const QString& dataDir, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The delegate of the running application (the last one built and not yet gone).
    static AppDelegate* current();

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
    QString serverUrl() const { return m_serverUrl; }
    void setServerUrl(const QString& url);

    // Services. Each setter takes a service the caller keeps alive for the
    // delegate's lifetime; without one the delegate makes its own default where
    // this platform has one (system clock, network access).
    Clock& clock();
    void setClock(Clock* clock) { m_clock = clock; }
    QNetworkAccessManager* networkAccessManager();
    // The one HTTP manager over networkAccessManager(), owned by the delegate.
    HttpManager* httpManager();
    void setNetworkAccessManager(QNetworkAccessManager* manager) { m_network = manager; }
    LocationManager* locationManager() const { return m_location; }
    void setLocationManager(LocationManager* manager) { m_location = manager; }
    LocalNotificationCenter* notificationCenter() const { return m_notifications; }
    // Also routes the centre's callbacks here and gives it the delegate's clock.
    void setNotificationCenter(LocalNotificationCenter* center);
    Haptics* haptics() const { return m_haptics; }
    void setHaptics(Haptics* haptics) { m_haptics = haptics; }
    ShareService* share() const { return m_share; }
    void setShare(ShareService* share) { m_share = share; }
    ImageLoader* imageLoader() const { return m_imageLoader; }
    void setImageLoader(ImageLoader* loader) { m_imageLoader = loader; }
    AlertPresenter* alerts() const { return m_alerts; }
    void setAlerts(AlertPresenter* alerts) { m_alerts = alerts; }
    MapServices& mapServices() { return *m_mapServices; }
    // The default notification centre: named notifications between screens and pages.
    NotificationCenter& defaultCenter() { return m_defaultCenter; }
    LocationServices& locationServices() { return *m_locationServices; }

    // When the status poll last armed or passed its throttle; invalid until the
    // first location update of this run.
    QDateTime lastPollTime() const { return m_poller->lastPollTime(); }
    void setLastPollTime(const QDateTime& when) { m_poller->setLastPollTime(when); }

    // The e-mail address the rider proved with a mailed code during this run;
    // empty until a code check succeeds. Registration accepts only this address.
    QString verifiedEmail() const { return m_verifiedEmail; }
    void setVerifiedEmail(const QString& email) { m_verifiedEmail = email; }

private:
    QString storePath() const;
    bool openStore(PersistentStoreCoordinator* coordinator, QString* error);
    bool moveStoreAside(const QString& path);

    QString m_dataDir;
    QString m_serverUrl;
    std::unique_ptr<ManagedObjectModel> m_model;
    std::unique_ptr<PersistentStoreCoordinator> m_coordinator;
    std::unique_ptr<ManagedObjectContext> m_context;
    bool m_stackTried = false;
    QString m_storeFailure;
    std::unique_ptr<Clock> m_ownClock;
    Clock* m_clock = nullptr;
    QNetworkAccessManager* m_network = nullptr;
    LocationManager* m_location = nullptr;
    LocalNotificationCenter* m_notifications = nullptr;
    Haptics* m_haptics = nullptr;
    ShareService* m_share = nullptr;
    ImageLoader* m_imageLoader = nullptr;
    AlertPresenter* m_alerts = nullptr;
    std::unique_ptr<MapServices> m_mapServices;
    std::unique_ptr<LocationServices> m_locationServices;
    NotificationCenter m_defaultCenter;
    AppDelegate* m_previous = nullptr;
    std::function<ManagedObjectContext*()> m_previousStore;
    ServerAccess::Services m_previousAccess;
    std::unique_ptr<StatusPoller> m_poller;
    StatusPoller* m_previousPoller = nullptr;
    QString m_verifiedEmail;
};
