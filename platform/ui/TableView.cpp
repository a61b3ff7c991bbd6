#include "platform/ui/TableView.h"

#include "platform/ui/PageViewController.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Points a press may move before it counts as a drag rather than a tap.
constexpr qreal DragStart = 8;
// Points scrolled by one notch of the wheel.
constexpr qreal WheelStep = 40;

} // namespace

TableView::TableView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TableView::~TableView() = default;

void TableView::registerCell(const QString& identifier, CellFactory factory)
{
    m_factories.insert(identifier, std::move(factory));
}

TableViewCell* TableView::dequeueReusableCellWithIdentifier(const QString& identifier)
{
    QList<TableViewCell*>& queue = m_reuse[identifier];
    if (!queue.isEmpty())
        return queue.takeLast();
    const auto factory = m_factories.constFind(identifier);
    if (factory == m_factories.constEnd())
        return nullptr;
    TableViewCell* cell = (*factory)();
    cell->setParent(this);
    cell->hide();
    return cell;
}

int TableView::reusableCellCount(const QString& identifier) const
{
    return int(m_reuse.value(identifier).size());
}

void TableView::reloadData()
{
    for (auto it = m_visible.cbegin(); it != m_visible.cend(); ++it)
        enqueue(it.value());
    m_visible.clear();
    loadRows();
    setContentOffset(m_offset);
    layoutCells();
}

void TableView::layoutIfNeeded()
{
    if (!m_loaded)
        loadRows();
    layoutCells();
}

void TableView::loadRows()
{
    m_loaded = true;
    m_rowCount = m_dataSource ? std::max(0, m_dataSource->numberOfRowsInSection(this, 0)) : 0;
    m_tops.assign(size_t(m_rowCount) + 1, 0);
    for (int row = 0; row < m_rowCount; ++row) {
        const qreal height = m_delegate ? m_delegate->heightForRowAtIndexPath(this, row)
                                        : TableViewDelegate::DefaultRowHeight;
        m_tops[size_t(row) + 1] = m_tops[size_t(row)] + std::max<qreal>(0, height);
    }
    if (m_selectedRow >= m_rowCount)
        m_selectedRow = -1;
}

QRectF TableView::rectForRow(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return QRectF();
    const qreal top = m_tops[size_t(row)];
    return QRectF(0, top, width(), m_tops[size_t(row) + 1] - top);
}

qreal TableView::contentHeight() const
{
    return m_tops.empty() ? 0 : m_tops.back();
}

qreal TableView::maximumContentOffset() const
{
    return std::max<qreal>(0, contentHeight() - height());
}

void TableView::setContentOffset(qreal y)
{
    const qreal clamped = std::clamp<qreal>(y, 0, maximumContentOffset());
    if (clamped == m_offset && !m_visible.isEmpty())
        return;
    m_offset = clamped;
    layoutCells();
    update();
}

int TableView::firstRowAt(qreal y) const
{
    // The last row whose top is at or above y.
    const auto after = std::upper_bound(m_tops.begin(), m_tops.begin() + m_rowCount, y);
    return std::max(0, int(after - m_tops.begin()) - 1);
}

QList<int> TableView::visibleRows() const
{
    QList<int> rows;
    if (m_rowCount == 0 || height() <= 0)
        return rows;
    const qreal bottom = m_offset + height();
    for (int row = firstRowAt(m_offset); row < m_rowCount && m_tops[size_t(row)] < bottom; ++row) {
        if (m_tops[size_t(row) + 1] > m_offset)
            rows.append(row);
    }
    return rows;
}

