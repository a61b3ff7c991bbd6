#include "MineFixture.h"

#include "app/AppDelegate.h"
#include "platform/map/MapPointAnnotation.h"
#include "platform/map/MapView.h"
#include "platform/ui/Button.h"
#include "screens/profile/AllOfMinePages3.h"
#include "views/CustomAnnotationView.h"

#include <QLabel>
#include <QtTest>

// The ranking map page: the chosen rider read from the cache, the map and the back button
// made on each appearance, and the rider's mark.
class tst_AllOfMinePages3 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mapAndBackButtonTakeTheirFramesFromThePage();
    void cellindexZeroShowsTheRiderRankedFirst();
    void twoRidersOfOneRankShowTheFirstTheCacheReturns();
    void rankNobodyHoldsLeavesThePageAsItWas();
    void neverMatchedCentresOnZeroZero();
    void choiceBeforeThePageExistsTakesEffectWhenItLoads();
    void everyAppearanceMakesOneMapWithOneFreshMark();
    void backButtonLogsAndAsksForTheList();
    void positionTextsThatAreNoNumbersGiveZero();

private:
    std::unique_ptr<MineFixture> m_fx;
};

void tst_AllOfMinePages3::init()
{
    m_fx = std::make_unique<MineFixture>();
}

void tst_AllOfMinePages3::cleanup()
{
    m_fx.reset();
}

void tst_AllOfMinePages3::mapAndBackButtonTakeTheirFramesFromThePage()
{
    auto* page = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QCOMPARE(page->size(), QSize(320, 497));
    QCOMPARE(page->mapView()->frameRect(), QRectF(0, 0, 320, 363.875));
    QCOMPARE(page->backButton()->geometry(), QRect(19, 49, 26, 26));
    QCOMPARE(AllOfMinePages3::backButtonFrame(QSizeF(720, 1120)), QRect(42, 110, 60, 60));
    // Odd sides: the half side is taken before the truncation.
    QCOMPARE(AllOfMinePages3::backButtonFrame(QSizeF(375, 581)), QRect(21, 56, 31, 31));
    QVERIFY(page->backButton()->geometry().intersects(page->mapView()->geometry()));
    QVERIFY(page->children().indexOf(page->backButton()) >
            page->children().indexOf(page->mapView()));
    QVERIFY(m_fx->log.contains("地图"));
}

void tst_AllOfMinePages3::cellindexZeroShowsTheRiderRankedFirst()
{
    MineFixture::rider("first", "1", "16", "22.5", "114.0625");
    MineFixture::rider("second", "2");
    auto* page = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QVERIFY(m_fx->log.contains("UpdateData database_cellindex:1"));
    QCOMPARE(page->username()->text(), QStringLiteral("first- 骑士 16级"));
    QCOMPARE(page->paiming()->text(), QStringLiteral("本周排名 NO.1"));
    QCOMPARE(page->weixin()->text(), QStringLiteral("微信名 : wx_first"));
    QCOMPARE(page->poslat(), 22.5f);
    QCOMPARE(page->poslng(), 114.0625f);
    QVERIFY(MineFixture::near(page->mapView()->centerCoordinate(), MapCoordinate{22.5, 114.0625}));
    const QList<MapAnnotationPtr> marks = page->mapView()->annotations();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.first()->coordinate(), (MapCoordinate{22.5, 114.0625}));
}

void tst_AllOfMinePages3::twoRidersOfOneRankShowTheFirstTheCacheReturns()
{
    MineFixture::rider("dropped", "2", "4", "10.5", "20.5");
    MineFixture::rider("current", "2", "9", "11.5", "21.5");
    MineFixture::set("cellindex", "2");
    const RiderInfo first = MyPaiMingInfo::GetValue("2").first();
    auto* page = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QCOMPARE(page->username()->text(), first.username + "- 骑士 " + first.level + "级");
    QCOMPARE(page->poslat(), first.lat.toFloat());
}

void tst_AllOfMinePages3::rankNobodyHoldsLeavesThePageAsItWas()
{
    MineFixture::rider("third", "3", "9", "30.5", "120.25");
    MineFixture::set("cellindex", "3");
    auto* page = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QCOMPARE(page->paiming()->text(), QStringLiteral("本周排名 NO.3"));

    MineFixture::set("cellindex", "42");
    page->UpdateData();
    QVERIFY(m_fx->log.contains("UpdateData database_cellindex:42"));
    QCOMPARE(page->username()->text(), QStringLiteral("third- 骑士 9级"));
    QCOMPARE(page->paiming()->text(), QStringLiteral("本周排名 NO.3"));
    QCOMPARE(page->poslat(), 30.5f);
    MineFixture::setAppeared(page, false);
    MineFixture::setAppeared(page, true);
    QVERIFY(MineFixture::near(page->mapView()->centerCoordinate(), MapCoordinate{30.5, 120.25}));
}

