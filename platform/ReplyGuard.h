#pragma once

#include <QString>

class QNetworkReply;

// Bounds one network reply, so that no server, however slow or talkative, can hold a
// request open or fill the memory: the reply is aborted when its answer grows past a
// size or when it has not finished a deadline after it started, whatever trickles in.
namespace ReplyGuard {

// Arms both limits on a reply that has just been sent.
void guard(QNetworkReply* reply, qint64 maxBytes, int deadlineMs);
// Why the guard cut the reply short, for the failure text; empty when it did not.
QString abortReason(const QNetworkReply* reply);

} // namespace ReplyGuard
