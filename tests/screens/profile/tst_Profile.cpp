#include "support/ScreenHarness.h"

#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "screens/profile/AllOfMinePages1.h"
#include "screens/profile/AllOfMinePages2.h"
#include "screens/profile/AllOfMinePages3.h"
#include "screens/profile/ViewControllerMine.h"
#include "store/MyPaiMingInfo.h"
#include "views/CustomAnnotationView.h"

namespace {

// A cached rider; the name doubles as WeChat name with a prefix.
void rider(const QString& username, const QString& paiming, const QString& level = "7",
           const QString& lat = "31.25", const QString& lng = "121.5")
{
    MyPaiMingInfo::CheckAdd(username, level, "骑士", paiming, QString(), lat, lng,
                            "wx_" + username);
}

MapView* map(QObject* page)
{
    return child<MapView>(page, "mapView");
}

} // namespace

// The profile section and its pages: the profile filled once from the settings, the ranking
// list with rows filled from the cache as they come into view, the ranking map of the chosen
// rider, and the section's pager, tabs and ranking countdown.
class tst_Profile : public QObject
{
    Q_OBJECT

private slots:
    void init() { h.emplace(QStringLiteral("86000001"), QSize(320, 568)); }
    void cleanup();

    void headersShowTheSettingsAsTheyWereWhenLoaded();
    void rowsShowWhoHoldsTheirRankWhenTheyComeIntoView();
    void rowsAreCountedOnceAndARankWithoutARiderShowsItsNumberOnly();
    void rankingMapOfTheChosenRider();
    void everyAppearanceMakesOneMapWithOneMarkOfTheChosenRider();
    void arrowsAndChoicesSwitchPagesForwardWithoutAnimation();
    void hiddenSectionKeepsItsCountdownAndItsTabsLetGoOfIt();

private:
    TableView* table() const { return child<TableView>(&h->host, "tableView"); }
    // The text the row's label `name` shows; "-" for a row not in view.
    QString row(int index, const char* name) const
    {
        TableViewCell* cell = table()->cellForRow(index);
        return cell ? H::text(cell, name) : QStringLiteral("-");
    }
    // The section started, shown, and holding the simulator's ranking.
    ViewControllerMine* start()
    {
        h->storyboard->registerScreen<Screen>("ViewControllerSet");
        h->storyboard->registerScreen<Screen>("ViewControllerPos");
        m_mine = h->start<ViewControllerMine>();
        h->loop.runDue();
        const bool answered = H::waitFor([this] { return !inFlight(); });
        return answered && MyPaiMingInfo::GetCount() > 0 ? m_mine.data() : nullptr;
    }
    bool inFlight() const { return m_mine && m_mine->rankingFeed()->isRequestInFlight(); }
    PageViewController* pager() const
    {
        return child<PageViewController>(m_mine, "pageViewController");
    }

    std::optional<H> h;
    QPointer<ViewControllerMine> m_mine;
};

void tst_Profile::cleanup()
{
    // Answers still due keep their section alive; let them land before the store goes.
    QVERIFY(H::waitFor([this] { return !inFlight(); }));
    h.reset();
}

void tst_Profile::headersShowTheSettingsAsTheyWereWhenLoaded()
{
    H::set("localusername", "rider01");
    H::set("levelname", "骑士");
    H::set("level", "12");
    H::set("jifen", "1530");
    H::set("paiming", "4");
    H::set("totallicheng", "812.5");
    auto* profile = h->page<AllOfMinePages1>();
    auto* list = h->page<AllOfMinePages2>();
    for (QWidget* page : {static_cast<QWidget*>(profile), static_cast<QWidget*>(list)}) {
        QCOMPARE(H::text(page, "username"), QString("rider01"));
        QCOMPARE(H::text(page, "levelname"), QString("骑士 12级"));
        QCOMPARE(H::text(page, "paiming"), QString("NO.4"));
    }
    QCOMPARE(H::text(profile, "jifen"), QString("1530"));
    QCOMPARE(H::text(profile, "totallicheng"), QString("812.5"));
    QCOMPARE(child<ImageView>(profile, "touxiangimage")->image(),
             Images::named("touxiangsmall.png"));
    // Later changes of the settings do not reach the page while it lives.
    H::set("paiming", "1");
    H::setAppeared(profile, false);
    H::setAppeared(profile, true);
    QCOMPARE(H::text(profile, "paiming"), QString("NO.4"));
}

