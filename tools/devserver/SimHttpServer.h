#pragma once

#include "tools/devserver/WireRequestReader.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <functional>

class QHttpServerRequest;
class QTcpSocket;

// The HTTP side of the simulator: every request, whatever its path, goes to one
// handler together with its socket and what the wire showed of it (the raw target,
// whether the client wants the connection closed after the answer), so that paths
// are matched exactly and a handler may answer later or close the connection
// unanswered. A handler reports each answer it wrote through answered().
class SimHttpServer : public QAbstractHttpServer
{
    Q_OBJECT
public:
    using Handler = std::function<void(const QHttpServerRequest& request, QTcpSocket* socket,
                                       const WireRequestReader::Request& wire)>;

    explicit SimHttpServer(QObject* parent = nullptr);

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // How long a connection may wait on its client before it is closed; for the
    // connections accepted after the next listenOn().
    void setIdleLimit(int ms) { m_idleLimitMs = ms; }
    // Returns the port, 0 when the address cannot be bound.
    quint16 listenOn(const QHostAddress& address, quint16 port);
    static QHttpServerResponder responderFor(const QHttpServerRequest& request, QTcpSocket* socket);
    static void answered(QTcpSocket* socket);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    Handler m_handler;
    int m_idleLimitMs = 30000;
};
