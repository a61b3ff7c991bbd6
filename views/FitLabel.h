#pragma once

#include <QFont>
#include <QLabel>
#include <QString>

// A one-line label that keeps its text readable whole: it draws with a smaller font while
// the text is wider than the label, down to a floor, and elides at the end what still does
// not fit, so no text is ever cut through a character. text() stays the whole text.
class FitLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    static constexpr double SmallestScale = 0.7;

    struct Fitted
    {
        QFont font;
        QString text;
    };
    // What is drawn at the label's present size and font.
    Fitted fitted() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
