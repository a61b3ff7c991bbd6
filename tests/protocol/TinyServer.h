#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

// One request as it arrived on the socket.
struct TinyRequest
{
    QByteArray method;
    QByteArray target;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray& name) const
    {
        for (const auto& [key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
};

// What the server does with a request.
struct TinyResponse
{
    enum Mode { Answer, Close, Stall, CutBody };

    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    Mode mode = Answer;
};

// A minimal HTTP/1.1 server on 127.0.0.1 for the wire tests: it keeps every raw
// request and answers each with whatever the test's handler says, one request
// per connection.
class TinyServer
{
public:
    std::function<TinyResponse(const TinyRequest&)> handler = [](const TinyRequest&) {
        return TinyResponse{200, "ok", {}, TinyResponse::Answer};
    };
    QList<TinyRequest> requests;

    TinyServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }

    quint16 port() const { return m_server.serverPort(); }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }
    QList<QByteArray> targets() const
    {
        QList<QByteArray> list;
        for (const TinyRequest& request : requests)
            list.append(request.target);
        return list;
    }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(&m_server);
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        TinyRequest request = parseHead(buffer.left(end));
        const qsizetype length = request.header("Content-Length").toLongLong();
        if (buffer.size() < end + 4 + length)
            return;
        request.body = buffer.mid(end + 4, length);
        m_buffers.remove(socket);
        requests.append(request);
        respond(socket, handler(request));
    }

    static TinyRequest parseHead(const QByteArray& head)
    {
        TinyRequest request;
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.append(
                    {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
        }
        return request;
    }

    static void respond(QTcpSocket* socket, const TinyResponse& response)
    {
        if (response.mode == TinyResponse::Stall)
            return;
        if (response.mode == TinyResponse::Close) {
            socket->disconnectFromHost();
            return;
        }
        QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n";
        for (const auto& [key, value] : response.headers)
            out += key + ": " + value + "\r\n";
        out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n";
        const bool cut = response.mode == TinyResponse::CutBody;
        out += cut ? response.body.left(response.body.size() / 2) : response.body;
        socket->write(out);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
