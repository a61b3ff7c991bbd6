#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "platform/map/MapPointAnnotation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "store/MyBasicInfo.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "views/CustomAnnotationView.h"
#include "views/CustomAnnotationViewFriend.h"
#include "views/CustomCalloutView.h"
#include "views/RiderMark.h"

#include <QtTest>

namespace {

MapAnnotationPtr riderMark(const QString& paiming, const QString& username)
{
    return std::make_shared<MapPointAnnotation>(MapCoordinate{30.27, 120.15}, paiming, username);
}

} // namespace

class tst_RiderMark : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void levelBands_data();
    void levelBands();
    void avatarFrame();
    void friendMarkBackgrounds();
    void friendMarkCopiesTheCachedRider();
    void friendMarkWithoutRider();
    void friendSelectionPostsOnlyOnChange();
    void rankedMarkFollowsCellindex();
    void rankedMarkHitTesting();

private:
    std::unique_ptr<TestApp> m_app;
};

void tst_RiderMark::init()
{
    m_app = std::make_unique<TestApp>();
    MyUtil::InitMyDateBase();
}

void tst_RiderMark::levelBands_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<int>("band");
    QTest::newRow("5") << "5" << 1;
    QTest::newRow("6") << "6" << 2;
    QTest::newRow("10") << "10" << 2;
    QTest::newRow("11") << "11" << 3;
    QTest::newRow("15") << "15" << 3;
    QTest::newRow("16") << "16" << 4;
    QTest::newRow("99") << "99" << 4;
    QTest::newRow("not a number") << "abc" << 1;
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("leading number") << " 12级" << 3;
    QTest::newRow("negative") << "-3" << 1;
}

void tst_RiderMark::levelBands()
{
    QFETCH(QString, level);
    QFETCH(int, band);
    QCOMPARE(RiderMark::levelBand(level), band);
}

void tst_RiderMark::avatarFrame()
{
    // 80 x 0.379 = 30.32, 80 x 0.33 = 26.4: centre (30, 30), radius 26.
    QCOMPARE(RiderMark::avatarFrame(QSize(60, 80)), QRect(4, 4, 52, 52));
    QCOMPARE(RiderMark::avatarFrame(QSize(0, 0)), QRect(0, 0, 0, 0));
    // 100 x 0.33 in single precision is just above 33.
    QCOMPARE(RiderMark::avatarFrame(QSize(100, 100)), QRect(50 - 33, 37 - 33, 66, 66));
}

void tst_RiderMark::friendMarkBackgrounds()
{
    MyBasicInfo::SetValue("localusername", "me");
    MyFriendInfo::CheckAdd("me", "12", "骑士", "3", "", "30.1", "120.1", "mewx");
    MyFriendInfo::CheckAdd("other", "12", "骑士", "4", "", "30.2", "120.2", "owx");
    MyFriendInfo::CheckAdd("low", "6", "新手", "5", "", "30.2", "120.2", "lwx");
    CustomAnnotationViewFriend own(riderMark("3", "me"), "id3");
    QCOMPARE(own.backgroundName(), QString("blackmarkbg3.png"));
    CustomAnnotationViewFriend other(riderMark("4", "other"), "id4");
    QCOMPARE(other.backgroundName(), QString("biggreenbg3.png"));
    CustomAnnotationViewFriend low(riderMark("5", "low"), "id5");
    QCOMPARE(low.backgroundName(), QString("biggreenbg2.png"));

    // The view takes the background's size, the avatar its circle, the placeholder first.
    const QSize size = Images::sizeOf("biggreenbg3.png");
    QVERIFY(!size.isEmpty());
    QCOMPARE(other.size(), size);
    QCOMPARE(other.portraitImageView()->geometry(), QRect(QPoint(0, 0), size));
    QCOMPARE(other.touxiangImageView()->geometry(), RiderMark::avatarFrame(size));
    QCOMPARE(other.touxiangImageView()->image(), Images::named("touxiangsmall.png"));
    QCOMPARE(other.portrait(), Images::named("biggreenbg3.png"));
}

void tst_RiderMark::friendMarkCopiesTheCachedRider()
{
    MyFriendInfo::CheckAdd("rider7", "16", "老司机", "7", "http://x/a.png", "30.5", "120.5", "wx7");
    Log::Capture log;
    CustomAnnotationViewFriend mark(riderMark("7", "rider7"), "id");
    QVERIFY(log.contains("database_cellindex:7"));
    QCOMPARE(mark.lvyoupaiming, QString("7"));
    QCOMPARE(mark.lvyouusername, QString("rider7"));
    QCOMPARE(mark.lvyoulevel, QString("16"));
    QCOMPARE(mark.lvyoulevelname, QString("老司机"));
    QCOMPARE(mark.lvyoutouxiangpath, QString("http://x/a.png"));
    QCOMPARE(mark.lvyoulat, QString("30.5"));
    QCOMPARE(mark.lvyoulng, QString("120.5"));
    QCOMPARE(mark.lvyousweixin, QString("wx7"));
    QCOMPARE(mark.backgroundName(), QString("biggreenbg4.png"));
    QCOMPARE(mark.avatarAddress(), QString("http://x/a.png"));
}

