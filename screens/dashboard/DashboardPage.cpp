#include "screens/dashboard/DashboardPage.h"

#include "platform/Localized.h"
#include "platform/ui/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

DashboardPage::DashboardPage(QWidget* parent) : Screen(parent) {}

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
    QLabel* title = addLabel(Localized::string(text), Theme::DashboardInk, 40, true);
    place(title, [this] { return QRectF(0, py(36), width(), py(70)); });
}

QLabel* DashboardPage::addHint(const QString& text)
{
    QLabel* hint = addLabel(Localized::string(text), Theme::Muted, 24);
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
        if (scaled.widget)
            Theme::setPixelFont(scaled.widget, px(scaled.size), scaled.bold);
    }
}

void DashboardPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Theme::Page);
    for (const QRectF& card : m_cards) {
        const QRectF frame(px(card.x()), py(card.y()), px(card.width()), py(card.height()));
        const qreal radius = px(28);
        QPainterPath shadow;
        shadow.addRoundedRect(frame.translated(0, px(4)), radius, radius);
        painter.fillPath(shadow, Theme::CardShadow);
        QPainterPath body;
        body.addRoundedRect(frame, radius, radius);
        painter.fillPath(body, Qt::white);
    }
}
