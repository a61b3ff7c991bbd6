#pragma once

#include "tools/devserver/WireRequestReader.h"

#include <QHash>
#include <QTcpServer>

class QTcpSocket;

// The listening socket in front of the HTTP server. It sees each connection's
// bytes before the HTTP server reads them, so the raw request targets are kept.
class WireTapServer : public QTcpServer
{
    Q_OBJECT
public:
    explicit WireTapServer(QObject* parent = nullptr);

    // The target of the oldest request of this connection not yet handed out.
    QByteArray takeTarget(QTcpSocket* socket);

protected:
    void incomingConnection(qintptr handle) override;

private:
    void tap(QTcpSocket* socket);

    QHash<QTcpSocket*, WireRequestReader> m_readers;
};
