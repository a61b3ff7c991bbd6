#pragma once

#include <QColor>
#include <QWidget>

// A row of page dots: the current page's dot in its own colour. A tap to the right of the
// current dot moves on one page, to the left back one, and sends valueChanged.
class PageControl : public QWidget
{
    Q_OBJECT

public:
    explicit PageControl(QWidget* parent = nullptr);

    void setNumberOfPages(int pages);
    int numberOfPages() const { return m_pages; }
    void setCurrentPage(int page);
    int currentPage() const { return m_current; }
    void setPageIndicatorTintColor(const QColor& color);
    QColor pageIndicatorTintColor() const { return m_dotColor; }
    void setCurrentPageIndicatorTintColor(const QColor& color);
    QColor currentPageIndicatorTintColor() const { return m_currentColor; }
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_background; }
    void setCornerRadius(qreal radius);

    // A tap at x (widget coordinates), as the mouse or a finger gives it.
    void tapAt(qreal x);
    // Centre of a dot, in widget coordinates.
    QPointF dotCentre(int page) const;

signals:
    void valueChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_pages = 0;
    int m_current = 0;
    QColor m_dotColor = QColor(255, 255, 255, 80);
    QColor m_currentColor = Qt::white;
    QColor m_background = Qt::transparent;
    qreal m_radius = 0;
};
