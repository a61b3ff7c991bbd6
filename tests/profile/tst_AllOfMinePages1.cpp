#include "MineFixture.h"

#include "app/AppDelegate.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/profile/AllOfMinePages1.h"

#include <QLabel>
#include <QtTest>

// The profile page: filled once from the settings store, and its arrow to the ranking list.
class tst_AllOfMinePages1 : public QObject
{
    Q_OBJECT

private slots:
    void fillsFromTheSettingsOnceWhenLoaded();
    void arrowAsksForTheRankingList();
};

void tst_AllOfMinePages1::fillsFromTheSettingsOnceWhenLoaded()
{
    MineFixture fx;
    MineFixture::set("touxiangpath", "http://127.0.0.1:9/avatar/rider01.png");
    MineFixture::set("localusername", "rider01");
    MineFixture::set("levelname", "骑士");
    MineFixture::set("level", "12");
    MineFixture::set("jifen", "1530");
    MineFixture::set("paiming", "4");
    MineFixture::set("totallicheng", "812.5");
    auto* page = fx.page<AllOfMinePages1>("AllOfMinePages1");

    QCOMPARE(page->username()->text(), QStringLiteral("rider01"));
    QCOMPARE(page->levelname()->text(), QStringLiteral("骑士 12级"));
    QCOMPARE(page->jifen()->text(), QStringLiteral("1530"));
    QCOMPARE(page->paiming()->text(), QStringLiteral("NO.4"));
    QCOMPARE(page->totallicheng()->text(), QStringLiteral("812.5"));
    QVERIFY(fx.log.contains("touxiangpath = http://127.0.0.1:9/avatar/rider01.png"));
    QCOMPARE(page->touxiangimage()->image(), Images::named("touxiangsmall.png"));

    // Later changes of the settings do not reach the page while it lives.
    MineFixture::set("paiming", "1");
    MineFixture::setAppeared(page, false);
    MineFixture::setAppeared(page, true);
    QCOMPARE(page->paiming()->text(), QStringLiteral("NO.4"));
}

void tst_AllOfMinePages1::arrowAsksForTheRankingList()
{
    MineFixture fx;
    auto* page = fx.page<AllOfMinePages1>("AllOfMinePages1");
    QList<QObject*> senders;
    fx.app.delegate->defaultCenter().addObserver(
        "AllOfMinePages1ToAllOfMinePages2",
        [&senders](const Notification& note) { senders.append(note.object); });
    QVERIFY(page->leftimage()->tapRecognizer());
    page->leftimage()->tapRecognizer()->tap();
    QCOMPARE(senders, QList<QObject*>{page});
}

QTEST_MAIN(tst_AllOfMinePages1)
#include "tst_AllOfMinePages1.moc"
