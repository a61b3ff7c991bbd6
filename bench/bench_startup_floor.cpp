// The floor of bench_startup: a bare Qt Widgets program that shows one phone-sized
// window and, once it is drawn, reports and ends the way the app does (it shares the
// app's reporter, which needs nothing but Qt).
#include "app/FirstFrameReport.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(360, 640);
    window.setAutoFillBackground(true);
    FirstFrameReport::watchIfAsked(&window);
    window.show();
    return app.exec();
}
