#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// An HTTP answer before it goes on the wire.
struct SimAnswer
{
    int status = 200;
    QByteArray contentType = "text/html; charset=UTF-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    static SimAnswer text(const QByteArray& body)
    {
        return SimAnswer{200, "text/html; charset=UTF-8", body, {}};
    }
    static SimAnswer json(const QByteArray& body)
    {
        return SimAnswer{200, "application/json", body, {}};
    }
};
