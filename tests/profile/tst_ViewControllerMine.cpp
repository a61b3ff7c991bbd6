#include "MineFixture.h"

#include "app/AppDelegate.h"
#include "platform/Timer.h"
#include "platform/map/MapView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/profile/AllOfMinePages2.h"
#include "screens/profile/AllOfMinePages3.h"
#include "screens/profile/ViewControllerMine.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QtTest>

using Direction = PageViewController::NavigationDirection;

namespace {

const QString RankingScript = QStringLiteral("/TolvarGetPaiMingIOS.php");

} // namespace

// The profile section: its pages and pager, the page changes asked for by notifications, the
// ranking countdown and the merge of each answer into the ranking cache.
class tst_ViewControllerMine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsThreePagesUnderAPagerOfSevenEighths();
    void pagesBeforeTheFirstAndAfterTheLastAreNone();
    void notificationsSwitchPagesForwardWithoutAnimation();
    void choosingTheThirdRowShowsThatRiderOnTheMap();
    void tabsLeaveTheSectionWhichLetsGoOfItsObservers();

    void hiddenSectionKeepsItsCountdownAndTicksAtOnceWhenShown();
    void aNewSectionStartsItsCountdownAtZero();

private:
    ViewControllerMine* start();
    int rankingRequests() const;
    void waitForAnswer();
    // Started, shown, and holding the simulator's ranking.
    ViewControllerMine* startWithRanking();

    std::unique_ptr<DeviceServerSimulator> m_sim;
    std::unique_ptr<MineFixture> m_fx;
    QPointer<ViewControllerMine> m_mine;
};

void tst_ViewControllerMine::init()
{
    m_sim = std::make_unique<DeviceServerSimulator>();
    QVERIFY(m_sim->listen() != 0);
    m_fx = std::make_unique<MineFixture>();
    m_fx->app.delegate->setServerUrl(m_sim->baseUrl().toString());
    // The other sections are plain screens here: these tests are about leaving this one.
    m_fx->storyboard->registerScreen("ViewControllerSet", [] { return new Screen; });
    m_fx->storyboard->registerScreen("ViewControllerPos", [] { return new Screen; });
    m_fx->log.clear();
}

void tst_ViewControllerMine::cleanup()
{
    // Answers still due keep their section alive; let them land before the store goes.
    QTRY_VERIFY(!m_mine || !m_mine->rankingFeed()->isRequestInFlight());
    m_fx.reset();
    m_sim.reset();
}

ViewControllerMine* tst_ViewControllerMine::start()
{
    m_mine = qobject_cast<ViewControllerMine*>(m_fx->storyboard->start("ViewControllerMine"));
    return m_mine;
}

int tst_ViewControllerMine::rankingRequests() const
{
    // Counted as the app sends them; the simulator sees each a moment later.
    return int(m_fx->log.matching("urlString = ").filter(RankingScript).size());
}

void tst_ViewControllerMine::waitForAnswer()
{
    QTRY_VERIFY(!m_mine->rankingFeed()->isRequestInFlight());
}

ViewControllerMine* tst_ViewControllerMine::startWithRanking()
{
    if (!start())
        return nullptr;
    m_fx->loop.runDue();
    const bool answered =
        QTest::qWaitFor([this] { return !m_mine->rankingFeed()->isRequestInFlight(); }, 5000);
    return answered && MyPaiMingInfo::GetCount() > 0 ? m_mine.data() : nullptr;
}

