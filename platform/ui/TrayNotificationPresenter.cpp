#include "platform/ui/TrayNotificationPresenter.h"

#include "platform/Localized.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/Theme.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace {

// The app's accent colour as a round tray icon.
QIcon trayIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::Accent);
    painter.drawEllipse(4, 4, 56, 56);
    painter.setBrush(Qt::white);
    painter.drawEllipse(24, 24, 16, 16);
    return QIcon(pixmap);
}

} // namespace

TrayNotificationPresenter::TrayNotificationPresenter(LocalNotificationCenter* center,
                                                     QObject* parent)
    : QObject(parent), m_center(center)
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(trayIcon(), this);
        m_tray->setToolTip(Localized::string(QStringLiteral("驴行")));
        m_tray->show();
    }
    connect(center, &LocalNotificationCenter::presentLocalNotification, this,
            &TrayNotificationPresenter::present);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &TrayNotificationPresenter::setApplicationState);
    setApplicationState(QGuiApplication::applicationState());
}

TrayNotificationPresenter::~TrayNotificationPresenter() = default;

void TrayNotificationPresenter::setApplicationState(Qt::ApplicationState state)
{
    m_center->setApplicationActive(state == Qt::ApplicationActive);
}

void TrayNotificationPresenter::present(const LocalNotification& notification)
{
    m_lastTitle = notification.alertBody;
    m_lastMessage = notification.userInfo.value(QStringLiteral("key")).toString();
    if (m_tray)
        m_tray->showMessage(m_lastTitle, m_lastMessage, QSystemTrayIcon::Information);
}
