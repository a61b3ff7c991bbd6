#include "platform/ui/TableViewCell.h"

#include <QPainter>

TableViewCell::TableViewCell(const QString& reuseIdentifier, QWidget* parent)
    : QWidget(parent), m_reuseIdentifier(reuseIdentifier)
{
}

void TableViewCell::setSelectionStyle(SelectionStyle style)
{
    m_selectionStyle = style;
    update();
}

void TableViewCell::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

void TableViewCell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), showsHighlight() ? QColor(217, 217, 217) : QColor(Qt::white));
    // A hairline separator inset from the left, as list rows have.
    painter.fillRect(QRectF(15, height() - 0.5, width() - 15, 0.5), QColor(200, 199, 204));
}
