#pragma once

#include <QImage>
#include <QWidget>

// Base of the custom-drawn gauges: a transparent widget that paints itself
// completely from its value and its size, and can paint the same picture into
// any QPainter (an image for tests, the gallery and the benchmarks).
class GaugeView : public QWidget
{
    Q_OBJECT

public:
    explicit GaugeView(QWidget* parent = nullptr);

    // Paints the gauge as it would appear in a widget of `size`, with the
    // painter's origin at the gauge's top left: antialiased, cut to the size.
    void paintTo(QPainter& painter, const QSizeF& size) const;
    // The same without cutting off what the gauge draws past its bounds (the rotating logo
    // at the ends of its half circle hangs half below its frame).
    void paintOverflowing(QPainter& painter, const QSizeF& size) const;

    // The gauge alone on a transparent image of `size` points at `scale` pixels per point.
    QImage toImage(const QSize& size, qreal scale = 1.0) const;

protected:
    // Draws everything; the painter's state is saved and restored around it.
    virtual void draw(QPainter& painter, const QSizeF& size) const = 0;
    void paintEvent(QPaintEvent* event) override;
};
