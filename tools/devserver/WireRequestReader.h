#pragma once

#include <QByteArray>
#include <QList>

// Follows the bytes of one connection and cuts them into requests, keeping each
// request target exactly as sent (the HTTP library hands out only a parsed URL).
// It holds the bytes of every request not yet handed out, because the library
// shows those bytes again until it has handled them.
class WireRequestReader
{
public:
    // Bytes that arrived after everything fed so far.
    void feed(const QByteArray& bytes);
    // Everything the library has not consumed yet: what was fed before and is still
    // unhandled is recognised and skipped, the rest is new.
    void feedUnconsumed(const QByteArray& unconsumed);
    bool hasTarget() const { return !m_requests.isEmpty(); }
    // The target of the oldest complete request; its bytes are forgotten.
    QByteArray takeTarget();

private:
    struct Request
    {
        QByteArray target;
        qsizetype length = 0;
    };

    bool parseOne();
    qsizetype requestEnd(qsizetype start, qsizetype headerEnd, bool* complete) const;
    qsizetype chunkedEnd(qsizetype from, bool* complete) const;

    QByteArray m_buffer; // unhandled requests, then the incomplete tail
    qsizetype m_parsed = 0;
    QList<Request> m_requests;
};
