#pragma once

#include <QDateTime>
#include <functional>

class ConnectionState;
class DeviceServer;
class Haptics;
class LocalNotificationCenter;

// What the status poll keeps between location updates and what it works with: the
// throttle's last poll time, the clock, the device server, the vibration and the local
// notifications. The
// composition root makes one, hands in its collaborators and installs it; the poll's
// functions (MyUtil::GetEveryThing and its helpers) work on the installed one.
class StatusPoller
{
public:
    struct Services
    {
        std::function<QDateTime()> now;
        std::function<Haptics*()> haptics;
        std::function<LocalNotificationCenter*()> notifications;
        DeviceServer* server = nullptr;
        ConnectionState* connection = nullptr;
    };

    explicit StatusPoller(Services services) : m_services(std::move(services)) {}

    // The installed poller; null when none is.
    static StatusPoller* installed();
    // Installs `poller` and answers the one it replaces, for putting it back.
    static StatusPoller* install(StatusPoller* poller);

    QDateTime now() const { return m_services.now(); }
    DeviceServer* server() const { return m_services.server; }
    ConnectionState* connection() const { return m_services.connection; }
    Haptics* haptics() const { return m_services.haptics ? m_services.haptics() : nullptr; }
    LocalNotificationCenter* notifications() const
    {
        return m_services.notifications ? m_services.notifications() : nullptr;
    }

    // When the poll last armed or passed its throttle; invalid until the first location
    // update of this run.
    QDateTime lastPollTime() const { return m_lastPollTime; }
    void setLastPollTime(const QDateTime& when) { m_lastPollTime = when; }
    // The first tick of a run only arms the throttle; later ticks pass it once the last
    // request is more than `intervalMs` old.
    bool throttlePasses(qint64 intervalMs);

private:
    Services m_services;
    QDateTime m_lastPollTime;
};