void TableView::layoutCells()
{
    if (!m_loaded)
        return;
    const QList<int> rows = visibleRows();
    for (auto it = m_visible.begin(); it != m_visible.end();) {
        if (rows.contains(it.key())) {
            ++it;
            continue;
        }
        enqueue(it.value());
        it = m_visible.erase(it);
    }
    for (int row : rows) {
        TableViewCell* cell = m_visible.value(row);
        if (!cell && m_dataSource) {
            cell = m_dataSource->cellForRowAtIndexPath(this, row);
            if (!cell)
                continue;
            cell->setParent(this);
            cell->setSelected(row == m_selectedRow);
            m_visible.insert(row, cell);
        }
        if (!cell)
            continue;
        const QRectF frame = rectForRow(row).translated(0, -m_offset);
        cell->setGeometry(QRect(int(std::floor(frame.x())), int(std::floor(frame.y())),
                                int(std::ceil(frame.width())), int(std::ceil(frame.height()))));
        cell->show();
    }
}

void TableView::enqueue(TableViewCell* cell)
{
    cell->hide();
    cell->setSelected(false);
    cell->prepareForReuse();
    m_reuse[cell->reuseIdentifier()].append(cell);
}

TableViewCell* TableView::cellForRow(int row) const
{
    return m_visible.value(row);
}

int TableView::rowAtPoint(const QPointF& point) const
{
    if (!rect().contains(point.toPoint()) || m_rowCount == 0)
        return -1;
    const qreal y = point.y() + m_offset;
    if (y < 0 || y >= contentHeight())
        return -1;
    return firstRowAt(y);
}

void TableView::selectRow(int row)
{
    if (row < 0 || row >= m_rowCount)
        return;
    if (TableViewCell* old = cellForRow(m_selectedRow))
        old->setSelected(false);
    m_selectedRow = row;
    if (TableViewCell* cell = cellForRow(row))
        cell->setSelected(true);
    if (m_delegate)
        m_delegate->didSelectRowAtIndexPath(this, row);
}

void TableView::tapAt(const QPointF& point)
{
    selectRow(rowAtPoint(point));
}

void TableView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
}

void TableView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        layoutIfNeeded();
}

void TableView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    layoutIfNeeded();
}

void TableView::wheelEvent(QWheelEvent* event)
{
    scrollBy(-event->angleDelta().y() / 120.0 * WheelStep);
    event->accept();
}

void TableView::mousePressEvent(QMouseEvent* event)
{
    m_drag = Drag::Pending;
    // Deltas are measured on the screen: during a sideways swipe the table moves with its page.
    m_pressAt = event->globalPosition();
    m_pressOffset = m_offset;
    event->accept();
}

void TableView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF delta = event->globalPosition() - m_pressAt;
    if (m_drag == Drag::Pending && QLineF(QPointF(), delta).length() > DragStart) {
        const bool sideways = std::abs(delta.x()) > std::abs(delta.y());
        m_swipePager = sideways ? enclosingPager() : nullptr;
        m_drag = sideways ? Drag::Swipe : Drag::Scroll;
        m_swipeForward = delta.x() < 0;
        if (m_swipePager && !m_swipePager->beginSwipe(
                                m_swipeForward ? PageViewController::NavigationDirection::Forward
                                               : PageViewController::NavigationDirection::Reverse))
            m_swipePager = nullptr;
    }
    if (m_drag == Drag::Scroll)
        setContentOffset(m_pressOffset - delta.y());
    else if (m_drag == Drag::Swipe)
        dragSideways(delta);
}

void TableView::dragSideways(const QPointF& delta)
{
    if (!m_swipePager || m_swipePager->width() <= 0)
        return;
    m_swipePager->updateSwipe((m_swipeForward ? -delta.x() : delta.x()) / m_swipePager->width());
}

void TableView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_drag == Drag::Pending)
        tapAt(event->position());
    if (m_drag == Drag::Swipe && m_swipePager && m_swipePager->isSwiping()) {
        const qreal moved = std::abs(event->globalPosition().x() - m_pressAt.x());
        m_swipePager->endSwipe(moved >= m_swipePager->width() * 0.3);
    }
    m_drag = Drag::None;
    m_swipePager = nullptr;
    event->accept();
}

PageViewController* TableView::enclosingPager() const
{
    for (QObject* up = parent(); up; up = up->parent()) {
        if (auto* pager = qobject_cast<PageViewController*>(up))
            return pager;
    }
    return nullptr;
}
