#include "platform/ui/TextField.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

namespace {

QPointer<TextField>& editingField()
{
    static QPointer<TextField> field;
    return field;
}

} // namespace

TextField::TextField(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setStyleSheet(QStringLiteral("QLineEdit{background:white;border:1px solid #d5dadb;"
                                 "border-radius:6px;padding:0 8px;color:#1f2a2a;}"
                                 "QLineEdit:focus{border:1px solid rgb(19,146,134);}"));
}

TextField::~TextField()
{
    if (editingField() == this)
        editingField() = nullptr;
}

TextField* TextField::firstResponder()
{
    return editingField();
}

bool TextField::becomeFirstResponder()
{
    if (m_editing)
        return true;
    if (TextField* other = editingField(); other && other != this)
        other->resignFirstResponder();
    m_editing = true;
    editingField() = this;
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    if (m_delegate)
        m_delegate->textFieldDidBeginEditing(this);
    return true;
}

bool TextField::resignFirstResponder()
{
    if (!m_editing)
        return true;
    m_editing = false;
    if (editingField() == this)
        editingField() = nullptr;
    if (hasFocus())
        clearFocus();
    if (m_delegate)
        m_delegate->textFieldDidEndEditing(this);
    return true;
}

void TextField::pressReturn()
{
    if (m_delegate)
        m_delegate->textFieldShouldReturn(this);
}

void TextField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    becomeFirstResponder();
}

void TextField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Losing the window's focus is not the end of editing; moving to another widget is.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        resignFirstResponder();
}

void TextField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        pressReturn();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TextField::setLeftImage(const QImage& image)
{
    m_leftImage = image;
    updateMargins();
    update();
}

void TextField::updateMargins()
{
    const int left = m_leftImage.isNull() || m_leftImage.height() == 0
                         ? 0
                         : int(m_leftImage.width() * double(height()) / m_leftImage.height());
    setTextMargins(left, 0, 0, 0);
}

void TextField::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    updateMargins();
}

void TextField::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (m_leftImage.isNull() || m_leftImage.height() == 0)
        return;
    // Scaled uniformly by the field's height over the icon's height.
    const double scale = double(height()) / m_leftImage.height();
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, 0, m_leftImage.width() * scale, height()), m_leftImage);
}
