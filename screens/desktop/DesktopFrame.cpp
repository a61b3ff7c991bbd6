#include "screens/desktop/DesktopFrame.h"

#include "platform/Localized.h"
#include "platform/ui/Window.h"
#include "screens/desktop/ConnectionBar.h"

#include <QApplication>
#include <QMenuBar>

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
    file->addAction(Localized::string(QStringLiteral("退出")), QKeySequence::Quit, qApp,
                    &QApplication::quit);
}
