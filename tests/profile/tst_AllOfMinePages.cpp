#include "MineFixture.h"

#include "app/AppDelegate.h"
#include "platform/map/MapView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/profile/AllOfMinePages1.h"
#include "screens/profile/AllOfMinePages2.h"
#include "screens/profile/AllOfMinePages3.h"
#include "support/Widgets.h"
#include "views/CustomAnnotationView.h"

#include <QLabel>
#include <QtTest>

// The profile section's pages, each on its own: the profile filled once from the settings,
// the ranking list with rows filled from the cache as they come into view, and the ranking
// map of the chosen rider; each with its arrow or button to the next page.
class tst_AllOfMinePages : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void headersShowTheSettingsAsTheyWereWhenLoaded();
    void arrowsAndBackButtonAskForTheNextPage();
    void rowsShowWhoHoldsTheirRankWhenTheyComeIntoView();
    void rankWithoutARiderShowsItsNumberOnly();
    void rowCountIsFixedWhenTheTableFirstLoads();
    void mapUnderTheBackButtonCentresOnZeroZeroBeforeAnyMatch();
    void cellindexZeroShowsTheRiderRankedFirst();
    void choiceBeforeLoadingCountsAndARankNobodyHoldsChangesNothing();
    void everyAppearanceMakesOneMapWithOneFreshMark();

private:
    TableView* table() const { return child<TableView>(&m_fx->host, "tableView"); }
    // The text the row's label `name` shows; "-" for a row not in view.
    QString row(int index, const char* name) const;
    static QString text(QObject* page, const char* name)
    {
        return child<QLabel>(page, name)->text();
    }
    static MapView* map(QObject* page) { return child<MapView>(page, "mapView"); }

    std::unique_ptr<MineFixture> m_fx;
};

void tst_AllOfMinePages::init()
{
    m_fx = std::make_unique<MineFixture>();
}

void tst_AllOfMinePages::cleanup()
{
    m_fx.reset();
}

QString tst_AllOfMinePages::row(int index, const char* name) const
{
    TableViewCell* cell = table()->cellForRow(index);
    return cell ? child<QLabel>(cell, name)->text() : QStringLiteral("-");
}

void tst_AllOfMinePages::headersShowTheSettingsAsTheyWereWhenLoaded()
{
    MyBasicInfo::SetValue("localusername", "rider01");
    MyBasicInfo::SetValue("levelname", "骑士");
    MyBasicInfo::SetValue("level", "12");
    MyBasicInfo::SetValue("jifen", "1530");
    MyBasicInfo::SetValue("paiming", "4");
    MyBasicInfo::SetValue("totallicheng", "812.5");
    auto* profile = m_fx->page<AllOfMinePages1>("AllOfMinePages1");
    auto* list = m_fx->page<AllOfMinePages2>("AllOfMinePages2");
    for (QWidget* page : {static_cast<QWidget*>(profile), static_cast<QWidget*>(list)}) {
        QCOMPARE(text(page, "username"), QStringLiteral("rider01"));
        QCOMPARE(text(page, "levelname"), QStringLiteral("骑士 12级"));
        QCOMPARE(text(page, "paiming"), QStringLiteral("NO.4"));
    }
    QCOMPARE(text(profile, "jifen"), QStringLiteral("1530"));
    QCOMPARE(text(profile, "totallicheng"), QStringLiteral("812.5"));
    QCOMPARE(child<ImageView>(profile, "touxiangimage")->image(),
             Images::named("touxiangsmall.png"));
    // Later changes of the settings do not reach the page while it lives.
    MyBasicInfo::SetValue("paiming", "1");
    MineFixture::setAppeared(profile, false);
    MineFixture::setAppeared(profile, true);
    QCOMPARE(text(profile, "paiming"), QStringLiteral("NO.4"));
}

void tst_AllOfMinePages::arrowsAndBackButtonAskForTheNextPage()
{
    using Heard = QList<QPair<QString, QObject*>>;
    Heard heard;
    const QStringList names = {"AllOfMinePages1ToAllOfMinePages2",
                               "AllOfMinePages2ToAllOfMinePages1",
                               "AllOfMinePages3ToAllOfMinePages2"};
    for (const QString& name : names) {
        m_fx->app.delegate->defaultCenter().addObserver(name,
                                                        [&heard, name](const Notification& note) {
                                                            heard.append({name, note.object});
                                                        });
    }
    auto* profile = m_fx->page<AllOfMinePages1>("AllOfMinePages1");
    auto* list = m_fx->page<AllOfMinePages2>("AllOfMinePages2");
    auto* ranked = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    child<ImageView>(profile, "leftimage")->tapRecognizer()->tap();
    child<ImageView>(list, "rightimage")->tapRecognizer()->tap();
    child<Button>(ranked, "backButton")->click();
    QCOMPARE(heard, (Heard{{names[0], profile}, {names[1], list}, {names[2], ranked}}));
}

