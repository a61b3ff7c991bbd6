#include "platform/ui/ImageView.h"

#include "platform/ui/TapGestureRecognizer.h"

#include <QPainter>
#include <QPainterPath>

ImageView::ImageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

ImageView::ImageView(const QImage& image, QWidget* parent) : ImageView(parent)
{
    m_image = image;
}

void ImageView::setImage(const QImage& image)
{
    m_image = image;
    update();
    emit imageChanged();
}

void ImageView::setContentMode(ContentMode mode)
{
    m_mode = mode;
    update();
}

void ImageView::setRound(bool round)
{
    m_round = round;
    update();
}

void ImageView::setOnTap(std::function<void()> action)
{
    delete m_tap;
    m_tap = new TapGestureRecognizer(this, std::move(action));
}

void ImageView::paintEvent(QPaintEvent*)
{
    if (m_image.isNull() || width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF target(rect());
    if (m_mode != ContentMode::ScaleToFill) {
        QSizeF size = m_image.size();
        size.scale(target.size(), m_mode == ContentMode::AspectFit
                                      ? Qt::KeepAspectRatio
                                      : Qt::KeepAspectRatioByExpanding);
        target =
            QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    }
    if (m_round) {
        QPainterPath clip;
        clip.addEllipse(QRectF(rect()));
        painter.setClipPath(clip);
    }
    painter.drawImage(target, m_image);
}