void tst_AllOfMinePages3::neverMatchedCentresOnZeroZero()
{
    MineFixture::rider("other", "2");
    auto* page = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QCOMPARE(page->username()->text(), QString());
    QVERIFY(MineFixture::near(page->mapView()->centerCoordinate(), MapCoordinate{0, 0}));
    QCOMPARE(page->mapView()->annotations().size(), 1);
}

void tst_AllOfMinePages3::choiceBeforeThePageExistsTakesEffectWhenItLoads()
{
    MineFixture::rider("fifth", "5", "3", "40.125", "-3.5");
    MineFixture::set("cellindex", "5");
    auto* page = m_fx->storyboard->instantiate<AllOfMinePages3>("AllOfMinePages3");
    page->UpdateData();
    QCOMPARE(page->poslat(), 40.125f);
    QCOMPARE(page->poslng(), -3.5f);
    QVERIFY(!page->username());
    page->setParent(&m_fx->host);
    page->setBaseGeometry(QRect(0, 0, 320, 497));
    page->loadViewIfNeeded();
    QCOMPARE(page->username()->text(), QStringLiteral("fifth- 骑士 3级"));
    QCOMPARE(m_fx->log.count("UpdateData database_cellindex:5"), 2);
}

void tst_AllOfMinePages3::everyAppearanceMakesOneMapWithOneFreshMark()
{
    MineFixture::rider("first", "1", "12");
    auto* page = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    page->mapView()->finishAnimations();
    QPointer<MapView> firstMap = page->mapView();
    QPointer<Button> firstButton = page->backButton();
    auto* mark = qobject_cast<CustomAnnotationView*>(
        firstMap->viewForAnnotation(firstMap->annotations().value(0)));
    QVERIFY(mark);
    QCOMPARE(mark->reuseIdentifier(), QStringLiteral("customReuseIndetifier"));
    QVERIFY(!mark->canShowCallout());
    QVERIFY(mark->isDraggable());
    QCOMPARE(mark->calloutOffset(), QPointF(0, -5));
    QCOMPARE(mark->backgroundName(), QStringLiteral("biggreenbg3.png"));

    // A new choice and a new appearance: a new map, a new mark of the new rider.
    MineFixture::rider("second", "2", "18");
    MineFixture::set("cellindex", "2");
    page->UpdateData();
    MineFixture::setAppeared(page, false);
    MineFixture::setAppeared(page, true);
    QVERIFY(!firstMap);
    QVERIFY(!firstButton);
    QCOMPARE(page->findChildren<MapView*>().size(), 1);
    QCOMPARE(page->findChildren<Button*>().size(), 1);
    QCOMPARE(page->mapView()->annotations().size(), 1);
    page->mapView()->finishAnimations();
    auto* fresh = qobject_cast<CustomAnnotationView*>(
        page->mapView()->viewForAnnotation(page->mapView()->annotations().value(0)));
    QVERIFY(fresh);
    QCOMPARE(fresh->backgroundName(), QStringLiteral("biggreenbg4.png"));
}

void tst_AllOfMinePages3::backButtonLogsAndAsksForTheList()
{
    auto* page = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QList<QObject*> senders;
    m_fx->app.delegate->defaultCenter().addObserver(
        "AllOfMinePages3ToAllOfMinePages2",
        [&senders](const Notification& note) { senders.append(note.object); });
    page->backButton()->click();
    QCOMPARE(senders, QList<QObject*>{page});
    QVERIFY(m_fx->log.contains("点击了返回按钮"));
}

void tst_AllOfMinePages3::positionTextsThatAreNoNumbersGiveZero()
{
    MineFixture::rider("lost", "1", "3", "north", "");
    auto* page = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QCOMPARE(page->poslat(), 0.0f);
    QCOMPARE(page->poslng(), 0.0f);
    QCOMPARE(page->username()->text(), QStringLiteral("lost- 骑士 3级"));
}

QTEST_MAIN(tst_AllOfMinePages3)
#include "tst_AllOfMinePages3.moc"
