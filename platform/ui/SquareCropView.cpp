#include "platform/ui/SquareCropView.h"

#include "platform/Localized.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QWheelEvent>

namespace {

constexpr int BarHeight = 64;
constexpr int Margin = 16;

QPushButton* barButton(const QString& text, QWidget* parent, bool prominent)
{
    auto* button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton{color:%1;font-size:16px;border:none;"
                                         "background:transparent;font-weight:%2;}")
                              .arg(prominent ? QStringLiteral("#3fd0bf") : QStringLiteral("white"),
                                   prominent ? QStringLiteral("600") : QStringLiteral("400")));
    return button;
}

} // namespace

SquareCropView::SquareCropView(const QImage& image, QWidget* window)
    : QWidget(window), m_image(image),
      m_cancel(barButton(Localized::string(QStringLiteral("取消")), this, false)),
      m_use(barButton(Localized::string(QStringLiteral("使用")), this, true))
{
    const qreal side = qMin(image.width(), image.height());
    m_crop = QRectF((image.width() - side) / 2, (image.height() - side) / 2, side, side);
    connect(m_cancel, &QPushButton::clicked, this, &SquareCropView::cancel);
    connect(m_use, &QPushButton::clicked, this, &SquareCropView::confirm);
    if (window) {
        window->installEventFilter(this);
        setGeometry(window->rect());
    }
    show();
    raise();
}

QRectF SquareCropView::imageArea() const
{
    const QRectF room(Margin, Margin, width() - 2 * Margin, height() - BarHeight - 2 * Margin);
    QSizeF size = m_image.size();
    size.scale(room.size(), Qt::KeepAspectRatio);
    return QRectF(room.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

qreal SquareCropView::scale() const
{
    return m_image.width() > 0 ? imageArea().width() / m_image.width() : 1.0;
}

void SquareCropView::moveCrop(qreal dx, qreal dy)
{
    QRectF moved = m_crop.translated(dx, dy);
    moved.moveLeft(qBound<qreal>(0, moved.left(), m_image.width() - moved.width()));
    moved.moveTop(qBound<qreal>(0, moved.top(), m_image.height() - moved.height()));
    m_crop = moved;
    update();
}

void SquareCropView::resizeCrop(qreal side)
{
    const qreal largest = qMin(m_image.width(), m_image.height());
    side = qBound<qreal>(qMin<qreal>(32, largest), side, largest);
    const QPointF centre = m_crop.center();
    m_crop = QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side);
    moveCrop(0, 0);
}

QImage SquareCropView::croppedImage() const
{
    return m_image.copy(m_crop.toRect());
}

void SquareCropView::confirm()
{
    finish(croppedImage());
}

void SquareCropView::cancel()
{
    finish(QImage());
}

void SquareCropView::finish(const QImage& result)
{
    if (m_finished)
        return;
    m_finished = true;
    hide();
    deleteLater();
    if (m_done)
        m_done(result);
}

void SquareCropView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), QColor(18, 22, 22));
    const QRectF area = imageArea();
    painter.drawImage(area, m_image);
    const qreal k = scale();
    const QRectF frame(area.left() + m_crop.left() * k, area.top() + m_crop.top() * k,
                       m_crop.width() * k, m_crop.height() * k);
    QPainterPath shade;
    shade.addRect(area);
    QPainterPath hole;
    hole.addRect(frame);
    painter.fillPath(shade.subtracted(hole), QColor(0, 0, 0, 140));
    painter.setPen(QPen(Qt::white, 2));
    painter.drawRect(frame);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    for (int i = 1; i < 3; ++i) {
        painter.drawLine(QPointF(frame.left() + frame.width() * i / 3, frame.top()),
                         QPointF(frame.left() + frame.width() * i / 3, frame.bottom()));
        painter.drawLine(QPointF(frame.left(), frame.top() + frame.height() * i / 3),
                         QPointF(frame.right(), frame.top() + frame.height() * i / 3));
    }
}

void SquareCropView::resizeEvent(QResizeEvent*)
{
    m_cancel->setGeometry(0, height() - BarHeight, width() / 3, BarHeight);
    m_use->setGeometry(width() - width() / 3, height() - BarHeight, width() / 3, BarHeight);
}

void SquareCropView::mousePressEvent(QMouseEvent* event)
{
    m_lastDrag = event->position();
}

void SquareCropView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF delta = (event->position() - m_lastDrag) / scale();
    m_lastDrag = event->position();
    moveCrop(delta.x(), delta.y());
}

void SquareCropView::wheelEvent(QWheelEvent* event)
{
    const qreal steps = event->angleDelta().y() / 120.0;
    resizeCrop(m_crop.width() * (1.0 - 0.08 * steps));
}

bool SquareCropView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