void tst_AllOfMinePages::rowsShowWhoHoldsTheirRankWhenTheyComeIntoView()
{
    for (int rank = 1; rank <= 30; ++rank)
        MineFixture::rider(QStringLiteral("r%1").arg(rank), QString::number(rank),
                           QString::number(rank + 4));
    m_fx->page<AllOfMinePages2>("AllOfMinePages2");
    // 497 - 300/1120 of it leaves 363.875 points: rows 0 to 6 are in sight.
    QCOMPARE(table()->visibleRows(), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(row(0, "paiming"), QStringLiteral("NO.1"));
    QCOMPARE(row(0, "username"), QStringLiteral("r1"));
    QCOMPARE(row(6, "levelname"), QStringLiteral("骑士 11级"));
    QCOMPARE(child<ImageView>(table()->cellForRow(6), "cellimage")->image(),
             Images::named("touxiangsmall.png"));

    // The rider of rank 1 moves down while the row is out of view; back in view, the row
    // shows whoever holds the rank now.
    table()->setContentOffset(table()->maximumContentOffset());
    QCOMPARE(row(0, "username"), QStringLiteral("-"));
    QCOMPARE(row(29, "username"), QStringLiteral("r30"));
    MyPaiMingInfo::CheckAdd("r1", "7", "骑士", "31", "", "0", "0", "");
    MyPaiMingInfo::CheckAdd("renamed", "20", "大师", "1", "", "0", "0", "");
    table()->setContentOffset(0);
    QCOMPARE(row(0, "username"), QStringLiteral("renamed"));
    QCOMPARE(row(0, "levelname"), QStringLiteral("大师 20级"));
}

void tst_AllOfMinePages::rankWithoutARiderShowsItsNumberOnly()
{
    // Rank 1 twice (both counted), rank 2, then rank 5: four rows, ranks 3 and 4 empty.
    MineFixture::rider("old", "1");
    MineFixture::rider("new", "1");
    MineFixture::rider("b", "2");
    MineFixture::rider("e", "5");
    m_fx->page<AllOfMinePages2>("AllOfMinePages2");
    QCOMPARE(table()->numberOfRows(), 4);
    QCOMPARE(row(0, "username"), MyPaiMingInfo::GetValue("1").first().username);
    QCOMPARE(row(2, "paiming"), QStringLiteral("NO.3"));
    QCOMPARE(row(2, "username"), QString());
    QCOMPARE(row(2, "levelname"), QString());

    // Also when the cell last showed a rider in another row.
    for (int rank = 6; rank <= 30; ++rank)
        MineFixture::rider(QStringLiteral("r%1").arg(rank), QString::number(rank));
    table()->reloadData();
    table()->setContentOffset(10 * 60);
    table()->setContentOffset(0);
    QCOMPARE(row(2, "paiming"), QStringLiteral("NO.3"));
    QCOMPARE(row(2, "username"), QString());
    QVERIFY(child<ImageView>(table()->cellForRow(2), "cellimage")->image().isNull());
}

void tst_AllOfMinePages::rowCountIsFixedWhenTheTableFirstLoads()
{
    MineFixture::rider("a", "1");
    MineFixture::rider("unranked", "0");
    // Loaded while not on display, as the pager loads a page it has not shown yet.
    auto* page = m_fx->storyboard->instantiate<AllOfMinePages2>("AllOfMinePages2");
    page->setParent(&m_fx->host);
    page->setBaseGeometry(QRect(0, 0, 320, 497));
    page->loadViewIfNeeded();
    QVERIFY(!table()->hasLoadedRows());
    // Riders added before the table is first shown are counted; later ones are not.
    MineFixture::rider("b", "2");
    page->show();
    QCOMPARE(table()->numberOfRows(), 2);
    MineFixture::rider("c", "3");
    page->hide();
    page->show();
    table()->setContentOffset(100);
    QCOMPARE(table()->numberOfRows(), 2);
}

void tst_AllOfMinePages::mapUnderTheBackButtonCentresOnZeroZeroBeforeAnyMatch()
{
    MineFixture::rider("other", "2");
    auto* shown = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    auto* back = child<Button>(shown, "backButton");
    QCOMPARE(map(shown)->frameRect(), QRectF(0, 0, 320, 363.875));
    QCOMPARE(back->geometry(), QRect(19, 49, 26, 26));
    QCOMPARE(AllOfMinePages3::backButtonFrame(QSizeF(720, 1120)), QRect(42, 110, 60, 60));
    // Odd sides: the half side is taken before the truncation.
    QCOMPARE(AllOfMinePages3::backButtonFrame(QSizeF(375, 581)), QRect(21, 56, 31, 31));
    QVERIFY(shown->children().indexOf(back) > shown->children().indexOf(map(shown)));
    QCOMPARE(text(shown, "username"), QString());
    QVERIFY(MineFixture::near(map(shown)->centerCoordinate(), MapCoordinate{0, 0}));
    QCOMPARE(map(shown)->annotations().size(), 1);
}

void tst_AllOfMinePages::cellindexZeroShowsTheRiderRankedFirst()
{
    // Two riders of one rank: the first the cache returns is shown.
    MineFixture::rider("first", "1", "16", "22.5", "114.0625");
    MineFixture::rider("later", "1", "4", "10.5", "20.5");
    MineFixture::rider("second", "2");
    const RiderInfo first = MyPaiMingInfo::GetValue("1").first();
    auto* shown = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QCOMPARE(text(shown, "username"), first.username + "- 骑士 " + first.level + "级");
    QCOMPARE(text(shown, "paiming"), QStringLiteral("本周排名 NO.1"));
    QCOMPARE(text(shown, "weixin"), "微信名 : wx_" + first.username);
    const MapCoordinate at{first.lat.toDouble(), first.lng.toDouble()};
    QVERIFY(MineFixture::near(map(shown)->centerCoordinate(), at));
    const QList<MapAnnotationPtr> marks = map(shown)->annotations();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.first()->coordinate(), at);
}

