#pragma once

#include "tools/devserver/RequestLog.h"
#include "tools/devserver/SimDevice.h"
#include "tools/devserver/SimFault.h"
#include "tools/devserver/SimMail.h"
#include "tools/devserver/SimRequest.h"
#include "tools/devserver/SimulatorOptions.h"
#include "tools/devserver/TrackerSimulation.h"
#include "tools/devserver/WireRequestReader.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QObject>
#include <QUrl>
#include <memory>

class ControlApi;
class DeviceScripts;
class FaultPlan;
class QHttpServerRequest;
class QHttpServerResponder;
class QTcpSocket;
class SimHttpServer;
class SimWorld;
struct SimAnswer;

// The device server as the app sees it, simulated: every script of the real
// server, a moving tracker, accounts, mails and riders, plus scripted faults.
// Tests run it in their own thread (it answers from the event loop); the
// lvxing-devserver binary wraps the same class. Requests under "/_sim/" are its
// control API and are neither recorded nor faulted; it answers only requests
// addressed to this machine by name (Host localhost or 127.x). With the default
// options simulated time stands still until advance() moves it.
class DeviceServerSimulator : public QObject
{
    Q_OBJECT
public:
    explicit DeviceServerSimulator(const SimulatorOptions& options = {}, QObject* parent = nullptr);
    ~DeviceServerSimulator() override;

    // Returns the port (0 when it cannot listen). Port 0 picks a free one.
    quint16 listen(quint16 port = 0, const QHostAddress& address = QHostAddress::LocalHost);
    quint16 port() const { return m_port; }
    QUrl baseUrl() const; // "http://127.0.0.1:<port>"
    QString dataDir() const;

    // Requests received by the scripts, in arrival order; see RequestLog for what
    // is kept of their bodies.
    QList<SimRequest> requests() const { return m_requests.all(); }
    QList<SimRequest> requestsTo(const QString& path) const { return m_requests.to(path); }
    void clearRequests() { m_requests.clear(); }

    // Mails sent (recovery and verification code), oldest first.
    QList<SimMail> outbox() const;
    QString lastCodeFor(const QString& email) const;

    // Devices: the seeded ones are "86000001" (account rider01) and "86000002" (none).
    bool hasDevice(const QString& devid) const;
    bool addDevice(const QString& devid);
    SimDevice device(const QString& devid) const;
    QJsonObject deviceState(const QString& devid);
    // Changes named in a JSON object: lat and lng (together; the tracker then stands
    // there), hold (false lets it ride again), power, banlvstate (negative: follow
    // the simulation), banlvstateupdate, maxspeed, lightspeed, weilanradio, weilanmode,
    // weilanwaring. Values may be numbers or texts.
    bool setDeviceState(const QString& devid, const QJsonObject& changes, QString* error = nullptr);
    void setPosition(const QString& devid, double lat, double lng);
    void releasePosition(const QString& devid);
    void setPower(const QString& devid, double volts);
    void setBanlvstate(const QString& devid, int state);
    void setBanlvstateupdate(const QString& devid, int value);
    void setSpeeds(const QString& devid, const QString& maxspeed, const QString& lightspeed);
    void setFence(const QString& devid, const QString& weilanradio, const QString& weilanmode);
    void setWeilanwaring(const QString& devid, int state);
    QList<TrackerSimulation::Point> track(const QString& devid, qint64 afterServerId = 0);

    // Faults for the next answers; see SimFault.
    void addFault(const SimFault& fault);
    void clearFaults();
    QList<SimFault> faults() const;

    // Simulated time.
    QDateTime now() const;
    void advance(qint64 seconds);

    QStringList logLines() const;

signals:
    // With the whole body, whatever the log keeps of it.
    void requestReceived(const SimRequest& request);

private:
    enum class Action { Answer, Cut, Drop };

    // One request to answer and where the answer goes.
    struct Exchange
    {
        const QHttpServerRequest& request;
        QTcpSocket* socket;
        bool closeAfter; // the client asked for the connection to close after the answer
    };

    void onRequest(const QHttpServerRequest& request, QTcpSocket* socket,
                   const WireRequestReader::Request& wire);
    SimAnswer controlAnswer(const QHttpServerRequest& request, const SimRequest& record,
                            const QString& path);
    SimRequest recordOf(const QHttpServerRequest& request, const QByteArray& rawTarget) const;
    QString baseFor(const QHttpServerRequest& request) const;
    void respondToFault(const Exchange& exchange, const SimFault& fault, int delayMs);
    void respond(const Exchange& exchange, Action action, const SimAnswer& answer, int delayMs);
    static void act(QHttpServerResponder& responder, QTcpSocket* socket, Action action,
                    const SimAnswer& answer, bool closeAfter);
    void logRequest(const SimRequest& request, const QString& outcome);

    SimulatorOptions m_options;
    std::unique_ptr<SimWorld> m_world;
    std::unique_ptr<DeviceScripts> m_scripts;
    std::unique_ptr<FaultPlan> m_faults;
    std::unique_ptr<ControlApi> m_control;
    SimHttpServer* m_server = nullptr;
    quint16 m_port = 0;
    QString m_host = "127.0.0.1";
    RequestLog m_requests;
};