void tst_Profile::rowsShowWhoHoldsTheirRankWhenTheyComeIntoView()
{
    for (int rank = 1; rank <= 30; ++rank)
        rider(QString("r%1").arg(rank), QString::number(rank), QString::number(rank + 4));
    h->page<AllOfMinePages2>();
    QCOMPARE(row(0, "paiming"), QString("NO.1"));
    QCOMPARE(row(0, "username"), QString("r1"));
    QCOMPARE(row(5, "levelname"), QString("骑士 10级"));
    QCOMPARE(child<ImageView>(table()->cellForRow(5), "cellimage")->image(),
             Images::named("touxiangsmall.png"));

    // The rider of rank 1 moves down while the row is out of view; back in view, the row
    // shows whoever holds the rank now.
    table()->setContentOffset(table()->maximumContentOffset());
    QCOMPARE(row(0, "username"), QString("-"));
    QCOMPARE(row(29, "username"), QString("r30"));
    MyPaiMingInfo::CheckAdd("r1", "7", "骑士", "31", "", "0", "0", "");
    MyPaiMingInfo::CheckAdd("renamed", "20", "大师", "1", "", "0", "0", "");
    table()->setContentOffset(0);
    QCOMPARE(row(0, "username"), QString("renamed"));
    QCOMPARE(row(0, "levelname"), QString("大师 20级"));
}

void tst_Profile::rowsAreCountedOnceAndARankWithoutARiderShowsItsNumberOnly()
{
    // Rank 1 twice (both counted), rank 2, then rank 5: four rows, ranks 3 and 4 empty.
    rider("old", "1");
    rider("new", "1");
    rider("unranked", "0");
    // Loaded while not on display, as the pager loads a page it has not shown yet.
    auto* page = h->page<AllOfMinePages2>(false);
    QVERIFY(!table()->hasLoadedRows());
    // Riders added before the table is first shown are counted; later ones are not.
    rider("b", "2");
    rider("e", "5");
    page->show();
    QCOMPARE(table()->numberOfRows(), 4);
    rider("f", "6");
    page->hide();
    page->show();
    table()->setContentOffset(100);
    QCOMPARE(table()->numberOfRows(), 4);
    table()->setContentOffset(0);
    QCOMPARE(row(0, "username"), MyPaiMingInfo::GetValue("1").first().username);
    QCOMPARE(row(2, "paiming"), QString("NO.3"));
    QCOMPARE(row(2, "username"), QString());
    QCOMPARE(row(2, "levelname"), QString());

    // Also when the cell last showed a rider in another row.
    for (int rank = 7; rank <= 30; ++rank)
        rider(QString("r%1").arg(rank), QString::number(rank));
    table()->reloadData();
    table()->setContentOffset(10 * 60);
    table()->setContentOffset(0);
    QCOMPARE(row(2, "paiming"), QString("NO.3"));
    QCOMPARE(row(2, "username"), QString());
    QVERIFY(child<ImageView>(table()->cellForRow(2), "cellimage")->image().isNull());
}

void tst_Profile::rankingMapOfTheChosenRider()
{
    // Before any rider holds the chosen rank: an empty card over a map at 0, 0.
    rider("other", "2");
    auto* none = h->page<AllOfMinePages3>();
    QVERIFY(none->children().indexOf(child<Button>(none, "backButton")) >
            none->children().indexOf(map(none)));
    QCOMPARE(H::text(none, "username"), QString());
    QCOMPARE(H::places({map(none)->centerCoordinate()}), QStringList{"0.00000 0.00000"});
    QCOMPARE(map(none)->annotations().size(), 1);

    // Two riders of one rank: the first the cache returns is shown.
    rider("first", "1", "16", "22.5", "114.0625");
    rider("later", "1", "4", "10.5", "20.5");
    const RiderInfo first = MyPaiMingInfo::GetValue("1").first();
    auto* shown = h->page<AllOfMinePages3>();
    QCOMPARE(H::text(shown, "username"), first.username + "- 骑士 " + first.level + "级");
    QCOMPARE(H::text(shown, "paiming"), QString("本周排名 NO.1"));
    QCOMPARE(H::text(shown, "weixin"), "微信名 : wx_" + first.username);
    const MapCoordinate at{first.lat.toDouble(), first.lng.toDouble()};
    QCOMPARE(H::places({map(shown)->centerCoordinate()}), H::places({at}));
    QCOMPARE(map(shown)->annotations().size(), 1);
    QCOMPARE(map(shown)->annotations().first()->coordinate(), at);
}

