#include "platform/notify/LocalNotificationCenter.h"

#include <QSignalSpy>
#include <QtTest>

// Scheduling, cancelling and delivering local notifications, in front and behind.
class tst_LocalNotificationCenter : public QObject
{
    Q_OBJECT

private slots:
    void scheduleListAndCancel();
    void dueNotificationBehindSetsBadgeAndIsPresented();
    void dueNotificationInFrontGoesToTheApp();
    void laterFireDateWaitsForItsTime();
    void registrationIsAnsweredFromTheEventLoop();
    void becomingActiveIsReportedOnce();
};

namespace {

LocalNotification alarm(const QDateTime& when, const QString& body, const QString& message)
{
    LocalNotification n;
    n.fireDate = when;
    n.timeZone = QTimeZone::systemTimeZone();
    n.alertBody = body;
    n.applicationIconBadgeNumber = 1;
    n.soundName = QString::fromLatin1(LocalNotification::DefaultSoundName);
    n.userInfo.insert(QStringLiteral("key"), message);
    return n;
}

const QDateTime Start(QDate(2026, 3, 5), QTime(14, 7, 9));

} // namespace

void tst_LocalNotificationCenter::scheduleListAndCancel()
{
    LocalNotificationCenter center;
    center.setNow([] { return Start; });
    const LocalNotification a =
        center.scheduleLocalNotification(alarm(Start.addSecs(60), "a", "m1"));
    const LocalNotification b =
        center.scheduleLocalNotification(alarm(Start.addSecs(60), "b", "m2"));
    const LocalNotification c =
        center.scheduleLocalNotification(alarm(Start.addSecs(60), "c", "m3"));
    QVERIFY(a.id != b.id && b.id != c.id);
    QCOMPARE(center.scheduledLocalNotifications().size(), 3);
    QCOMPARE(center.scheduledLocalNotifications().at(1).userInfo.value("key").toString(), "m2");

    center.cancelLocalNotification(b);
    QCOMPARE(center.scheduledLocalNotifications().size(), 2);
    QCOMPARE(center.scheduledLocalNotifications().at(1).alertBody, QStringLiteral("c"));
    center.cancelAllLocalNotifications();
    QVERIFY(center.scheduledLocalNotifications().isEmpty());
    center.deliverDue();
    QVERIFY(center.delivered().isEmpty());
}

void tst_LocalNotificationCenter::dueNotificationBehindSetsBadgeAndIsPresented()
{
    LocalNotificationCenter center;
    center.setNow([] { return Start; });
    QSignalSpy presented(&center, &LocalNotificationCenter::presentLocalNotification);
    QSignalSpy received(&center, &LocalNotificationCenter::didReceiveLocalNotification);
    QSignalSpy badge(&center, &LocalNotificationCenter::badgeChanged);
    center.scheduleLocalNotification(alarm(Start, "围栏报警", "主人，快来救我!"));
    // Due at once, but delivered from the event loop, as the platform does.
    QCOMPARE(presented.size(), 0);
    QTRY_COMPARE(presented.size(), 1);
    QCOMPARE(received.size(), 0);
    QCOMPARE(center.applicationIconBadgeNumber(), 1);
    QCOMPARE(badge.size(), 1);
    QVERIFY(center.scheduledLocalNotifications().isEmpty());
    QCOMPARE(center.delivered().size(), 1);
    QCOMPARE(center.delivered().first().alertBody, QStringLiteral("围栏报警"));
    QCOMPARE(presented.first().first().value<LocalNotification>().userInfo.value("key"),
             QVariant(QStringLiteral("主人，快来救我!")));
}

void tst_LocalNotificationCenter::dueNotificationInFrontGoesToTheApp()
{
    LocalNotificationCenter center;
    center.setNow([] { return Start; });
    center.setApplicationActive(true);
    QSignalSpy presented(&center, &LocalNotificationCenter::presentLocalNotification);
    QSignalSpy received(&center, &LocalNotificationCenter::didReceiveLocalNotification);
    center.scheduleLocalNotification(alarm(Start, "电量报警", "电量还剩45%,请及时充电!"));
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(presented.size(), 0);
    // The app decides what the badge shows when it is in front.
    QCOMPARE(center.applicationIconBadgeNumber(), 0);
    QCOMPARE(center.delivered().size(), 1);
}

void tst_LocalNotificationCenter::laterFireDateWaitsForItsTime()
{
    QDateTime now = Start;
    LocalNotificationCenter center;
    center.setNow([&now] { return now; });
    center.scheduleLocalNotification(alarm(Start.addSecs(30), "later", "message"));
    center.scheduleLocalNotification(alarm(Start.addSecs(-5), "overdue", "message"));
    center.deliverDue();
    QCOMPARE(center.delivered().size(), 1);
    QCOMPARE(center.delivered().first().alertBody, QStringLiteral("overdue"));
    now = Start.addSecs(29);
    center.deliverDue();
    QCOMPARE(center.delivered().size(), 1);
    now = Start.addSecs(30);
    center.deliverDue();
    QCOMPARE(center.delivered().size(), 2);
    QVERIFY(center.scheduledLocalNotifications().isEmpty());
}

void tst_LocalNotificationCenter::registrationIsAnsweredFromTheEventLoop()
{
    LocalNotificationCenter center;
    QSignalSpy answered(&center, &LocalNotificationCenter::didRegisterUserNotificationSettings);
    const int types = LocalNotificationCenter::Alert | LocalNotificationCenter::Badge |
                      LocalNotificationCenter::Sound;
    center.registerUserNotificationSettings(types);
    center.registerUserNotificationSettings(types);
    QCOMPARE(center.registrationCount(), 2);
    QCOMPARE(center.registeredTypes(), types);
    QCOMPARE(answered.size(), 0);
    QTRY_COMPARE(answered.size(), 2);
    QCOMPARE(answered.first().first().toInt(), types);
}

void tst_LocalNotificationCenter::becomingActiveIsReportedOnce()
{
    LocalNotificationCenter center;
    QSignalSpy active(&center, &LocalNotificationCenter::applicationDidBecomeActive);
    QVERIFY(!center.isApplicationActive());
    center.setApplicationActive(true);
    center.setApplicationActive(true);
    QCOMPARE(active.size(), 1);
    center.setApplicationActive(false);
    center.setApplicationActive(true);
    QCOMPARE(active.size(), 2);
    QVERIFY(center.isApplicationActive());
}

QTEST_GUILESS_MAIN(tst_LocalNotificationCenter)
#include "tst_LocalNotificationCenter.moc"
