#pragma once

#include <QImage>
#include <QLineEdit>

class TextField;

// Hears a text field's editing events; the screen that owns the fields is the delegate.
class TextFieldDelegate
{
public:
    virtual ~TextFieldDelegate() = default;
    // The return key was pressed; screens usually end the editing here.
    virtual bool textFieldShouldReturn(TextField*) { return true; }
    virtual void textFieldDidBeginEditing(TextField*) {}
    virtual void textFieldDidEndEditing(TextField*) {}
};

// A one-line text field with begin, end and return events. One field edits at a time:
// beginning on another field ends the first one before the second begins.
class TextField : public QLineEdit
{
    Q_OBJECT

public:
    explicit TextField(QWidget* parent = nullptr);
    ~TextField() override;

    void setDelegate(TextFieldDelegate* delegate) { m_delegate = delegate; }
    TextFieldDelegate* delegate() const { return m_delegate; }

    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const { return m_editing; }
    static TextField* firstResponder();

    // An icon drawn at the left end, scaled to the field's height.
    void setLeftImage(const QImage& image);
    QImage leftImage() const { return m_leftImage; }

    // The return key, as the keyboard sends it.
    void pressReturn();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateMargins();

    TextFieldDelegate* m_delegate = nullptr;
    bool m_editing = false;
    QImage m_leftImage;
};
