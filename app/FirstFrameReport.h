#pragma once

#include <QObject>

class QWidget;

// Says when the first screen has been drawn, for the start-up benchmark: with
// LVXING_REPORT_FIRST_FRAME set, one line on stderr gives the time since the process
// started and its resident memory at that moment; set to "quit", the app then ends.
class FirstFrameReport : public QObject
{
    Q_OBJECT

public:
    // Watches `screen` when the environment asks for the report; otherwise does nothing.
    static void watchIfAsked(QWidget* screen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FirstFrameReport(QWidget* screen, bool quit);
    void report();

    bool m_quit;
};
