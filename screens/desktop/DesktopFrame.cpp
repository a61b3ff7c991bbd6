#include "screens/desktop/DesktopFrame.h"

#include "platform/Localized.h"
#include "platform/ui/Window.h"
#include "screens/desktop/AlarmLogWindow.h"
#include "screens/desktop/ConnectionBar.h"
#include "screens/desktop/RideListWindow.h"

#include <QApplication>
#include <QMenuBar>

namespace {

// A window of the frame's own: made on first use, kept for the run.
template <class Kind> Kind* madeOnce(Kind*& window, QWidget* frame)
{
    if (!window) {
        window = new Kind(frame);
        window->setWindowFlag(Qt::Window);
    }
    return window;
}

} // namespace

DesktopFrame::DesktopFrame(Window* phone, ConnectionState& connection, QWidget* parent)
    : QMainWindow(parent), m_bar(new ConnectionBar(connection, this))
{
    setObjectName(QStringLiteral("DesktopFrame"));
    setWindowTitle(Localized::string(QStringLiteral("驴行")));
    setCentralWidget(phone);
    m_bar->setFixedHeight(m_bar->sizeHint().height());
    setStatusBar(m_bar);
    addMenus();
    resize(Window::DefaultWidth,
           Window::DefaultHeight + menuBar()->sizeHint().height() + m_bar->height());
}

DesktopFrame* DesktopFrame::holding(QWidget* phone)
{
    return phone ? qobject_cast<DesktopFrame*>(phone->window()) : nullptr;
}

void DesktopFrame::addMenus()
{
    QMenu* file = menuBar()->addMenu(Localized::string(QStringLiteral("文件")));
    file->addAction(Localized::string(QStringLiteral("导出 GPX…")), this, &DesktopFrame::exportGpx);
    file->addSeparator();
    file->addAction(Localized::string(QStringLiteral("退出")), QKeySequence::Quit, qApp,
                    &QApplication::quit);
    QMenu* view = menuBar()->addMenu(Localized::string(QStringLiteral("查看")));
    view->addAction(Localized::string(QStringLiteral("报警记录")), this,
                    &DesktopFrame::showAlarmLog);
    view->addAction(Localized::string(QStringLiteral("骑行记录")), this, &DesktopFrame::showRides);
}

AlarmLogWindow* DesktopFrame::alarmLog()
{
    return madeOnce(m_alarmLog, this);
}

RideListWindow* DesktopFrame::rides()
{
    return madeOnce(m_rides, this);
}

void DesktopFrame::showRides()
{
    present(rides());
}

void DesktopFrame::exportGpx()
{
    rides()->exportGpx();
}

void DesktopFrame::showAlarmLog()
{
    present(alarmLog());
}

void DesktopFrame::present(QWidget* window)
{
    if (!window->isVisible())
        window->move(frameGeometry().topRight() + QPoint(12, 0));
    window->show();
    window->raise();
    window->activateWindow();
}
