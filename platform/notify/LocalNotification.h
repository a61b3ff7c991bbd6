#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QTimeZone>
#include <QVariantMap>

// One local notification as the app fills it in: when it fires, what it says,
// the badge it puts on the app icon and what it carries for the app.
struct LocalNotification
{
    // The platform's default notification sound.
    static constexpr const char* DefaultSoundName = "UILocalNotificationDefaultSoundName";

    // Given by the notification centre when the notification is scheduled.
    quint64 id = 0;
    QDateTime fireDate;
    QTimeZone timeZone;
    // Notifications of this app fire once; 0 means no repetition.
    int repeatInterval = 0;
    QString alertBody;
    int applicationIconBadgeNumber = 0;
    QString soundName;
    QVariantMap userInfo;
};

Q_DECLARE_METATYPE(LocalNotification)