void tst_AllOfMinePages::choiceBeforeLoadingCountsAndARankNobodyHoldsChangesNothing()
{
    MineFixture::rider("fifth", "5", "3", "40.125", "-3.5");
    MyBasicInfo::SetValue("cellindex", "5");
    auto* early = m_fx->storyboard->instantiate<AllOfMinePages3>("AllOfMinePages3");
    early->UpdateData();
    early->setParent(&m_fx->host);
    early->setBaseGeometry(QRect(0, 0, 320, 497));
    early->loadViewIfNeeded();
    MineFixture::setAppeared(early, true);
    QCOMPARE(text(early, "username"), QStringLiteral("fifth- 骑士 3级"));
    MyBasicInfo::SetValue("cellindex", "42");
    early->UpdateData();
    QCOMPARE(text(early, "paiming"), QStringLiteral("本周排名 NO.5"));
    MineFixture::setAppeared(early, false);
    MineFixture::setAppeared(early, true);
    QVERIFY(MineFixture::near(map(early)->centerCoordinate(), MapCoordinate{40.125, -3.5}));
}

void tst_AllOfMinePages::everyAppearanceMakesOneMapWithOneFreshMark()
{
    MineFixture::rider("first", "1", "12");
    MineFixture::rider("second", "2", "18", "10.5", "20.5");
    auto* shown = m_fx->page<AllOfMinePages3>("AllOfMinePages3");
    QPointer<MapView> firstMap = map(shown);
    MyBasicInfo::SetValue("cellindex", "2");
    shown->UpdateData();
    MineFixture::setAppeared(shown, false);
    MineFixture::setAppeared(shown, true);
    QVERIFY(!firstMap);
    QCOMPARE(shown->findChildren<MapView*>().size(), 1);
    QCOMPARE(shown->findChildren<Button*>().size(), 1);
    map(shown)->finishAnimations();
    const QList<MapAnnotationPtr> marks = map(shown)->annotations();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.first()->coordinate(), (MapCoordinate{10.5, 20.5}));
    auto* mark = qobject_cast<CustomAnnotationView*>(map(shown)->viewForAnnotation(marks.first()));
    QVERIFY(mark && !mark->canShowCallout());
    QCOMPARE(mark->backgroundName(), QStringLiteral("biggreenbg4.png"));
}

QTEST_MAIN(tst_AllOfMinePages)
#include "tst_AllOfMinePages.moc"