void tst_RiderMark::friendMarkWithoutRider()
{
    CustomAnnotationViewFriend mark(riderMark("42", "nobody"), "id");
    QCOMPARE(mark.backgroundName(), QString("biggreenbg4.png"));
    QVERIFY(mark.avatarAddress().isEmpty());
    QVERIFY(mark.lvyouusername.isNull());
    QVERIFY(mark.lvyoupaiming.isNull());
    QVERIFY(mark.lvyousweixin.isNull());
    QVERIFY(mark.name().isEmpty()); // no name label is made
    mark.setName("x");
    QVERIFY(mark.name().isEmpty());
}

void tst_RiderMark::friendSelectionPostsOnlyOnChange()
{
    CustomAnnotationViewFriend mark(riderMark("1", "a"), "id", nullptr,
                                    {nullptr, &m_app->delegate->defaultCenter()});
    QList<QObject*> posted;
    m_app->delegate->defaultCenter().addObserver(
        "SelectLvYou", [&posted](const Notification& n) { posted.append(n.object); });
    Log::Capture log;
    mark.setSelected(true);
    QCOMPARE(posted, QList<QObject*>{&mark});
    QVERIFY(mark.isSelected());
    mark.setSelected(true, true); // already selected: nothing at all
    QCOMPARE(posted.size(), 1);
    QCOMPARE(log.count("选中"), 1);
    mark.setSelected(false);
    QVERIFY(!mark.isSelected());
    QCOMPARE(log.count("释放"), 1);
    QCOMPARE(posted.size(), 1);
    mark.setSelected(true);
    QCOMPARE(posted.size(), 2);
}

void tst_RiderMark::rankedMarkFollowsCellindex()
{
    MyPaiMingInfo::CheckAdd("first", "3", "新手", "1", "http://x/1.png", "30", "120", "w1");
    MyPaiMingInfo::CheckAdd("seventh", "11", "骑士", "7", "http://x/7.png", "31", "121", "w7");
    Log::Capture log;
    // The default "0" stands for rank 1.
    CustomAnnotationView rankOne(riderMark("", ""), "customReuseIndetifier");
    QVERIFY(log.contains("database_cellindex:1"));
    QCOMPARE(rankOne.backgroundName(), QString("biggreenbg1.png"));
    QCOMPARE(rankOne.avatarAddress(), QString("http://x/1.png"));

    MyBasicInfo::SetValue("cellindex", "7");
    CustomAnnotationView seventh(riderMark("", ""), "customReuseIndetifier");
    QCOMPARE(seventh.backgroundName(), QString("biggreenbg3.png"));
    QCOMPARE(seventh.touxiangImageView()->geometry(),
             RiderMark::avatarFrame(Images::sizeOf("biggreenbg3.png")));

    MyBasicInfo::SetValue("cellindex", "9");
    CustomAnnotationView none(riderMark("", ""), "customReuseIndetifier");
    QCOMPARE(none.backgroundName(), QString("biggreenbg4.png"));
    QVERIFY(none.avatarAddress().isEmpty());
}

void tst_RiderMark::rankedMarkHitTesting()
{
    QWidget map;
    auto* mark = new CustomAnnotationView(riderMark("", ""), "id", &map);
    mark->move(100, 100);
    const QSize size = mark->size();
    QVERIFY(mark->pointInside(QPointF(1, 1)));
    QVERIFY(!mark->pointInside(QPointF(size.width() / 2.0, -20)));
    // Without a callout only the mark itself is hit, selected or not.
    mark->setSelected(true);
    QVERIFY(!mark->pointInside(QPointF(size.width() / 2.0, -20)));

    auto* callout = new CustomCalloutView(QRectF(-20, -60, 100, 50), mark);
    mark->setCalloutView(callout);
    QVERIFY(mark->pointInside(QPointF(size.width() / 2.0, -20)));
    QVERIFY(!mark->pointInside(QPointF(size.width() / 2.0, -80)));
    mark->setSelected(false);
    QVERIFY(!mark->pointInside(QPointF(size.width() / 2.0, -20)));
}

QTEST_MAIN(tst_RiderMark)
#include "tst_RiderMark.moc"
