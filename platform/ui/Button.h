#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>

// A tappable button that shows an image for its normal state (stretched to its frame) or a
// title on a rounded background; clicked() is the touch-up-inside action.
class Button : public QAbstractButton
{
    Q_OBJECT

public:
    explicit Button(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    QImage image() const { return m_image; }
    void setBackgroundColor(const QColor& color);
    void setTitleColor(const QColor& color);
    void setCornerRadius(qreal radius);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    QColor m_background = Qt::transparent;
    QColor m_titleColor = Qt::white;
    qreal m_radius = 0;
};
