#pragma once

#include <QByteArray>
#include <QList>

// Follows the bytes of one connection and cuts them into requests, keeping each
// request target exactly as sent (the HTTP library hands out only a parsed URL).
// It holds the bytes of every request not yet handed out, because the library
// shows those bytes again until it has handled them.
//
// It is also the connection's gatekeeper: the library buffers heads and bodies
// without bound, drops a request it cannot parse without a word, and reads a
// request that has both a length and chunks differently from us. Such input is
// refused here, with the status to answer, before the library sees it.
class WireRequestReader
{
public:
    static constexpr qsizetype kMaxHeadBytes = 16 * 1024;
    static constexpr qsizetype kMaxBodyBytes = 6 * 1024 * 1024;

    struct Request
    {
        QByteArray target;
        bool closeAfter = false; // "Connection: close", or HTTP/1.0 without keep-alive
        qsizetype length = 0;    // bytes on the wire, leading empty lines included
    };

    // Bytes that arrived after everything fed so far. Returns how many requests
    // became complete.
    int feed(const QByteArray& bytes);
    // Everything the library has not consumed yet: what was fed before and is still
    // unhandled is recognised and skipped, the rest is new.
    int feedUnconsumed(const QByteArray& unconsumed);
    bool hasTarget() const { return !m_requests.isEmpty(); }
    // The oldest complete request; its bytes are forgotten.
    Request takeRequest();
    QByteArray takeTarget() { return takeRequest().target; }
    // 0 while the bytes read as HTTP within the limits; else 400, 413 or 431.
    int refusal() const { return m_refusal; }

private:
    // The request being read; offsets count from its first byte (m_parsed).
    struct Pending
    {
        qsizetype bodyStart = -1; // -1 while the head is incomplete
        qsizetype contentLength = 0;
        bool chunked = false;
        qsizetype nextChunk = 0; // where the next chunk-size line starts
        Request request;
    };

    bool parseOne();
    bool readHead();
    qsizetype requestEnd();
    qsizetype chunkedEnd();
    bool refuse(int status);
    qsizetype refuseBody(int status);

    QByteArray m_buffer; // unhandled requests, then the incomplete tail
    qsizetype m_parsed = 0;
    Pending m_pending;
    QList<Request> m_requests;
    int m_refusal = 0;
};
