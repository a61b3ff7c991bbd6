#pragma once

#include <QObject>
#include <QString>

class LocalNotificationCenter;
class QSystemTrayIcon;
struct LocalNotification;

// The desktop side of local notifications: an alarm that arrives while the app
// is behind becomes a tray message where the desktop has a tray, and the GUI's
// application state tells the notification centre whether the app is in front.
class TrayNotificationPresenter : public QObject
{
    Q_OBJECT

public:
    explicit TrayNotificationPresenter(LocalNotificationCenter* center, QObject* parent = nullptr);
    ~TrayNotificationPresenter() override;

    bool hasTray() const { return m_tray != nullptr; }
    // Title and text of the last alarm presented ("" before the first).
    QString lastTitle() const { return m_lastTitle; }
    QString lastMessage() const { return m_lastMessage; }

    // Fed from QGuiApplication::applicationStateChanged.
    void setApplicationState(Qt::ApplicationState state);

private:
    void present(const LocalNotification& notification);

    LocalNotificationCenter* m_center;
    QSystemTrayIcon* m_tray = nullptr;
    QString m_lastTitle;
    QString m_lastMessage;
};
