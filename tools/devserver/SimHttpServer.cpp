#include "tools/devserver/SimHttpServer.h"

#include "tools/devserver/WireConnection.h"
#include "tools/devserver/WireTapServer.h"

#include <QHttpServerRequest>
#include <QTcpSocket>

SimHttpServer::SimHttpServer(QObject* parent) : QAbstractHttpServer(parent) {}

quint16 SimHttpServer::listenOn(const QHostAddress& address, quint16 port)
{
    auto* tap = new WireTapServer(this, m_idleLimitMs, this);
    if (!tap->listen(address, port)) {
        delete tap;
        return 0;
    }
    bind(tap);
    return tap->serverPort();
}

QHttpServerResponder SimHttpServer::responderFor(const QHttpServerRequest& request,
                                                 QTcpSocket* socket)
{
    return makeResponder(request, socket);
}

void SimHttpServer::answered(QTcpSocket* socket)
{
    if (WireConnection* connection = WireConnection::of(socket))
        connection->answered();
}

bool SimHttpServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    WireConnection* connection = WireConnection::of(socket);
    WireRequestReader::Request wire =
        connection ? connection->takeRequest() : WireRequestReader::Request{};
    if (wire.target.isEmpty())
        wire.target = request.url().toEncoded();
    if (!m_handler)
        return false;
    m_handler(request, socket, wire);
    return true;
}

void SimHttpServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
    answered(socket);
}
