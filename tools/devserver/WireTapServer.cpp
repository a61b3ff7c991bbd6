#include "tools/devserver/WireTapServer.h"

#include "tools/devserver/WireConnection.h"

#include <QTcpSocket>

WireTapServer::WireTapServer(QObject* library, int idleLimitMs, QObject* parent)
    : QTcpServer(parent), m_library(library), m_idleLimitMs(idleLimitMs)
{
}

void WireTapServer::incomingConnection(qintptr handle)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    new WireConnection(socket, m_library, m_idleLimitMs);
    addPendingConnection(socket);
}
