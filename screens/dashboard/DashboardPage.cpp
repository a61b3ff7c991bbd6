#include "screens/dashboard/DashboardPage.h"

#include "platform/ui/Localized.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

DashboardPage::DashboardPage(QWidget* parent) : Screen(parent) {}

QColor DashboardPage::teal()
{
    return QColor(19, 146, 134);
}

QColor DashboardPage::ink()
{
    return QColor(38, 44, 48);
}

QColor DashboardPage::muted()
{
    return QColor(128, 136, 140);
}

QColor DashboardPage::background()
{
    return QColor(243, 246, 245);
}

QRectF DashboardPage::squareFrame(double centreX, double top, double w, double h) const
{
    return QRectF(px(centreX) - px(w) / 2.0, py(top), px(w), px(h));
}

QLabel* DashboardPage::addLabel(const QString& text, const QColor& colour, double size, bool bold,
                                Qt::Alignment alignment)
{
    auto* label = new QLabel(text, this);
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    scaleFont(label, size, bold);
    return label;
}

void DashboardPage::addTitle(const QString& text)
{
    QLabel* title = addLabel(Localized::string(text), ink(), 40, true);
    place(title, [this] { return QRectF(0, py(36), width(), py(70)); });
}

QLabel* DashboardPage::addHint(const QString& text)
{
    QLabel* hint = addLabel(Localized::string(text), muted(), 24);
    hint->setWordWrap(true);
    return hint;
}

void DashboardPage::scaleFont(QWidget* widget, double size, bool bold)
{
    m_fonts.append({widget, size, bold});
    if (isViewLoaded())
        viewDidLayoutSubviews();
}

void DashboardPage::addCard(double x, double y, double w, double h)
{
    m_cards.append(QRectF(x, y, w, h));
}

void DashboardPage::viewDidLayoutSubviews()
{
    for (const ScaledFont& scaled : m_fonts) {
        if (!scaled.widget)
            continue;
        QFont font = scaled.widget->font();
        font.setPixelSize(qMax(1, qRound(px(scaled.size))));
        font.setBold(scaled.bold);
        scaled.widget->setFont(font);
    }
}

void DashboardPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), background());
    for (const QRectF& card : m_cards) {
        const QRectF frame(px(card.x()), py(card.y()), px(card.width()), py(card.height()));
        const qreal radius = px(28);
        QPainterPath shadow;
        shadow.addRoundedRect(frame.translated(0, px(4)), radius, radius);
        painter.fillPath(shadow, QColor(0, 0, 0, 14));
        QPainterPath body;
        body.addRoundedRect(frame, radius, radius);
        painter.fillPath(body, Qt::white);
    }
}
