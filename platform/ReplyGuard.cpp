#include "platform/ReplyGuard.h"

#include <QNetworkReply>
#include <QTimer>

namespace {

constexpr const char* ReasonProperty = "lvxingAbortReason";

void cut(QNetworkReply* reply, const QString& reason)
{
    if (reply->isFinished() || !reply->property(ReasonProperty).isNull())
        return;
    reply->setProperty(ReasonProperty, reason);
    reply->abort();
}

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("answer larger than %1 bytes").arg(maxBytes);
}

} // namespace

namespace ReplyGuard {

void guard(QNetworkReply* reply, qint64 maxBytes, int deadlineMs)
{
    // The network thread stops reading once this much waits in the reply, so a flood
    // fills no memory while the abort is on its way.
    reply->setReadBufferSize(maxBytes + 1024 * 1024);
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, [reply, deadlineMs] {
        cut(reply, QStringLiteral("no complete answer within %1 s").arg(deadlineMs / 1000.0));
    });
    deadline->start(deadlineMs);
    // A declared length over the limit is refused before its body is read; a body
    // without one is refused as soon as it passes the limit.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, maxBytes] {
        bool known = false;
        const qint64 length =
            reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && length > maxBytes)
            cut(reply, tooLarge(maxBytes));
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, maxBytes](qint64 received, qint64) {
                         if (received > maxBytes)
                             cut(reply, tooLarge(maxBytes));
                     });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, maxBytes] {
        if (reply->bytesAvailable() > maxBytes)
            cut(reply, tooLarge(maxBytes));
    });
}

QString abortReason(const QNetworkReply* reply)
{
    return reply->property(ReasonProperty).toString();
}

} // namespace ReplyGuard
