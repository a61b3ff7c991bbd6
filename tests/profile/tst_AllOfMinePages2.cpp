#include "MineFixture.h"

#include "app/AppDelegate.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/profile/AllOfMinePages2.h"
#include "screens/profile/CustomTableViewCell.h"

#include <QLabel>
#include <QtTest>

// The ranking list page: its header, rows filled from the ranking cache as they come into
// view, and the choice of a rider.
class tst_AllOfMinePages2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void headerFollowsTheSettingsAndItsArrowLeadsBack();
    void rowsShowRankAvatarNameAndLevel();
    void rankWithoutARiderShowsItsNumberOnly();
    void twoRidersOfOneRankShowTheFirstTheCacheReturns();
    void rowCountIsFixedWhenTheTableFirstLoads();
    void rowsAreFilledAgainWhenTheyScrollBackIntoView();
    void choosingARowStoresItsRankAndAnnouncesIt();

private:
    AllOfMinePages2* list();
    CustomTableViewCell* cell(int row);

    std::unique_ptr<MineFixture> m_fx;
};

void tst_AllOfMinePages2::init()
{
    m_fx = std::make_unique<MineFixture>();
}

void tst_AllOfMinePages2::cleanup()
{
    m_fx.reset();
}

AllOfMinePages2* tst_AllOfMinePages2::list()
{
    return m_fx->page<AllOfMinePages2>("AllOfMinePages2");
}

CustomTableViewCell* tst_AllOfMinePages2::cell(int row)
{
    auto* page = m_fx->host.findChild<AllOfMinePages2*>();
    return qobject_cast<CustomTableViewCell*>(page->tableView()->cellForRow(row));
}

void tst_AllOfMinePages2::headerFollowsTheSettingsAndItsArrowLeadsBack()
{
    MineFixture::set("touxiangpath", "http://127.0.0.1:9/a.png");
    MineFixture::set("localusername", "rider01");
    MineFixture::set("levelname", "新手");
    MineFixture::set("level", "3");
    MineFixture::set("paiming", "17");
    AllOfMinePages2* page = list();
    QCOMPARE(page->username()->text(), QStringLiteral("rider01"));
    QCOMPARE(page->levelname()->text(), QStringLiteral("新手 3级"));
    QCOMPARE(page->paiming()->text(), QStringLiteral("NO.17"));
    QVERIFY(m_fx->log.contains("AllOfMinePages2 touxiangpath = http://127.0.0.1:9/a.png"));

    QList<QObject*> senders;
    m_fx->app.delegate->defaultCenter().addObserver(
        "AllOfMinePages2ToAllOfMinePages1",
        [&senders](const Notification& note) { senders.append(note.object); });
    page->rightimage()->tapRecognizer()->tap();
    QCOMPARE(senders, QList<QObject*>{page});
}

