#pragma once

#include "platform/notify/LocalNotification.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

// Local notifications of this app: scheduling, cancelling and listing them, the
// badge on the app icon, the notification settings the user granted, and
// whether the app is in front. A notification whose fire date has come is
// delivered: in front it goes to the app (didReceiveLocalNotification); behind
// it sets the badge and is handed to whatever presents it on this desktop.
// Every delivery is also kept in a record that the app and the tests read.
class LocalNotificationCenter : public QObject
{
    Q_OBJECT

public:
    enum Type { None = 0, Badge = 1, Sound = 2, Alert = 4 };

    explicit LocalNotificationCenter(QObject* parent = nullptr);

    // Where "now" comes from; the wall clock unless set.
    void setNow(std::function<QDateTime()> now) { m_now = std::move(now); }

    // Asks for the right to show alerts, badges and sounds (a combination of Type).
    // The answer, didRegisterUserNotificationSettings, arrives from the event loop.
    void registerUserNotificationSettings(int types);
    int registeredTypes() const { return m_registeredTypes; }
    int registrationCount() const { return m_registrations; }

    // Returns the notification as scheduled, with its id.
    LocalNotification scheduleLocalNotification(LocalNotification notification);
    QList<LocalNotification> scheduledLocalNotifications() const { return m_scheduled; }
    void cancelLocalNotification(const LocalNotification& notification);
    void cancelAllLocalNotifications();

    int applicationIconBadgeNumber() const { return m_badge; }
    void setApplicationIconBadgeNumber(int number);

    // Fed by the app side from the GUI's application state.
    bool isApplicationActive() const { return m_active; }
    void setApplicationActive(bool active);

    // Every notification delivered so far, in order.
    QList<LocalNotification> delivered() const { return m_delivered; }
    // Delivers the notifications whose fire date has come; the timer calls it too.
    void deliverDue();

signals:
    void didRegisterUserNotificationSettings(int types);
    // A notification came while the app was in front.
    void didReceiveLocalNotification(const LocalNotification& notification);
    // A notification came while the app was behind: show it as a banner with sound.
    void presentLocalNotification(const LocalNotification& notification);
    void applicationDidBecomeActive();
    void badgeChanged(int number);

private:
    QDateTime now() const;
    void deliver(const LocalNotification& notification);
    void armTimer();

    std::function<QDateTime()> m_now;
    QList<LocalNotification> m_scheduled;
    QList<LocalNotification> m_delivered;
    QTimer m_fireTimer;
    quint64 m_nextId = 1;
    int m_registeredTypes = None;
    int m_registrations = 0;
    int m_badge = 0;
    bool m_active = false;
};
