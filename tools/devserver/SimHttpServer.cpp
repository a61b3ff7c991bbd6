#include "tools/devserver/SimHttpServer.h"

#include "tools/devserver/WireTapServer.h"

#include <QHttpServerRequest>
#include <QTcpSocket>

SimHttpServer::SimHttpServer(QObject* parent) : QAbstractHttpServer(parent) {}

quint16 SimHttpServer::listenOn(const QHostAddress& address, quint16 port)
{
    auto* tap = new WireTapServer(this);
    if (!tap->listen(address, port)) {
        delete tap;
        return 0;
    }
    m_tap = tap;
    bind(tap);
    return tap->serverPort();
}

QHttpServerResponder SimHttpServer::responderFor(const QHttpServerRequest& request,
                                                 QTcpSocket* socket)
{
    return makeResponder(request, socket);
}

bool SimHttpServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    const QByteArray target = m_tap ? m_tap->takeTarget(socket) : QByteArray();
    if (!m_handler)
        return false;
    m_handler(request, socket, target.isEmpty() ? request.url().toEncoded() : target);
    return true;
}

void SimHttpServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}
