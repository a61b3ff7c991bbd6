#include "tools/devserver/WireConnection.h"

#include <QTcpSocket>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace {

// How long a refused client may go on sending before its connection is reset.
constexpr int kLingerMs = 2000;
// A client that sends requests but never reads the answers is let go before the
// answers fill the memory.
constexpr qint64 kMaxUnsentBytes = 32 * 1024 * 1024;

QByteArray reasonOf(int status)
{
    switch (status) {
    case 400:
        return "Bad Request";
    case 413:
        return "Payload Too Large";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Error";
    }
}

} // namespace

WireConnection::WireConnection(QTcpSocket* socket, QObject* library, int idleLimitMs)
    : QObject(socket), m_socket(socket), m_library(library), m_timer(new QTimer(this)),
      m_idleLimitMs(idleLimitMs)
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &WireConnection::onTimeout);
    // Connected before the HTTP server connects its own reader, so this runs first
    // on every arrival (and on the library's own re-announcements of unread bytes).
    connect(socket, &QTcpSocket::readyRead, this, &WireConnection::onReadyRead);
    m_timer->start(m_idleLimitMs);
}

WireConnection* WireConnection::of(QTcpSocket* socket)
{
    return socket ? socket->findChild<WireConnection*>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

WireRequestReader::Request WireConnection::takeRequest()
{
    ++m_owed;
    m_timer->stop();
    return m_reader.takeRequest();
}

void WireConnection::answered()
{
    if (m_owed > 0 && --m_owed == 0 && !m_refused)
        m_timer->start(m_idleLimitMs);
}

void WireConnection::onReadyRead()
{
    if (m_refused) {
        m_socket->skip(m_socket->bytesAvailable());
        return;
    }
    if (m_socket->bytesToWrite() > kMaxUnsentBytes) {
        cutOffLibrary();
        m_socket->abort();
        return;
    }
    // The library handles one request per announcement and shows unhandled bytes
    // again; while it sits in a read transaction over a partial request, only the
    // bytes after that request's start are new to it and to us.
    const QByteArray available = m_socket->peek(m_socket->bytesAvailable());
    if (m_socket->isTransactionStarted())
        m_reader.feed(available);
    else
        m_reader.feedUnconsumed(available);
    if (m_reader.refusal())
        refuse(m_reader.refusal());
}

// Answers the status and closes. The client's bytes still in flight are read and
// dropped for a while, and only the sending side is shut: closing over unread
// bytes resets the connection, and the client could lose the answer with it.
void WireConnection::refuse(int status)
{
    m_refused = true;
    cutOffLibrary();
    const QByteArray reason = QByteArray::number(status) + ' ' + reasonOf(status);
    m_socket->write("HTTP/1.1 " + reason +
                    "\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
                    QByteArray::number(reason.size() + 1) + "\r\n\r\n" + reason + '\n');
    m_socket->skip(m_socket->bytesAvailable());
    connect(m_socket, &QTcpSocket::bytesWritten, this, &WireConnection::shutDownWriting);
    m_timer->start(kLingerMs);
    m_socket->flush();
    shutDownWriting();
}

// From here on the library never reads this connection again; what it has read of
// a partial request goes back to the socket, to be dropped with the rest.
void WireConnection::cutOffLibrary()
{
    disconnect(m_socket, &QTcpSocket::readyRead, m_library, nullptr);
    if (m_socket->isTransactionStarted())
        m_socket->rollbackTransaction();
}

void WireConnection::shutDownWriting()
{
    if (m_socket->bytesToWrite() > 0 || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    disconnect(m_socket, &QTcpSocket::bytesWritten, this, &WireConnection::shutDownWriting);
#ifdef Q_OS_UNIX
    ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
#else
    m_socket->disconnectFromHost();
#endif
}

void WireConnection::onTimeout()
{
    if (m_refused)
        m_socket->abort();
    else if (m_owed == 0)
        m_socket->disconnectFromHost();
}