void tst_ViewControllerMine::loadsThreePagesUnderAPagerOfSevenEighths()
{
    QVERIFY(start());
    QStringList ids;
    for (Screen* page : m_mine->AllOfMinePages())
        ids << page->identifier();
    QCOMPARE(ids, (QStringList{"AllOfMinePages1", "AllOfMinePages2", "AllOfMinePages3"}));
    PageViewController* pager = m_mine->pageViewController();
    QCOMPARE(pager->identifier(), QStringLiteral("PageViewControllerMine"));
    QCOMPARE(pager->geometry(), QRect(0, 0, 320, 497));
    QCOMPARE(pager->visiblePage(), m_mine->AllOfMinePages().at(0));
    QCOMPARE(pager->lastDirection(), Direction::Forward);
    QVERIFY(!pager->lastAnimated());
    QCOMPARE(m_mine->CurpageIndex(), quint64(0));
    QVERIFY(m_mine->rankingFeed()->timer()->repeats());
    QCOMPARE(m_mine->rankingFeed()->timer()->timeInterval(), 1.0);
    waitForAnswer();
}

void tst_ViewControllerMine::pagesBeforeTheFirstAndAfterTheLastAreNone()
{
    QVERIFY(start());
    const QList<Screen*>& pages = m_mine->AllOfMinePages();
    PageViewController* pager = m_mine->pageViewController();
    QCOMPARE(m_mine->viewControllerBeforeViewController(pager, pages[0]), nullptr);
    QCOMPARE(m_fx->log.count("mine11"), 1);
    QCOMPARE(m_mine->viewControllerAfterViewController(pager, pages[2]), nullptr);
    QCOMPARE(m_fx->log.count("mine22"), 1);
    QCOMPARE(m_mine->viewControllerBeforeViewController(pager, pages[2]), pages[1]);
    QCOMPARE(m_mine->viewControllerAfterViewController(pager, pages[0]), pages[1]);
    QCOMPARE(m_mine->viewControllerAfterViewController(pager, pages[1]), pages[2]);
    QCOMPARE(m_fx->log.count("mine11") + m_fx->log.count("mine22"), 2);

    // Swiping therefore reaches the map page and stops there.
    QVERIFY(pager->beginSwipe(Direction::Forward));
    pager->endSwipe(true);
    QVERIFY(pager->beginSwipe(Direction::Forward));
    pager->endSwipe(true);
    QCOMPARE(pager->visiblePage(), pages[2]);
    QVERIFY(!pager->beginSwipe(Direction::Forward));
    waitForAnswer();
}

void tst_ViewControllerMine::notificationsSwitchPagesForwardWithoutAnimation()
{
    QVERIFY(startWithRanking());
    NotificationCenter& center = m_fx->app.delegate->defaultCenter();
    PageViewController* pager = m_mine->pageViewController();
    const QList<Screen*>& pages = m_mine->AllOfMinePages();
    const QList<QPair<QString, int>> steps = {
        {"AllOfMinePages1ToAllOfMinePages2", 1},
        {"AllOfMinePages2ToAllOfMinePages1", 0},
        {"Notification_GetUserProfileSuccess", 2},
        {"AllOfMinePages3ToAllOfMinePages2", 1},
    };
    for (const auto& [name, index] : steps) {
        center.post(name, nullptr);
        QCOMPARE(pager->visiblePage(), pages[index]);
        QCOMPARE(pager->lastDirection(), Direction::Forward);
        QVERIFY(!pager->lastAnimated());
    }
    QCOMPARE(m_fx->log.count("changePage"), 1);
}

void tst_ViewControllerMine::choosingTheThirdRowShowsThatRiderOnTheMap()
{
    QVERIFY(startWithRanking());
    const RiderInfo third = MyPaiMingInfo::GetValue("3").value(0);
    QVERIFY(!third.username.isEmpty());
    m_fx->app.delegate->defaultCenter().post("AllOfMinePages1ToAllOfMinePages2");
    auto* list = qobject_cast<AllOfMinePages2*>(m_mine->AllOfMinePages().at(1));
    QVERIFY(list->tableView()->hasLoadedRows());
    QCOMPARE(list->tableView()->numberOfRows(), 50);

    list->tableView()->tapAt(QPointF(10, 2 * AllOfMinePages2::RowHeight + 5));
    QCOMPARE(MineFixture::value("cellindex"), QStringLiteral("3"));
    auto* map = qobject_cast<AllOfMinePages3*>(m_mine->AllOfMinePages().at(2));
    QCOMPARE(m_mine->pageViewController()->visiblePage(), map);
    QCOMPARE(map->paiming()->text(), QStringLiteral("本周排名 NO.3"));
    QVERIFY(map->username()->text().startsWith(third.username + "- "));
    QVERIFY(map->mapView());
    QVERIFY(MineFixture::near(map->mapView()->centerCoordinate(),
                              MapCoordinate{map->poslat(), map->poslng()}));
    QCOMPARE(map->poslat(), third.lat.toFloat());
    QCOMPARE(map->poslng(), third.lng.toFloat());
    // The choice is read before the page is shown, then the page says so.
    const QStringList lines = m_fx->log.lines();
    QVERIFY(lines.indexOf("UpdateData database_cellindex:3") < lines.indexOf("changePage"));
}

