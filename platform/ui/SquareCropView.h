#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>
#include <functional>

class QPushButton;

// Full-window cropping of a picture to a square: the picture is shown whole, a square
// frame over it can be dragged (and resized with the wheel) within the picture, and
// "使用" hands over the part inside the frame; "取消" hands over nothing.
class SquareCropView : public QWidget
{
    Q_OBJECT

public:
    SquareCropView(const QImage& image, QWidget* window);

    // Called once with the cropped picture, or a null image when cancelled.
    void setOnDone(std::function<void(const QImage&)> done) { m_done = std::move(done); }

    // The frame in the picture's own pixels.
    QRectF cropRect() const { return m_crop; }
    // Moves the frame by a distance in the picture's pixels; it stays on the picture.
    void moveCrop(qreal dx, qreal dy);
    // Changes the frame's side, keeping its centre where possible.
    void resizeCrop(qreal side);
    QImage croppedImage() const;
    void confirm();
    void cancel();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRectF imageArea() const;
    qreal scale() const;
    void finish(const QImage& result);

    QImage m_image;
    QRectF m_crop;
    QPointF m_lastDrag;
    QPushButton* m_cancel;
    QPushButton* m_use;
    std::function<void(const QImage&)> m_done;
    bool m_finished = false;
};
