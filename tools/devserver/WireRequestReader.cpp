#include "tools/devserver/WireRequestReader.h"

void WireRequestReader::feed(const QByteArray& bytes)
{
    m_buffer.append(bytes);
    while (takeOneRequest()) {
    }
}

QByteArray WireRequestReader::takeTarget()
{
    return m_targets.isEmpty() ? QByteArray() : m_targets.takeFirst();
}

bool WireRequestReader::takeOneRequest()
{
    while (m_buffer.startsWith("\r\n"))
        m_buffer.remove(0, 2);
    const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return false;
    const QByteArray head = m_buffer.left(headerEnd);
    bool complete = false;
    const qsizetype total = bodyLength(head, headerEnd + 4, &complete);
    if (!complete)
        return false;
    const QByteArray requestLine = head.left(head.indexOf("\r\n") < 0 ? head.size()
                                                                        : head.indexOf("\r\n"));
    const QList<QByteArray> words = requestLine.split(' ');
    m_targets.append(words.size() >= 2 ? words.at(1) : QByteArray());
    m_buffer.remove(0, total);
    return true;
}

// Returns where the request that starts at 0 ends, the body included.
qsizetype WireRequestReader::bodyLength(const QByteArray& head, qsizetype from,
                                        bool* complete) const
{
    qsizetype length = 0;
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed().toLower();
        if (name == "transfer-encoding" && value.contains("chunked"))
            return chunkedLength(from, complete);
        if (name == "content-length")
            length = value.toLongLong();
    }
    *complete = m_buffer.size() >= from + length;
    return from + length;
}

qsizetype WireRequestReader::chunkedLength(qsizetype from, bool* complete) const
{
    *complete = false;
    qsizetype pos = from;
    for (;;) {
        const qsizetype lineEnd = m_buffer.indexOf("\r\n", pos);
        if (lineEnd < 0)
            return 0;
        QByteArray sizeText = m_buffer.mid(pos, lineEnd - pos);
        sizeText = sizeText.left(sizeText.indexOf(';') < 0 ? sizeText.size()
                                                           : sizeText.indexOf(';'));
        bool ok = false;
        const qsizetype size = sizeText.trimmed().toLongLong(&ok, 16);
        if (!ok)
            return 0;
        if (size == 0) {
            const qsizetype trailerEnd = m_buffer.indexOf("\r\n", lineEnd + 2);
            const qsizetype end = m_buffer.indexOf("\r\n\r\n", lineEnd);
            // Without trailers the chunked body ends with the empty line right after "0".
            if (trailerEnd == lineEnd + 2) {
                *complete = true;
                return trailerEnd + 2;
            }
            if (end < 0)
                return 0;
            *complete = true;
            return end + 4;
        }
        pos = lineEnd + 2 + size + 2;
        if (m_buffer.size() < pos)
            return 0;
    }
}
