#include "MineFixture.h"

#include "app/AppDelegate.h"
#include "platform/map/MapView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/profile/AllOfMinePages2.h"
#include "screens/profile/AllOfMinePages3.h"
#include "screens/profile/ViewControllerMine.h"
#include "support/Widgets.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QLabel>
#include <QtTest>

using Direction = PageViewController::NavigationDirection;

// The profile section: its pages and pager, the page changes asked for by notifications, the
// ranking countdown and the merge of each answer into the ranking cache.
class tst_ViewControllerMine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void notificationsSwitchPagesForwardWithoutAnimation();
    void choosingTheThirdRowShowsThatRiderOnTheMap();
    void tabsLeaveTheSectionWhichLetsGoOfItsObservers();

    void hiddenSectionKeepsItsCountdownAndTicksAtOnceWhenShown();

private:
    ViewControllerMine* start();
    void waitForAnswer();
    // Started, shown, and holding the simulator's ranking.
    ViewControllerMine* startWithRanking();
    PageViewController* pager() const
    {
        return child<PageViewController>(m_mine, "pageViewController");
    }
    template <class Page> Page* shown() const
    {
        return qobject_cast<Page*>(pager()->visiblePage());
    }

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

void tst_ViewControllerMine::notificationsSwitchPagesForwardWithoutAnimation()
{
    QVERIFY(startWithRanking());
    QCOMPARE(pager()->geometry(), QRect(0, 0, 320, 497));
    QVERIFY(!pager()->beginSwipe(Direction::Reverse));
    NotificationCenter& center = m_fx->app.delegate->defaultCenter();
    const QList<QPair<QString, QString>> steps = {
        {"AllOfMinePages1ToAllOfMinePages2", "AllOfMinePages2"},
        {"AllOfMinePages2ToAllOfMinePages1", "AllOfMinePages1"},
        {"Notification_GetUserProfileSuccess", "AllOfMinePages3"},
        {"AllOfMinePages3ToAllOfMinePages2", "AllOfMinePages2"},
    };
    for (const auto& [name, page] : steps) {
        center.post(name, nullptr);
        QCOMPARE(pager()->visiblePage()->identifier(), page);
        QCOMPARE(pager()->lastDirection(), Direction::Forward);
        QVERIFY(!pager()->lastAnimated());
    }
    QCOMPARE(m_fx->log.count("changePage"), 1);
    // Swipes reach the ranking map and stop there.
    QVERIFY(pager()->beginSwipe(Direction::Forward));
    pager()->endSwipe(true);
    QCOMPARE(pager()->visiblePage()->identifier(), QStringLiteral("AllOfMinePages3"));
    QVERIFY(!pager()->beginSwipe(Direction::Forward));
}

void tst_ViewControllerMine::choosingTheThirdRowShowsThatRiderOnTheMap()
{
    QVERIFY(startWithRanking());
    const RiderInfo third = MyPaiMingInfo::GetValue("3").value(0);
    QVERIFY(!third.username.isEmpty());
    m_fx->app.delegate->defaultCenter().post("AllOfMinePages1ToAllOfMinePages2");
    auto* table = child<TableView>(shown<AllOfMinePages2>(), "tableView");
    QCOMPARE(table->numberOfRows(), 50);

    table->tapAt(QPointF(10, 2 * AllOfMinePages2::RowHeight + 5));
    QCOMPARE(MyBasicInfo::GetValue("cellindex"), QStringLiteral("3"));
    QVERIFY(!table->cellForRow(2)->showsHighlight());
    auto* map = shown<AllOfMinePages3>();
    QVERIFY(map);
    QCOMPARE(child<QLabel>(map, "paiming")->text(), QStringLiteral("本周排名 NO.3"));
    QVERIFY(child<QLabel>(map, "username")->text().startsWith(third.username + "- "));
    QVERIFY(MineFixture::near(child<MapView>(map, "mapView")->centerCoordinate(),
                              MapCoordinate{third.lat.toFloat(), third.lng.toFloat()}));
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
    child<ImageView>(m_mine, "SetImage")->tapRecognizer()->tap();
    QCOMPARE(segues.count(), 1);
    QCOMPARE(segues.at(0).at(0).toString(), QStringLiteral("MineToSet"));
    QCOMPARE(m_fx->log.count("Mine释放"), 1);
    for (const char* name :
         {"Notification_GetUserProfileSuccess", "AllOfMinePages1ToAllOfMinePages2",
          "AllOfMinePages2ToAllOfMinePages1", "AllOfMinePages3ToAllOfMinePages2"})
        QCOMPARE(center.observerCount(name), 0);
    center.post("AllOfMinePages1ToAllOfMinePages2");
    QTRY_VERIFY(!m_mine);

    // The position tab of a new section leads to the position section.
    QVERIFY(start());
    child<ImageView>(m_mine, "PosImage")->tapRecognizer()->tap();
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

    MineFixture::setAppeared(m_mine, true);
    m_fx->loop.runDue();
    QCOMPARE(m_mine->rankingFeed()->PaiMingCount(), qint64(3589));
}

QTEST_MAIN(tst_ViewControllerMine)
#include "tst_ViewControllerMine.moc"
