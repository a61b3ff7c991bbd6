#include "platform/ui/PlaceholderScreen.h"

#include <QPainter>

PlaceholderScreen::PlaceholderScreen(const QString& identifier, QWidget* parent)
    : Screen(parent), m_name(identifier)
{
}

void PlaceholderScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(246, 248, 248));
    painter.setPen(QColor(19, 146, 134));
    QFont font = painter.font();
    font.setPointSizeF(11);
    painter.setFont(font);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_name);
}
