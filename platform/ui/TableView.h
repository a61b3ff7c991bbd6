#pragma once

#include "platform/ui/PageViewController.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class TableViewCell;
class TableViewDataSource;
class TableViewDelegate;

// A scrolling list of rows of one section. The row count and the row heights are read from
// the data source and the delegate when the table first loads (on its first layout while
// shown) and again only on reloadData; cells are asked for as rows come into sight, and
// cells of rows that leave it wait in a reuse queue under their identifier. A vertical drag
// or the wheel scrolls, a tap selects; a sideways drag is handed to the pager around the
// table, so the pages still swipe over it.
class TableView : public QWidget
{
    Q_OBJECT

public:
    using CellFactory = std::function<TableViewCell*()>;

    explicit TableView(QWidget* parent = nullptr);
    ~TableView() override;

    void setDataSource(TableViewDataSource* source) { m_dataSource = source; }
    void setDelegate(TableViewDelegate* delegate) { m_delegate = delegate; }

    // The prototype cell of an identifier: dequeueing makes one with `factory` when the
    // queue of that identifier is empty.
    void registerCell(const QString& identifier, CellFactory factory);
    // A waiting cell of the identifier, or a new one; none for an unregistered identifier.
    TableViewCell* dequeueReusableCellWithIdentifier(const QString& identifier);
    int reusableCellCount(const QString& identifier) const;

    // Reads the rows again and asks for every visible cell anew.
    void reloadData();
    // Loads the rows now when the table has not loaded them yet, and lays out the cells.
    void layoutIfNeeded();
    bool hasLoadedRows() const { return m_loaded; }
    int numberOfRows() const { return m_rowCount; }
    QRectF rectForRow(int row) const;
    qreal contentHeight() const;

    qreal contentOffset() const { return m_offset; }
    // Scrolls to `y` (kept between the top and the last screenful of rows).
    void setContentOffset(qreal y);
    void scrollBy(qreal dy) { setContentOffset(m_offset + dy); }
    qreal maximumContentOffset() const;

    // Rows in sight, top to bottom, and the cell showing one of them (none when out of sight).
    QList<int> visibleRows() const;
    TableViewCell* cellForRow(int row) const;
    // The row under a point of the table, -1 when none.
    int rowAtPoint(const QPointF& point) const;

    // Selects a row as a tap does: it becomes the selected row and the delegate hears of it.
    void selectRow(int row);
    int selectedRow() const { return m_selectedRow; }
    // A tap at a point of the table (tests and the tour call it directly).
    void tapAt(const QPointF& point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, Pending, Scroll, Swipe };
    void loadRows();
    void layoutCells();
    void enqueue(TableViewCell* cell);
    int firstRowAt(qreal y) const;
    PageViewController* enclosingPager() const;
    void dragSideways(const QPointF& delta);

    TableViewDataSource* m_dataSource = nullptr;
    TableViewDelegate* m_delegate = nullptr;
    QHash<QString, CellFactory> m_factories;
    QHash<QString, QList<TableViewCell*>> m_reuse;
    QHash<int, TableViewCell*> m_visible;
    // m_tops[r] is the top of row r; m_tops[count] the height of all rows.
    std::vector<qreal> m_tops;
    int m_rowCount = 0;
    bool m_loaded = false;
    qreal m_offset = 0;
    int m_selectedRow = -1;
    Drag m_drag = Drag::None;
    QPointF m_pressAt;
    qreal m_pressOffset = 0;
    QPointer<PageViewController> m_swipePager;
    bool m_swipeForward = true;
};
