#include "tools/devserver/WireRequestReader.h"

void WireRequestReader::feed(const QByteArray& bytes)
{
    m_buffer.append(bytes);
    while (parseOne()) {
    }
}

void WireRequestReader::feedUnconsumed(const QByteArray& unconsumed)
{
    feed(unconsumed.startsWith(m_buffer) ? unconsumed.mid(m_buffer.size()) : unconsumed);
}

QByteArray WireRequestReader::takeTarget()
{
    if (m_requests.isEmpty())
        return {};
    const Request request = m_requests.takeFirst();
    m_buffer.remove(0, request.length);
    m_parsed -= request.length;
    return request.target;
}

bool WireRequestReader::parseOne()
{
    qsizetype start = m_parsed;
    while (m_buffer.mid(start, 2) == "\r\n")
        start += 2;
    const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n", start);
    if (headerEnd < 0)
        return false;
    bool complete = false;
    const qsizetype end = requestEnd(start, headerEnd, &complete);
    if (!complete)
        return false;
    const qsizetype lineEnd = m_buffer.indexOf("\r\n", start);
    const QList<QByteArray> words = m_buffer.mid(start, lineEnd - start).split(' ');
    m_requests.append(Request{words.size() >= 2 ? words.at(1) : QByteArray(), end - m_parsed});
    m_parsed = end;
    return true;
}

// Where the request whose head spans start..headerEnd ends, its body included.
qsizetype WireRequestReader::requestEnd(qsizetype start, qsizetype headerEnd, bool* complete) const
{
    const qsizetype bodyStart = headerEnd + 4;
    qsizetype length = 0;
    for (const QByteArray& line : m_buffer.mid(start, headerEnd - start).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed().toLower();
        if (name == "transfer-encoding" && value.contains("chunked"))
            return chunkedEnd(bodyStart, complete);
        if (name == "content-length")
            length = value.toLongLong();
    }
    *complete = m_buffer.size() >= bodyStart + length;
    return bodyStart + length;
}

qsizetype WireRequestReader::chunkedEnd(qsizetype from, bool* complete) const
{
    *complete = false;
    qsizetype pos = from;
    for (;;) {
        const qsizetype lineEnd = m_buffer.indexOf("\r\n", pos);
        if (lineEnd < 0)
            return 0;
        QByteArray sizeText = m_buffer.mid(pos, lineEnd - pos);
        if (const qsizetype semicolon = sizeText.indexOf(';'); semicolon >= 0)
            sizeText.truncate(semicolon);
        bool ok = false;
        const qsizetype size = sizeText.trimmed().toLongLong(&ok, 16);
        if (!ok)
            return 0;
        if (size > 0) {
            pos = lineEnd + 2 + size + 2;
            if (m_buffer.size() < pos)
                return 0;
            continue;
        }
        // The last chunk: optional trailer lines, then an empty line.
        const qsizetype end = m_buffer.mid(lineEnd + 2, 2) == "\r\n"
                                  ? lineEnd + 4
                                  : m_buffer.indexOf("\r\n\r\n", lineEnd + 2) + 4;
        if (end < 4 || end > m_buffer.size())
            return 0;
        *complete = true;
        return end;
    }
}
