#include "platform/ui/PageViewController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"

#include <QMouseEvent>
#include <QtTest>

namespace {

// A cell that remembers the row it was last filled for.
class RowCell : public TableViewCell
{
public:
    RowCell() : TableViewCell(QStringLiteral("row")) {}
    void prepareForReuse() override { ++reuses; }
    int row = -1;
    int reuses = 0;
};

// Rows and heights from plain lists; records what the table asked for.
class Rows : public TableViewDataSource, public TableViewDelegate
{
public:
    int numberOfRowsInSection(TableView*, int section) override
    {
        sections.append(section);
        ++countQueries;
        return count;
    }
    TableViewCell* cellForRowAtIndexPath(TableView* table, int row) override
    {
        asked.append(row);
        auto* cell = static_cast<RowCell*>(table->dequeueReusableCellWithIdentifier("row"));
        cell->row = row;
        return cell;
    }
    qreal heightForRowAtIndexPath(TableView*, int row) override { return heights.value(row, 60); }
    void didSelectRowAtIndexPath(TableView*, int row) override { selected.append(row); }

    int count = 100;
    QHash<int, qreal> heights;
    QList<int> asked;
    QList<int> selected;
    QList<int> sections;
    int countQueries = 0;
};

// Two pages for the sideways drag: the first holds the table.
class Pages : public PageViewControllerDataSource
{
public:
    Screen* viewControllerBeforeViewController(PageViewController*, Screen* page) override
    {
        return page == second ? first : nullptr;
    }
    Screen* viewControllerAfterViewController(PageViewController*, Screen* page) override
    {
        return page == first ? second : nullptr;
    }
    Screen* first = nullptr;
    Screen* second = nullptr;
};

void sendMouse(QWidget* widget, QEvent::Type type, const QPointF& at)
{
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

// The table view: rows loaded once, cells asked for as rows come into sight and reused by
// identifier, scrolling, selection and its highlight, and drags.
class tst_TableView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rowsLoadOnFirstShowAndStayUntilReload();
    void onlyRowsInSightGetCellsAndLeavingCellsAreReused();
    void rowsScrollingBackAreAskedForAgain();
    void variableHeightsPlaceRowsAndBoundTheScroll();
    void tapSelectsTheRowUnderItAndHighlightFollowsTheStyle();
    void unknownIdentifierGivesNoCell();
    void verticalDragScrollsAndStillPressTaps();
    void sidewaysDragSwipesTheEnclosingPager();

private:
    TableView* showTable(QWidget* parent = nullptr);

    std::unique_ptr<QWidget> m_host;
    std::unique_ptr<Rows> m_rows;
    int m_made = 0;
};

void tst_TableView::init()
{
    m_host = std::make_unique<QWidget>();
    m_host->resize(320, 300);
    m_rows = std::make_unique<Rows>();
    m_made = 0;
}

void tst_TableView::cleanup()
{
    m_host.reset();
    m_rows.reset();
}

TableView* tst_TableView::showTable(QWidget* parent)
{
    auto* table = new TableView(parent ? parent : m_host.get());
    table->setGeometry(0, 0, 320, 300);
    table->registerCell("row", [this] {
        ++m_made;
        return new RowCell;
    });
    table->setDataSource(m_rows.get());
    table->setDelegate(m_rows.get());
    if (!parent)
        m_host->show();
    table->show();
    return table;
}

void tst_TableView::rowsLoadOnFirstShowAndStayUntilReload()
{
    auto* table = new TableView(m_host.get());
    table->setDataSource(m_rows.get());
    table->registerCell("row", [] { return new RowCell; });
    table->resize(320, 300);
    QVERIFY(!table->hasLoadedRows());
    QCOMPARE(m_rows->countQueries, 0);

    m_host->show();
    QVERIFY(table->hasLoadedRows());
    QCOMPARE(table->numberOfRows(), 100);
    QCOMPARE(m_rows->sections, QList<int>{0});

    // The source grows; the table keeps the count it loaded, however it scrolls.
    m_rows->count = 150;
    table->setContentOffset(3000);
    table->resize(320, 280);
    QCOMPARE(table->numberOfRows(), 100);
    QCOMPARE(m_rows->countQueries, 1);
    QCOMPARE(table->contentHeight(), 100 * TableViewDelegate::DefaultRowHeight);

    table->reloadData();
    QCOMPARE(table->numberOfRows(), 150);
    QCOMPARE(m_rows->countQueries, 2);
}

void tst_TableView::onlyRowsInSightGetCellsAndLeavingCellsAreReused()
{
    TableView* table = showTable();
    QCOMPARE(table->visibleRows(), (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(m_rows->asked, (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(m_made, 5);
    for (int row = 0; row < 5; ++row) {
        auto* cell = static_cast<RowCell*>(table->cellForRow(row));
        QVERIFY(cell);
        QCOMPARE(cell->row, row);
        QCOMPARE(cell->geometry(), QRect(0, row * 60, 320, 60));
    }

    // Half a row down: row 5 peeks in below and row 0 is still partly in sight.
    m_rows->asked.clear();
    table->setContentOffset(30);
    QCOMPARE(table->visibleRows(), (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(m_rows->asked, QList<int>{5});
    QCOMPARE(table->cellForRow(0)->geometry().top(), -30);

    // Two rows further: rows 0 and 1 leave and their cells serve rows 6 and 7.
    auto* leaving = static_cast<RowCell*>(table->cellForRow(0));
    table->setContentOffset(150);
    QCOMPARE(table->visibleRows(), (QList<int>{2, 3, 4, 5, 6, 7}));
    QCOMPARE(m_made, 6);
    QVERIFY(!table->cellForRow(0));
    QCOMPARE(leaving->reuses, 1);
    QVERIFY(leaving == table->cellForRow(6) || leaving == table->cellForRow(7));
    QCOMPARE(table->reusableCellCount("row"), 0);

    // A far jump makes no new cells either.
    table->setContentOffset(4000);
    QCOMPARE(table->visibleRows().first(), 66);
    QCOMPARE(m_made, 6);
    QCOMPARE(table->reusableCellCount("row"), 0);
}

void tst_TableView::rowsScrollingBackAreAskedForAgain()
{
    TableView* table = showTable();
    table->setContentOffset(600);
    m_rows->asked.clear();
    table->setContentOffset(0);
    QCOMPARE(m_rows->asked, (QList<int>{0, 1, 2, 3, 4}));
    // Standing still asks for nothing.
    m_rows->asked.clear();
    table->setContentOffset(0);
    table->layoutIfNeeded();
    QVERIFY(m_rows->asked.isEmpty());
}

void tst_TableView::variableHeightsPlaceRowsAndBoundTheScroll()
{
    m_rows->count = 10;
    m_rows->heights = {{0, 100}, {1, 20}, {9, 200}};
    TableView* table = showTable();
    QCOMPARE(table->rectForRow(1), QRectF(0, 100, 320, 20));
    QCOMPARE(table->rectForRow(2), QRectF(0, 120, 320, 60));
    QCOMPARE(table->rectForRow(9), QRectF(0, 540, 320, 200));
    QCOMPARE(table->rectForRow(10), QRectF());
    QCOMPARE(table->contentHeight(), 740.0);
    QCOMPARE(table->rowAtPoint(QPointF(10, 99)), 0);
    QCOMPARE(table->rowAtPoint(QPointF(10, 100)), 1);
    QCOMPARE(table->rowAtPoint(QPointF(10, 119.5)), 1);
    QCOMPARE(table->rowAtPoint(QPointF(10, 120)), 2);
    QCOMPARE(table->rowAtPoint(QPointF(400, 50)), -1);

    table->setContentOffset(10000);
    QCOMPARE(table->contentOffset(), 440.0);
    QCOMPARE(table->visibleRows(), (QList<int>{7, 8, 9}));
    QCOMPARE(table->rowAtPoint(QPointF(10, 299)), 9);
    table->setContentOffset(-50);
    QCOMPARE(table->contentOffset(), 0.0);

    // Fewer rows than fit: no scrolling, and the space under the rows holds no row.
    m_rows->count = 2;
    m_rows->heights.clear();
    table->reloadData();
    table->setContentOffset(100);
    QCOMPARE(table->contentOffset(), 0.0);
    QCOMPARE(table->rowAtPoint(QPointF(10, 150)), -1);
}

void tst_TableView::tapSelectsTheRowUnderItAndHighlightFollowsTheStyle()
{
    TableView* table = showTable();
    table->setContentOffset(60);
    table->tapAt(QPointF(100, 130)); // row 3 (content y 190)
    QCOMPARE(m_rows->selected, QList<int>{3});
    QCOMPARE(table->selectedRow(), 3);
    QVERIFY(table->cellForRow(3)->isSelected());
    QVERIFY(table->cellForRow(3)->showsHighlight());

    table->cellForRow(4)->setSelectionStyle(TableViewCell::SelectionStyle::None);
    table->tapAt(QPointF(100, 190)); // row 4
    QCOMPARE(m_rows->selected, (QList<int>{3, 4}));
    QVERIFY(!table->cellForRow(3)->isSelected());
    QVERIFY(table->cellForRow(4)->isSelected());
    QVERIFY(!table->cellForRow(4)->showsHighlight());

    // The highlight shows in the cell's pixels only with the default style.
    QImage none(table->cellForRow(4)->size(), QImage::Format_ARGB32);
    table->cellForRow(4)->render(&none);
    QCOMPARE(none.pixelColor(160, 30), QColor(Qt::white));
    QImage shown(table->cellForRow(3)->size(), QImage::Format_ARGB32);
    table->cellForRow(3)->setSelected(true);
    table->cellForRow(3)->render(&shown);
    QVERIFY(shown.pixelColor(160, 30) != QColor(Qt::white));

    // Below the last row, nothing is chosen.
    m_rows->count = 3;
    table->reloadData();
    table->tapAt(QPointF(100, 250));
    QCOMPARE(m_rows->selected, (QList<int>{3, 4}));
}

void tst_TableView::unknownIdentifierGivesNoCell()
{
    TableView* table = showTable();
    QVERIFY(!table->dequeueReusableCellWithIdentifier("other"));
    TableViewCell* made = table->dequeueReusableCellWithIdentifier("row");
    QVERIFY(made);
    QCOMPARE(made->reuseIdentifier(), QStringLiteral("row"));
}

void tst_TableView::verticalDragScrollsAndStillPressTaps()
{
    TableView* table = showTable();
    sendMouse(table, QEvent::MouseButtonPress, QPointF(100, 250));
    sendMouse(table, QEvent::MouseMove, QPointF(102, 200));
    sendMouse(table, QEvent::MouseMove, QPointF(103, 130));
    QCOMPARE(table->contentOffset(), 120.0);
    sendMouse(table, QEvent::MouseButtonRelease, QPointF(103, 130));
    QVERIFY(m_rows->selected.isEmpty());

    // A press that does not move is a tap on the row under it.
    sendMouse(table, QEvent::MouseButtonPress, QPointF(100, 10));
    sendMouse(table, QEvent::MouseMove, QPointF(103, 12));
    sendMouse(table, QEvent::MouseButtonRelease, QPointF(103, 12));
    QCOMPARE(m_rows->selected, QList<int>{2});
}

void tst_TableView::sidewaysDragSwipesTheEnclosingPager()
{
    PageViewController pager;
    Pages pages;
    pages.first = new Screen;
    pages.second = new Screen;
    pager.setDataSource(&pages);
    pager.setViewControllers({pages.first}, PageViewController::NavigationDirection::Forward,
                             false);
    pager.setBaseGeometry(QRect(0, 0, 320, 300));
    pager.show();
    TableView* table = showTable(pages.first);

    sendMouse(table, QEvent::MouseButtonPress, QPointF(250, 100));
    sendMouse(table, QEvent::MouseMove, QPointF(200, 104));
    QVERIFY(pager.isSwiping());
    QCOMPARE(pager.pendingPage(), pages.second);
    sendMouse(table, QEvent::MouseMove, QPointF(100, 104));
    sendMouse(table, QEvent::MouseButtonRelease, QPointF(100, 104));
    QCOMPARE(pager.visiblePage(), pages.second);
    QCOMPARE(table->contentOffset(), 0.0);
    QVERIFY(m_rows->selected.isEmpty());
}

QTEST_MAIN(tst_TableView)
#include "tst_TableView.moc"
