#include "platform/NotificationCenter.h"

#include <QTest>

class tst_NotificationCenter : public QObject
{
    Q_OBJECT

private slots:
    void deliversByNameInRegistrationOrder();
    void carriesObjectAndUserInfo();
    void removesObserversByTokenOwnerAndName();
    void forgetsObserversWhoseOwnerIsGone();
    void observersChangingTheCentreDuringDelivery();
};

void tst_NotificationCenter::deliversByNameInRegistrationOrder()
{
    NotificationCenter centre;
    QStringList heard;
    centre.addObserver("SelectLvYou", [&](const Notification&) { heard << "a"; });
    centre.addObserver("AllOfMinePages1ToAllOfMinePages2",
                       [&](const Notification&) { heard << "x"; });
    centre.addObserver("SelectLvYou", [&](const Notification&) { heard << "b"; });
    centre.addObserver("SelectLvYou", [&](const Notification&) { heard << "c"; });

    centre.post("SelectLvYou");
    QCOMPARE(heard, QStringList({"a", "b", "c"}));

    heard.clear();
    centre.post("Nobody listens");
    QVERIFY(heard.isEmpty());
    centre.post("AllOfMinePages1ToAllOfMinePages2");
    QCOMPARE(heard, QStringList({"x"}));
}

void tst_NotificationCenter::carriesObjectAndUserInfo()
{
    NotificationCenter centre;
    QObject sender;
    Notification got;
    centre.addObserver("Notification_GetUserProfileSuccess",
                       [&](const Notification& n) { got = n; });
    centre.post("Notification_GetUserProfileSuccess", &sender, {{"row", 3}});
    QCOMPARE(got.name, QString("Notification_GetUserProfileSuccess"));
    QCOMPARE(got.object, &sender);
    QCOMPARE(got.userInfo.value("row").toInt(), 3);
}

void tst_NotificationCenter::removesObserversByTokenOwnerAndName()
{
    NotificationCenter centre;
    QObject page;
    QStringList heard;
    const int token = centre.addObserver("n1", [&](const Notification&) { heard << "token"; });
    centre.addObserver(
        "n1", [&](const Notification&) { heard << "page-n1"; }, &page);
    centre.addObserver(
        "n2", [&](const Notification&) { heard << "page-n2"; }, &page);

    centre.removeObserver(token);
    centre.post("n1");
    QCOMPARE(heard, QStringList({"page-n1"}));

    heard.clear();
    centre.removeObserver(&page, "n1");
    centre.post("n1");
    centre.post("n2");
    QCOMPARE(heard, QStringList({"page-n2"}));

    heard.clear();
    centre.removeObserver(&page);
    centre.post("n2");
    QVERIFY(heard.isEmpty());
    QCOMPARE(centre.observerCount(), 0);
}

void tst_NotificationCenter::forgetsObserversWhoseOwnerIsGone()
{
    NotificationCenter centre;
    int calls = 0;
    {
        QObject screen;
        centre.addObserver(
            "SelectLvYou", [&](const Notification&) { ++calls; }, &screen);
        centre.post("SelectLvYou");
    }
    centre.post("SelectLvYou");
    QCOMPARE(calls, 1);
    QCOMPARE(centre.observerCount("SelectLvYou"), 0);
}

void tst_NotificationCenter::observersChangingTheCentreDuringDelivery()
{
    NotificationCenter centre;
    QStringList heard;
    int second = 0;
    centre.addObserver("n", [&](const Notification&) {
        heard << "first";
        centre.removeObserver(second);
        centre.addObserver("n", [&](const Notification&) { heard << "late"; });
    });
    second = centre.addObserver("n", [&](const Notification&) { heard << "second"; });
    centre.addObserver("n", [&](const Notification&) { heard << "third"; });

    centre.post("n");
    QCOMPARE(heard, QStringList({"first", "third"}));
    heard.clear();
    centre.post("n");
    QCOMPARE(heard, QStringList({"first", "third", "late"}));
}

QTEST_GUILESS_MAIN(tst_NotificationCenter)
#include "tst_NotificationCenter.moc"
