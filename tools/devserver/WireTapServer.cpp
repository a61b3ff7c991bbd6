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
    // on every arrival (and on the library's own re-announcements of unread bytes).
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { tap(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { m_readers.remove(socket); });
    addPendingConnection(socket);
}

// The library handles one request per announcement and shows unhandled bytes again;
// while it sits in a read transaction over a partial request, only the bytes after
// that request's start are new to it and to us.
void WireTapServer::tap(QTcpSocket* socket)
{
    auto it = m_readers.find(socket);
    if (it == m_readers.end())
        return;
    const QByteArray available = socket->peek(socket->bytesAvailable());
    if (socket->isTransactionStarted())
        it->feed(available);
    else
        it->feedUnconsumed(available);
}
