#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/TrayNotificationPresenter.h"

#include <QApplication>
#include <QtTest>

// The desktop side of notifications: the app's state reaches the centre, and
// an alarm behind is presented.
class tst_TrayNotificationPresenter : public QObject
{
    Q_OBJECT

private slots:
    void applicationStateReachesTheCentre();
    void alarmBehindIsPresentedAlarmInFrontIsNot();
};

namespace {

LocalNotification alarm(const QString& body, const QString& message)
{
    LocalNotification n;
    n.fireDate = QDateTime::currentDateTime();
    n.alertBody = body;
    n.applicationIconBadgeNumber = 1;
    n.userInfo.insert("key", message);
    return n;
}

} // namespace

void tst_TrayNotificationPresenter::applicationStateReachesTheCentre()
{
    LocalNotificationCenter center;
    TrayNotificationPresenter presenter(&center);
    QCOMPARE(center.isApplicationActive(),
             QGuiApplication::applicationState() == Qt::ApplicationActive);
    QSignalSpy active(&center, &LocalNotificationCenter::applicationDidBecomeActive);
    presenter.setApplicationState(Qt::ApplicationInactive);
    QVERIFY(!center.isApplicationActive());
    presenter.setApplicationState(Qt::ApplicationActive);
    QVERIFY(center.isApplicationActive());
    QCOMPARE(active.size(), 1);
    presenter.setApplicationState(Qt::ApplicationHidden);
    QVERIFY(!center.isApplicationActive());
}

void tst_TrayNotificationPresenter::alarmBehindIsPresentedAlarmInFrontIsNot()
{
    LocalNotificationCenter center;
    TrayNotificationPresenter presenter(&center);
    presenter.setApplicationState(Qt::ApplicationActive);
    center.scheduleLocalNotification(alarm("电量报警", "电量还剩45%,请及时充电!"));
    QTRY_COMPARE(center.delivered().size(), 1);
    QCOMPARE(presenter.lastTitle(), QString());

    presenter.setApplicationState(Qt::ApplicationInactive);
    center.scheduleLocalNotification(alarm("围栏报警", "主人，快来救我!"));
    QTRY_COMPARE(center.delivered().size(), 2);
    QCOMPARE(presenter.lastTitle(), QStringLiteral("围栏报警"));
    QCOMPARE(presenter.lastMessage(), QStringLiteral("主人，快来救我!"));
}

QTEST_MAIN(tst_TrayNotificationPresenter)
#include "tst_TrayNotificationPresenter.moc"
