#include "platform/Log.h"
#include "store/MyBasicInfo.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"

#include <QtTest>

// The ranking and nearby-rider caches: one row per rider, looked up by rank.
class tst_MyPaiMingInfo : public QObject
{
    Q_OBJECT

private slots:
    void riderNamedTwiceKeepsOneRowWithLaterValues();
    void droppedRiderKeepsItsRankAndSharesIt();
    void countOnlyRanksAboveZero();
    void listsAreKeptApartAndLogTheirOwnLines();
    void clearDataBaseEmptiesBothLists();
    void rowsSurviveRestartInInsertionOrder();
};

void tst_MyPaiMingInfo::riderNamedTwiceKeepsOneRowWithLaterValues()
{
    TestApp app;
    Log::Capture log;
    MyPaiMingInfo::CheckAdd("amy", "3", "新手", "1", "http://h/a.png", "30.1", "120.1", "wx_amy");
    MyPaiMingInfo::CheckAdd("amy", "4", "老手", "2", "http://h/b.png", "30.2", "120.2", "wx_amy2");
    QVERIFY(log.contains("新建:amy"));
    QVERIFY(log.contains("本周排名 Add\u00a0ok"));
    QVERIFY(log.contains("已经存在:amy"));
    QVERIFY(log.contains("更新:amy ok"));
    QVERIFY(MyPaiMingInfo::GetValue("1").isEmpty());
    const QList<RiderInfo> riders = MyPaiMingInfo::GetValue("2");
    QCOMPARE(riders.size(), 1);
    QCOMPARE(riders.first().level, QStringLiteral("4"));
    QCOMPARE(riders.first().levelname, QStringLiteral("老手"));
    QCOMPARE(riders.first().touxiangpath, QStringLiteral("http://h/b.png"));
    QCOMPARE(riders.first().lat, QStringLiteral("30.2"));
    QCOMPARE(riders.first().lng, QStringLiteral("120.2"));
    QCOMPARE(riders.first().weixin, QStringLiteral("wx_amy2"));
    QCOMPARE(MyPaiMingInfo::GetCount(), 1);
}

void tst_MyPaiMingInfo::droppedRiderKeepsItsRankAndSharesIt()
{
    TestApp app;
    MyPaiMingInfo::CheckAdd("amy", "3", "a", "1", "", "", "", "");
    MyPaiMingInfo::CheckAdd("bob", "3", "b", "2", "", "", "", "");
    // The next answer ranks only bob, now first: amy keeps her old rank.
    MyPaiMingInfo::CheckAdd("bob", "3", "b", "1", "", "", "", "");
    const QList<RiderInfo> first = MyPaiMingInfo::GetValue("1");
    QCOMPARE(first.size(), 2);
    QCOMPARE(first[0].username, QStringLiteral("amy"));
    QCOMPARE(first[1].username, QStringLiteral("bob"));
    QVERIFY(MyPaiMingInfo::GetValue("2").isEmpty());
    QCOMPARE(MyPaiMingInfo::GetCount(), 2);
}

void tst_MyPaiMingInfo::countOnlyRanksAboveZero()
{
    TestApp app;
    MyPaiMingInfo::CheckAdd("a", "", "", "0", "", "", "", "");
    MyPaiMingInfo::CheckAdd("b", "", "", "-2", "", "", "", "");
    MyPaiMingInfo::CheckAdd("c", "", "", "x", "", "", "", "");
    MyPaiMingInfo::CheckAdd("d", "", "", "7", "", "", "", "");
    QCOMPARE(MyPaiMingInfo::GetCount(), 1);
    MyPaiMingInfo::CheckAdd("a", "", "", "3", "", "", "", "");
    QCOMPARE(MyPaiMingInfo::GetCount(), 2);
    MyPaiMingInfo::CheckAdd("d", "", "", "0", "", "", "", "");
    QCOMPARE(MyPaiMingInfo::GetCount(), 1);
}

void tst_MyPaiMingInfo::listsAreKeptApartAndLogTheirOwnLines()
{
    TestApp app;
    Log::Capture log;
    MyFriendInfo::CheckAdd("cat", "12", "骑士", "5", "", "30.3", "120.3", "");
    MyFriendInfo::CheckAdd("cat", "12", "骑士", "5", "", "30.3", "120.4", "");
    QVERIFY(log.contains("新建MyFriendInfo:cat"));
    QVERIFY(log.contains("周围驴友 Add\u00a0ok"));
    QVERIFY(log.contains("已经存在MyFriendInfo:cat"));
    QCOMPARE(MyFriendInfo::GetValue("5").size(), 1);
    QCOMPARE(MyFriendInfo::GetValue("5").first().lng, QStringLiteral("120.4"));
    QVERIFY(MyPaiMingInfo::GetValue("5").isEmpty());
    QCOMPARE(MyPaiMingInfo::GetCount(), 0);
}

void tst_MyPaiMingInfo::clearDataBaseEmptiesBothLists()
{
    TestApp app;
    MyPaiMingInfo::CheckAdd("a", "", "", "1", "", "", "", "");
    MyFriendInfo::CheckAdd("b", "", "", "1", "", "", "", "");
    MyUtil::ClearDataBase();
    QCOMPARE(MyPaiMingInfo::GetCount(), 0);
    QCOMPARE(MyFriendInfo::GetCount(), 0);
    app.restart();
    QCOMPARE(MyPaiMingInfo::GetCount(), 0);
    QVERIFY(MyFriendInfo::GetValue("1").isEmpty());
}

void tst_MyPaiMingInfo::rowsSurviveRestartInInsertionOrder()
{
    TestApp app;
    for (int i = 0; i < 20; ++i)
        MyPaiMingInfo::CheckAdd(QStringLiteral("r%1").arg(i), "", "", "9", "", "", "", "");
    MyPaiMingInfo::CheckAdd("r3", "", "", "9", "", "", "", "changed");
    app.restart();
    const QList<RiderInfo> riders = MyPaiMingInfo::GetValue("9");
    QCOMPARE(riders.size(), 20);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(riders[i].username, QStringLiteral("r%1").arg(i));
    QCOMPARE(riders[3].weixin, QStringLiteral("changed"));
}

QTEST_GUILESS_MAIN(tst_MyPaiMingInfo)
#include "tst_MyPaiMingInfo.moc"
