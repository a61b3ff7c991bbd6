#pragma once

#include <QTcpServer>

// The listening socket in front of the HTTP server. Each connection gets a
// WireConnection, which sees its bytes before the HTTP server reads them: it keeps
// the raw request targets and keeps out what the HTTP server must not read.
class WireTapServer : public QTcpServer
{
    Q_OBJECT
public:
    // library: the HTTP server bound to this; idleLimitMs: see WireConnection.
    WireTapServer(QObject* library, int idleLimitMs, QObject* parent = nullptr);

protected:
    void incomingConnection(qintptr handle) override;

private:
    QObject* m_library;
    int m_idleLimitMs;
};
