#pragma once

#include <QColor>
#include <QWidget>

// A filled circle with a see-through level (alpha): the connect button of the binding screen
// and the halo that pulses behind it while connecting.
class RoundView : public QWidget
{
    Q_OBJECT

public:
    explicit RoundView(const QColor& fill, QWidget* parent = nullptr);

    // 0 is invisible, 1 opaque; values outside are held at the nearer end.
    double alpha() const { return m_alpha; }
    void setAlpha(double alpha);
    void setRing(const QColor& color, qreal widthFraction);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
    QColor m_ring = Qt::transparent;
    qreal m_ringFraction = 0;
    double m_alpha = 1.0;
};
