#include "tools/devserver/WireTapServer.h"

#include <QTcpSocket>

WireTapServer::WireTapServer(QObject* parent) : QTcpServer(parent) {}

QByteArray WireTapServer::takeTarget(QTcpSocket* socket)
{
    auto it = m_readers.find(socket);
    return it == m_readers.end() ? QByteArray() : it->takeTarget();
}

void WireTapServer::incomingConnection(qintptr handle)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    m_readers.insert(socket, WireRequestReader());
    // Connected before the HTTP server connects its own reader, so this runs first
    // on every arrival and peeks at bytes nobody has consumed yet.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { tap(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { m_readers.remove(socket); });
    addPendingConnection(socket);
}

void WireTapServer::tap(QTcpSocket* socket)
{
    auto it = m_readers.find(socket);
    if (it != m_readers.end())
        it->feed(socket->peek(socket->bytesAvailable()));
}
