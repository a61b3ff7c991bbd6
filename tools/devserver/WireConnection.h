#pragma once

#include "tools/devserver/WireRequestReader.h"

#include <QObject>

class QTcpSocket;
class QTimer;

// Guards one connection of the tap, as a child of its socket. It reads every
// arrival before the HTTP library does, refuses what the library must not see
// (answering the status itself and closing), and closes the connection when the
// client keeps it idle. Idle counts only while the server owes no answer, so a
// delayed or stalled answer is not cut short.
class WireConnection : public QObject
{
    Q_OBJECT
public:
    // library: the HTTP server that reads the socket after this.
    WireConnection(QTcpSocket* socket, QObject* library, int idleLimitMs);

    static WireConnection* of(QTcpSocket* socket);
    // The oldest complete request not handed out yet; from now on it is owed an answer.
    WireRequestReader::Request takeRequest();
    // An owed answer has been written.
    void answered();

private:
    void onReadyRead();
    void refuse(int status);
    void cutOffLibrary();
    void shutDownWriting();
    void onTimeout();

    QTcpSocket* m_socket;
    QObject* m_library;
    QTimer* m_timer;
    int m_idleLimitMs;
    WireRequestReader m_reader;
    int m_owed = 0;
    bool m_refused = false;
};
