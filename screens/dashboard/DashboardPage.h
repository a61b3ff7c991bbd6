#pragma once

#include "platform/ui/Screen.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QRectF>

class QLabel;

// Base of the five dashboard pages: their look (background, title, text styles) and their
// design grid of 720 x 1120 units, the pager's share of the 720 x 1280 screen, so that the
// section's page dots sit at the same place (y = 735) on every page.
class DashboardPage : public Screen
{
    Q_OBJECT

public:
    static constexpr double GridWidth = 720.0;
    static constexpr double GridHeight = 1120.0;

protected:
    explicit DashboardPage(QWidget* parent = nullptr);

    // Design units as points of the page's current size.
    float px(double units) const { return float(width() * units / GridWidth); }
    float py(double units) const { return float(height() * units / GridHeight); }
    // A frame whose size follows the width alone, so round things stay round.
    QRectF squareFrame(double centreX, double top, double width, double height) const;

    // A label of this page in one of its text styles; `size` is the font size in x units.
    QLabel* addLabel(const QString& text, const QColor& colour, double size, bool bold = false,
                     Qt::Alignment alignment = Qt::AlignCenter);
    // The page title on top, and a grey line of help text under the page dots.
    void addTitle(const QString& text);
    QLabel* addHint(const QString& text);
    // Keeps the font of `widget` at `size` x units whatever the page's width.
    void scaleFont(QWidget* widget, double size, bool bold);
    // A white rounded panel drawn behind the widgets, in grid units.
    void addCard(double x, double y, double w, double h);

    void viewDidLayoutSubviews() override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct ScaledFont
    {
        QPointer<QWidget> widget;
        double size;
        bool bold;
    };
    QList<ScaledFont> m_fonts;
    QList<QRectF> m_cards;
};