void tst_Profile::everyAppearanceMakesOneMapWithOneMarkOfTheChosenRider()
{
    rider("first", "1", "18");
    rider("fifth", "5", "3", "40.125", "-3.5");
    // A choice made before the page loads counts.
    H::set("cellindex", "5");
    auto* early = h->storyboard->instantiate<AllOfMinePages3>("AllOfMinePages3");
    early->UpdateData();
    early->setParent(&h->host);
    early->setBaseGeometry(QRect(0, 0, 320, 497));
    early->loadViewIfNeeded();
    H::setAppeared(early, true);
    QCOMPARE(H::text(early, "username"), QString("fifth- 骑士 3级"));
    QCOMPARE(H::places({map(early)->centerCoordinate()}), QStringList{"40.12500 -3.50000"});
    // A rank nobody holds changes nothing.
    H::set("cellindex", "42");
    early->UpdateData();
    QCOMPARE(H::text(early, "paiming"), QString("本周排名 NO.5"));

    QPointer<MapView> firstMap = map(early);
    H::set("cellindex", "1");
    early->UpdateData();
    H::setAppeared(early, false);
    H::setAppeared(early, true);
    QVERIFY(!firstMap);
    QCOMPARE(early->findChildren<MapView*>().size(), 1);
    QCOMPARE(early->findChildren<Button*>().size(), 1);
    map(early)->finishAnimations();
    const QList<MapAnnotationPtr> marks = map(early)->annotations();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.first()->coordinate(), (MapCoordinate{31.25, 121.5}));
    auto* mark = qobject_cast<CustomAnnotationView*>(map(early)->viewForAnnotation(marks.first()));
    QVERIFY(mark && !mark->canShowCallout());
    QCOMPARE(mark->backgroundName(), QString("biggreenbg4.png"));
}

void tst_Profile::arrowsAndChoicesSwitchPagesForwardWithoutAnimation()
{
    QVERIFY(start());
    QVERIFY(!pager()->beginSwipe(Direction::Reverse));
    const auto step = [this](const char* name, const char* page) {
        H::tap(pager()->visiblePage(), name);
        QCOMPARE(pager()->visiblePage()->identifier(), QString(page));
        QCOMPARE(pager()->lastDirection(), Direction::Forward);
        QVERIFY(!pager()->lastAnimated());
    };
    step("leftimage", "AllOfMinePages2");
    step("rightimage", "AllOfMinePages1");
    step("leftimage", "AllOfMinePages2");

    // Choosing the third row shows that rider on the map.
    const RiderInfo third = MyPaiMingInfo::GetValue("3").value(0);
    QVERIFY(!third.username.isEmpty());
    auto* list = child<TableView>(pager()->visiblePage(), "tableView");
    QCOMPARE(list->numberOfRows(), 50);
    list->tapAt(QPointF(10, 2 * AllOfMinePages2::RowHeight + 5));
    QCOMPARE(H::setting("cellindex"), QString("3"));
    QVERIFY(!list->cellForRow(2)->showsHighlight());
    Screen* shown = pager()->visiblePage();
    QCOMPARE(shown->identifier(), QString("AllOfMinePages3"));
    QCOMPARE(H::text(shown, "paiming"), QString("本周排名 NO.3"));
    QVERIFY(H::text(shown, "username").startsWith(third.username + "- "));
    QCOMPARE(H::places({map(shown)->centerCoordinate()}),
             H::places({{third.lat.toFloat(), third.lng.toFloat()}}));
    QVERIFY(!pager()->beginSwipe(Direction::Forward));
    step("backButton", "AllOfMinePages2");
    // A second choice reaches the map page made for the first.
    list->tapAt(QPointF(10, AllOfMinePages2::RowHeight + 5));
    QCOMPARE(H::text(pager()->visiblePage(), "paiming"), QString("本周排名 NO.2"));
}

void tst_Profile::hiddenSectionKeepsItsCountdownAndItsTabsLetGoOfIt()
{
    QVERIFY(start());
    h->loop.advanceSeconds(10);
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3590));
    H::setAppeared(m_mine, false);
    h->loop.advanceSeconds(7200);
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3590));
    H::setAppeared(m_mine, true);
    h->loop.runDue();
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3589));

    // A tab leaves the section, which lets go of its observers.
    NotificationCenter& center = h->app.delegate->defaultCenter();
    QCOMPARE(center.observerCount("Notification_GetUserProfileSuccess"), 1);
    H::tap(m_mine, "SetImage");
    QCOMPARE(h->segues, QStringList{"MineToSet"});
    for (const char* name :
         {"Notification_GetUserProfileSuccess", "AllOfMinePages1ToAllOfMinePages2",
          "AllOfMinePages2ToAllOfMinePages1", "AllOfMinePages3ToAllOfMinePages2"})
        QCOMPARE(center.observerCount(name), 0);
    center.post("AllOfMinePages1ToAllOfMinePages2");
    QVERIFY(H::waitFor([this] { return m_mine.isNull(); }));

    // The position tab of a new section leads to the position section.
    QVERIFY(start());
    H::tap(m_mine, "PosImage");
    QCOMPARE(h->segues.last(), QString("MineToPos"));
}

QTEST_MAIN(tst_Profile)
#include "tst_Profile.moc"
