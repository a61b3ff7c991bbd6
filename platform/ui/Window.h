#pragma once

#include <QImage>
#include <QSize>
#include <QWidget>

class QApplication;

// The app's one window: phone-sized and resizable, with the app's name and icon. The
// screens fill it and lay themselves out again whenever its size changes.
class Window : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DefaultWidth = 360;
    static constexpr int DefaultHeight = 640;

    explicit Window(QWidget* parent = nullptr);

    QSize sizeHint() const override { return QSize(DefaultWidth, DefaultHeight); }
    // The window as it shows now, one pixel per point.
    QImage snapshot();

    // The phone screen `widget` is on: the Window it sits in, even when the desktop frame
    // holds that Window; else its top-level widget.
    static QWidget* containing(QWidget* widget);

    // The app's name, icon and type face for every window of the process.
    static void applyAppStyle(QApplication& app);
};
