#pragma once

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <functional>

class QHttpServerRequest;
class QTcpSocket;
class WireTapServer;

// The HTTP side of the simulator: every request, whatever its path, goes to one
// handler together with its socket and its raw target, so that paths are matched
// exactly and a handler may answer later or close the connection unanswered.
class SimHttpServer : public QAbstractHttpServer
{
    Q_OBJECT
public:
    using Handler = std::function<void(const QHttpServerRequest& request, QTcpSocket* socket,
                                       const QByteArray& rawTarget)>;

    explicit SimHttpServer(QObject* parent = nullptr);

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // Returns the port, 0 when the address cannot be bound.
    quint16 listenOn(const QHostAddress& address, quint16 port);
    static QHttpServerResponder responderFor(const QHttpServerRequest& request, QTcpSocket* socket);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    Handler m_handler;
    WireTapServer* m_tap = nullptr;
};
