// The riders' and the track's marks on the map. Pictures are compared with goldens
// (regenerate with LVXING_UPDATE_GOLDEN=1, see Golden.h).
#include "app/AppDelegate.h"
#include "platform/map/MapPointAnnotation.h"
#include "store/MyBasicInfo.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "views/CustomAnnotationView.h"
#include "views/CustomAnnotationViewFriend.h"
#include "views/CustomAnnotationViewImage.h"
#include "views/CustomCalloutView.h"
#include "views/Golden.h"
#include "views/RiderMark.h"

#include <functional>

using Picture = std::function<QImage()>;
Q_DECLARE_METATYPE(Picture)

namespace {

MapAnnotationPtr mark(const QString& title, const QString& subtitle)
{
    return std::make_shared<MapPointAnnotation>(MapCoordinate{30.27, 120.15}, title, subtitle);
}

QImage grab(QWidget&& view)
{
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

class tst_RiderMark : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pictures_data();
    void pictures();
    void levelBands_data();
    void levelBands();
    void friendMarkCarriesTheCachedRider();
    void friendSelectionPostsOnlyOnChange();
    void rankedMarkFollowsCellindex();
    void rankedMarkHitTesting();

private:
    std::unique_ptr<TestApp> m_app;
};

void tst_RiderMark::initTestCase()
{
    m_app = std::make_unique<TestApp>();
    MyUtil::InitMyDateBase();
    MyBasicInfo::SetValue("localusername", "me");
    MyFriendInfo::CheckAdd("me", "12", "骑士", "3", "", "30.1", "120.1", "mewx");
    MyFriendInfo::CheckAdd("other", "12", "骑士", "4", "", "30.2", "120.2", "owx");
    MyFriendInfo::CheckAdd("low", "6", "新手", "5", "", "30.2", "120.2", "lwx");
    MyFriendInfo::CheckAdd("rider7", "16", "老司机", "7", "http://x/a.png", "30.5", "120.5", "wx7");
}

void tst_RiderMark::pictures_data()
{
    QTest::addColumn<Picture>("picture");
    const auto friendMark = [](const char* name, const char* rank, const char* user) {
        QTest::newRow(name) << Picture(
            [=] { return grab(CustomAnnotationViewFriend(mark(rank, user), "id")); });
    };
    friendMark("mark-own", "3", "me");
    friendMark("mark-friend-level-12", "4", "other");
    friendMark("mark-friend-level-6", "5", "low");
    friendMark("mark-unknown-rider", "42", "nobody");
    QTest::newRow("mark-track-start") << Picture([] {
        return grab(
            CustomAnnotationViewImage(mark("start.png", "CustomAnnotationViewImage"), "id"));
    });
    // Drawn inside a parent, as over the map, with its shadow.
    QTest::newRow("callout") << Picture([] {
        QWidget parent;
        parent.resize(100, 60);
        new CustomCalloutView(QRectF(0, 0, 100, 60), &parent);
        return grab(std::move(parent));
    });
}

void tst_RiderMark::pictures()
{
    QFETCH(Picture, picture);
    QCOMPARE_GOLDEN(QTest::currentDataTag(), picture());
}

void tst_RiderMark::levelBands_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<int>("band");
    for (const auto& [level, band] : QList<std::pair<QString, int>>{
             {"5", 1}, {"6", 2}, {"10", 2}, {"11", 3}, {"15", 3}, {"16", 4}, {"abc", 1}, {"-3", 1}})
        QTest::newRow(qPrintable(level)) << level << band;
}

void tst_RiderMark::levelBands()
{
    QFETCH(QString, level);
    QFETCH(int, band);
    QCOMPARE(RiderMark::levelBand(level), band);
}

void tst_RiderMark::friendMarkCarriesTheCachedRider()
{
    const CustomAnnotationViewFriend m(mark("7", "rider7"), "id");
    QCOMPARE(
        QStringList({m.lvyoupaiming, m.lvyouusername, m.lvyoulevel, m.lvyoulevelname,
                     m.lvyoutouxiangpath, m.lvyoulat, m.lvyoulng, m.lvyousweixin}),
        QStringList({"7", "rider7", "16", "老司机", "http://x/a.png", "30.5", "120.5", "wx7"}));
    QCOMPARE(m.backgroundName(), QString("biggreenbg4.png"));
    QCOMPARE(m.avatarAddress(), QString("http://x/a.png"));
}

void tst_RiderMark::friendSelectionPostsOnlyOnChange()
{
    CustomAnnotationViewFriend m(mark("1", "a"), "id", nullptr,
                                 {nullptr, &m_app->delegate->defaultCenter()});
    QList<QObject*> posted;
    m_app->delegate->defaultCenter().addObserver(
        "SelectLvYou", [&posted](const Notification& n) { posted.append(n.object); });
    m.setSelected(true);
    m.setSelected(true, true);
    QCOMPARE(posted, QList<QObject*>{&m});
    m.setSelected(false);
    QVERIFY(!m.isSelected());
    QCOMPARE(posted.size(), 1);
    m.setSelected(true);
    QCOMPARE(posted.size(), 2);
}

void tst_RiderMark::rankedMarkFollowsCellindex()
{
    MyPaiMingInfo::CheckAdd("first", "3", "新手", "1", "http://x/1.png", "30", "120", "w1");
    MyPaiMingInfo::CheckAdd("seventh", "11", "骑士", "7", "http://x/7.png", "31", "121", "w7");
    // The default "0" stands for rank 1.
    MyBasicInfo::SetValue("cellindex", "0");
    const CustomAnnotationView rankOne(mark("", ""), "id");
    QCOMPARE(rankOne.backgroundName(), QString("biggreenbg1.png"));
    QCOMPARE(rankOne.avatarAddress(), QString("http://x/1.png"));
    MyBasicInfo::SetValue("cellindex", "7");
    QCOMPARE(CustomAnnotationView(mark("", ""), "id").backgroundName(), QString("biggreenbg3.png"));
    MyBasicInfo::SetValue("cellindex", "9");
    const CustomAnnotationView none(mark("", ""), "id");
    QCOMPARE(none.backgroundName(), QString("biggreenbg4.png"));
    QVERIFY(none.avatarAddress().isEmpty());
}

void tst_RiderMark::rankedMarkHitTesting()
{
    QWidget map;
    auto* m = new CustomAnnotationView(mark("", ""), "id", &map);
    m->move(100, 100);
    const QPointF above(m->width() / 2.0, -20);
    QVERIFY(m->pointInside(QPointF(1, 1)));
    // Without a callout only the mark itself is hit, selected or not.
    m->setSelected(true);
    QVERIFY(!m->pointInside(above));
    m->setCalloutView(new CustomCalloutView(QRectF(-20, -60, 100, 50), m));
    QVERIFY(m->pointInside(above));
    QVERIFY(!m->pointInside(QPointF(m->width() / 2.0, -80)));
    m->setSelected(false);
    QVERIFY(!m->pointInside(above));
}

QTEST_MAIN(tst_RiderMark)
#include "tst_RiderMark.moc"
