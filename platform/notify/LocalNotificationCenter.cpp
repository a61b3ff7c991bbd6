#include "platform/notify/LocalNotificationCenter.h"

#include <QTimeZone>
#include <algorithm>
#include <limits>

LocalNotificationCenter::LocalNotificationCenter(QObject* parent) : QObject(parent)
{
    m_fireTimer.setSingleShot(true);
    connect(&m_fireTimer, &QTimer::timeout, this, &LocalNotificationCenter::deliverDue);
}

void LocalNotificationCenter::registerUserNotificationSettings(int types)
{
    m_registeredTypes = types;
    ++m_registrations;
    QTimer::singleShot(0, this, [this, types] { emit didRegisterUserNotificationSettings(types); });
}

LocalNotification LocalNotificationCenter::scheduleLocalNotification(LocalNotification notification)
{
    notification.id = m_nextId++;
    m_scheduled.append(notification);
    armTimer();
    return notification;
}

void LocalNotificationCenter::cancelLocalNotification(const LocalNotification& notification)
{
    m_scheduled.removeIf([&](const LocalNotification& n) { return n.id == notification.id; });
    armTimer();
}

void LocalNotificationCenter::cancelAllLocalNotifications()
{
    m_scheduled.clear();
    m_fireTimer.stop();
}

void LocalNotificationCenter::setApplicationIconBadgeNumber(int number)
{
    if (number == m_badge)
        return;
    m_badge = number;
    emit badgeChanged(number);
}

void LocalNotificationCenter::setApplicationActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (active)
        emit applicationDidBecomeActive();
}

void LocalNotificationCenter::deliverDue()
{
    const QDateTime current = now();
    QList<LocalNotification> due;
    m_scheduled.removeIf([&](const LocalNotification& n) {
        if (n.fireDate > current)
            return false;
        due.append(n);
        return true;
    });
    for (const LocalNotification& notification : due)
        deliver(notification);
    armTimer();
}

QDateTime LocalNotificationCenter::now() const
{
    return m_now ? m_now() : QDateTime::currentDateTime();
}

void LocalNotificationCenter::deliver(const LocalNotification& notification)
{
    m_delivered.append(notification);
    if (m_active) {
        emit didReceiveLocalNotification(notification);
        return;
    }
    if (notification.applicationIconBadgeNumber > 0)
        setApplicationIconBadgeNumber(notification.applicationIconBadgeNumber);
    emit presentLocalNotification(notification);
}

void LocalNotificationCenter::armTimer()
{
    if (m_scheduled.isEmpty()) {
        m_fireTimer.stop();
        return;
    }
    const auto first = std::min_element(m_scheduled.cbegin(), m_scheduled.cend(),
                                        [](const LocalNotification& a, const LocalNotification& b) {
                                            return a.fireDate < b.fireDate;
                                        });
    const qint64 wait =
        std::clamp<qint64>(now().msecsTo(first->fireDate), 0, std::numeric_limits<int>::max());
    m_fireTimer.start(int(wait));
}