void tst_ViewControllerMine::tabsLeaveTheSectionWhichLetsGoOfItsObservers()
{
    QVERIFY(startWithRanking());
    NotificationCenter& center = m_fx->app.delegate->defaultCenter();
    QCOMPARE(center.observerCount("Notification_GetUserProfileSuccess"), 1);
    QCOMPARE(center.observerCount("AllOfMinePages3ToAllOfMinePages2"), 1);

    QSignalSpy segues(m_fx->storyboard.get(), &Storyboard::seguePerformed);
    m_mine->SetImage()->tapRecognizer()->tap();
    QCOMPARE(segues.count(), 1);
    QCOMPARE(segues.at(0).at(0).toString(), QStringLiteral("MineToSet"));
    QCOMPARE(m_fx->log.count("Mine释放"), 1);
    QCOMPARE(center.observerCount("Notification_GetUserProfileSuccess"), 0);
    QCOMPARE(center.observerCount("AllOfMinePages1ToAllOfMinePages2"), 0);
    QCOMPARE(center.observerCount("AllOfMinePages2ToAllOfMinePages1"), 0);
    QCOMPARE(center.observerCount("AllOfMinePages3ToAllOfMinePages2"), 0);
    center.post("AllOfMinePages1ToAllOfMinePages2");
    QTRY_VERIFY(!m_mine);

    // The position tab of a new section leads to the position section.
    QVERIFY(start());
    m_mine->PosImage()->tapRecognizer()->tap();
    QCOMPARE(segues.last().at(0).toString(), QStringLiteral("MineToPos"));
}

void tst_ViewControllerMine::hiddenSectionKeepsItsCountdownAndTicksAtOnceWhenShown()
{
    QVERIFY(start());
    m_fx->loop.runDue();
    waitForAnswer();
    m_fx->loop.advanceSeconds(10);
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3590));

    MineFixture::setAppeared(m_mine, false);
    m_fx->loop.advanceSeconds(7200);
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3590));
    QCOMPARE(rankingRequests(), 1);

    MineFixture::setAppeared(m_mine, true);
    m_fx->loop.runDue();
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3589));
    m_fx->loop.advance(999);
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3589));
    m_fx->loop.advance(1);
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3588));
}

void tst_ViewControllerMine::aNewSectionStartsItsCountdownAtZero()
{
    QVERIFY(start());
    m_fx->loop.runDue();
    waitForAnswer();
    QPointer<ViewControllerMine> first = m_mine;
    QVERIFY(m_fx->storyboard->performSegue(m_mine, "MineToSet"));
    QTRY_VERIFY(!first);

    m_mine = qobject_cast<ViewControllerMine*>(
        m_fx->storyboard->instantiateViewControllerWithIdentifier("ViewControllerMine"));
    m_mine->setParent(&m_fx->host);
    m_mine->loadViewIfNeeded();
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(0));
    MineFixture::setAppeared(m_mine, true);
    m_fx->loop.runDue();
    QCOMPARE(rankingRequests(), 2);
    waitForAnswer();
    delete m_mine.data();
}

QTEST_MAIN(tst_ViewControllerMine)
#include "tst_ViewControllerMine.moc"