void tst_AllOfMinePages2::rowsShowRankAvatarNameAndLevel()
{
    for (int rank = 1; rank <= 12; ++rank)
        MineFixture::rider(QStringLiteral("r%1").arg(rank), QString::number(rank),
                           QString::number(rank + 4));
    AllOfMinePages2* page = list();
    TableView* table = page->tableView();
    QCOMPARE(table->rectForRow(3).height(), 60.0);
    // 497 - 300/1120 of it leaves 363.875 points: rows 0 to 6 are in sight.
    QCOMPARE(table->visibleRows(), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(m_fx->log.matching("UITableViewCell:"),
             (QStringList{"UITableViewCell:0", "UITableViewCell:1", "UITableViewCell:2",
                          "UITableViewCell:3", "UITableViewCell:4", "UITableViewCell:5",
                          "UITableViewCell:6"}));
    QCOMPARE(cell(0)->paiming()->text(), QStringLiteral("NO.1"));
    QCOMPARE(cell(0)->username()->text(), QStringLiteral("r1"));
    QCOMPARE(cell(0)->levelname()->text(), QStringLiteral("骑士 5级"));
    QCOMPARE(cell(6)->paiming()->text(), QStringLiteral("NO.7"));
    QCOMPARE(cell(6)->levelname()->text(), QStringLiteral("骑士 11级"));
    QCOMPARE(cell(6)->cellimage()->image(), Images::named("touxiangsmall.png"));
    QCOMPARE(cell(6)->reuseIdentifier(), QStringLiteral("customCell"));
    QCOMPARE(cell(6)->selectionStyle(), TableViewCell::SelectionStyle::None);

    // Scrolled to the end, the cells of the first rows show the last riders.
    table->setContentOffset(table->maximumContentOffset());
    QCOMPARE(cell(11)->paiming()->text(), QStringLiteral("NO.12"));
    QCOMPARE(cell(11)->username()->text(), QStringLiteral("r12"));
}

void tst_AllOfMinePages2::rankWithoutARiderShowsItsNumberOnly()
{
    // Ranks 1, 2 and 5 are held, so the three rows are ranks 1 to 3 and rank 3 is empty.
    MineFixture::rider("a", "1");
    MineFixture::rider("b", "2");
    MineFixture::rider("e", "5");
    AllOfMinePages2* page = list();
    QCOMPARE(page->tableView()->numberOfRows(), 3);
    QCOMPARE(cell(2)->paiming()->text(), QStringLiteral("NO.3"));
    QCOMPARE(cell(2)->username()->text(), QString());
    QCOMPARE(cell(2)->levelname()->text(), QString());

    // Also when the cell last showed a rider in another row.
    for (int rank = 6; rank <= 30; ++rank)
        MineFixture::rider(QStringLiteral("r%1").arg(rank), QString::number(rank));
    page->tableView()->reloadData();
    page->tableView()->setContentOffset(10 * 60);
    page->tableView()->setContentOffset(0);
    QCOMPARE(cell(2)->paiming()->text(), QStringLiteral("NO.3"));
    QCOMPARE(cell(2)->username()->text(), QString());
    QVERIFY(cell(2)->cellimage()->image().isNull());
}

void tst_AllOfMinePages2::twoRidersOfOneRankShowTheFirstTheCacheReturns()
{
    MineFixture::rider("old", "1");
    MineFixture::rider("new", "1");
    MineFixture::rider("second", "2");
    const QString first = MyPaiMingInfo::GetValue("1").first().username;
    list();
    QCOMPARE(cell(0)->username()->text(), first);
    QCOMPARE(cell(1)->username()->text(), QStringLiteral("second"));
    // Both riders of rank 1 are counted, so a third row shows rank 3, which nobody holds.
    QCOMPARE(cell(2)->paiming()->text(), QStringLiteral("NO.3"));
    QCOMPARE(cell(2)->username()->text(), QString());
}

void tst_AllOfMinePages2::rowCountIsFixedWhenTheTableFirstLoads()
{
    MineFixture::rider("a", "1");
    MineFixture::rider("b", "2");
    MineFixture::rider("unranked", "0");
    // Loaded while not on display, as the pager loads a page it has not shown yet.
    auto* page = m_fx->storyboard->instantiate<AllOfMinePages2>("AllOfMinePages2");
    page->setParent(&m_fx->host);
    page->setBaseGeometry(QRect(0, 0, 320, 497));
    page->loadViewIfNeeded();
    QVERIFY(!page->tableView()->hasLoadedRows());
    // Riders added before the table is first shown are counted.
    MineFixture::rider("c", "3");
    page->show();
    QCOMPARE(page->tableView()->numberOfRows(), MyPaiMingInfo::GetCount());
    QCOMPARE(page->tableView()->numberOfRows(), 3);
    MineFixture::rider("d", "4");
    page->hide();
    page->show();
    page->tableView()->setContentOffset(100);
    QCOMPARE(page->tableView()->numberOfRows(), 3);
}

void tst_AllOfMinePages2::rowsAreFilledAgainWhenTheyScrollBackIntoView()
{
    for (int rank = 1; rank <= 30; ++rank)
        MineFixture::rider(QStringLiteral("r%1").arg(rank), QString::number(rank));
    AllOfMinePages2* page = list();
    page->tableView()->setContentOffset(20 * 60);
    QVERIFY(!cell(0));
    MyPaiMingInfo::CheckAdd("renamed", "20", "大师", "1", "", "0", "0", "");
    page->tableView()->setContentOffset(0);
    QCOMPARE(cell(0)->username()->text(), QStringLiteral("r1"));
    QCOMPARE(MyPaiMingInfo::GetValue("1").first().username, QStringLiteral("r1"));
    // The rider of rank 1 moves down; the row shows whoever holds the rank now.
    MyPaiMingInfo::CheckAdd("r1", "7", "骑士", "31", "", "0", "0", "");
    page->tableView()->setContentOffset(20 * 60);
    page->tableView()->setContentOffset(0);
    QCOMPARE(cell(0)->username()->text(), QStringLiteral("renamed"));
    QCOMPARE(cell(0)->levelname()->text(), QStringLiteral("大师 20级"));
}

void tst_AllOfMinePages2::choosingARowStoresItsRankAndAnnouncesIt()
{
    for (int rank = 1; rank <= 5; ++rank)
        MineFixture::rider(QStringLiteral("r%1").arg(rank), QString::number(rank));
    AllOfMinePages2* page = list();
    QList<QObject*> senders;
    m_fx->app.delegate->defaultCenter().addObserver(
        "Notification_GetUserProfileSuccess", [&senders](const Notification& note) {
            senders.append(note.object);
            QCOMPARE(MineFixture::value("cellindex"), QStringLiteral("3"));
        });
    QCOMPARE(MineFixture::value("cellindex"), QStringLiteral("0"));
    page->tableView()->tapAt(QPointF(100, 2 * 60 + 30));
    QCOMPARE(senders, QList<QObject*>{page});
    QVERIFY(m_fx->log.contains("点击Cell:2"));
    QVERIFY(!cell(2)->showsHighlight());
}

QTEST_MAIN(tst_AllOfMinePages2)
#include "tst_AllOfMinePages2.moc"
