#include "tools/devserver/WireRequestReader.h"

#include <QByteArrayView>
#include <algorithm>
#include <string_view>

namespace {

constexpr qsizetype kMaxChunkLine = 1024;
// Requests complete on the wire that the library has not taken yet. Only a client
// that pipelines without waiting for answers gets there; it is refused before its
// queue makes every arrival re-read megabytes.
constexpr qsizetype kMaxWaiting = 32;

// What the head of a request says about the request and reading its body.
struct Head
{
    QByteArray target;
    bool closeAfter = false;
    qsizetype contentLength = -1;
    bool chunked = false;
    bool host = false;
    bool keepAlive = false;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHex(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isToken(char c)
{
    static constexpr std::string_view symbols = "!#$%&'*+-.^_`|~";
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           symbols.find(c) != std::string_view::npos;
}

bool isVisible(char c)
{
    return c > 0x20 && c < 0x7f;
}

bool isPrintable(char c)
{
    return c >= 0x20 && c < 0x7f;
}

bool isFieldChar(char c)
{
    return c == '\t' || (uchar(c) >= 0x20 && c != 0x7f);
}

bool allOf(const QByteArray& text, bool (*accept)(char))
{
    return std::all_of(text.begin(), text.end(), accept);
}

// Only methods the library's parser knows: it drops a request with any other unanswered.
bool readRequestLine(const QByteArray& line, Head* head)
{
    static const QList<QByteArray> methods{"GET",    "HEAD",    "POST", "PUT",
                                           "DELETE", "OPTIONS", "PATCH"};
    const QList<QByteArray> words = line.split(' ');
    if (words.size() != 3 || !methods.contains(words[0]) || !words[1].startsWith('/') ||
        !allOf(words[1], isVisible) || (words[2] != "HTTP/1.1" && words[2] != "HTTP/1.0"))
        return false;
    head->target = words[1];
    head->closeAfter = words[2] == "HTTP/1.0";
    return true;
}

bool readLength(const QByteArray& value, Head* head)
{
    if (value.isEmpty() || value.size() > 15 || !allOf(value, isDigit))
        return false;
    const qsizetype length = value.toLongLong();
    // Two different lengths leave it open where the next request starts.
    if (head->contentLength >= 0 && head->contentLength != length)
        return false;
    head->contentLength = length;
    return true;
}

bool readField(const QByteArray& line, Head* head)
{
    const qsizetype colon = line.indexOf(':');
    const QByteArray rawValue = line.mid(colon + 1);
    if (colon <= 0 || !allOf(line.left(colon), isToken) || !allOf(rawValue, isFieldChar))
        return false;
    const QByteArray name = line.left(colon).toLower();
    const QByteArray value = rawValue.trimmed().toLower();
    if (name == "content-length")
        return readLength(value, head);
    if (name == "transfer-encoding") {
        if (head->chunked || value != "chunked")
            return false;
        head->chunked = true;
    }
    if (name == "host") {
        if (head->host)
            return false;
        head->host = true;
    }
    if (name == "connection") {
        for (const QByteArray& option : value.split(',')) {
            head->closeAfter = head->closeAfter || option.trimmed() == "close";
            head->keepAlive = head->keepAlive || option.trimmed() == "keep-alive";
        }
    }
    return true;
}

// 0 when the head reads as a request the library reads the same way, else the status.
int parseHead(const QByteArray& text, Head* head)
{
    qsizetype lineEnd = text.indexOf("\r\n");
    if (!readRequestLine(text.left(lineEnd < 0 ? text.size() : lineEnd), head))
        return 400;
    const bool http10 = head->closeAfter;
    while (lineEnd >= 0) {
        const qsizetype start = lineEnd + 2;
        lineEnd = text.indexOf("\r\n", start);
        if (!readField(text.mid(start, lineEnd < 0 ? -1 : lineEnd - start), head))
            return 400;
    }
    // A request with a length and chunks is read one way here and another way further
    // on: the classic way to smuggle a second request past a check.
    if (head->contentLength >= 0 && head->chunked)
        return 400;
    if (head->contentLength > WireRequestReader::kMaxBodyBytes)
        return 413;
    if (http10 && head->keepAlive)
        head->closeAfter = false;
    return 0;
}

// The size of a chunk-size line, extensions ignored; -1 when it is not one.
qsizetype chunkSize(const QByteArray& line)
{
    const qsizetype semicolon = line.indexOf(';');
    const QByteArray digits = semicolon < 0 ? line : line.left(semicolon);
    if (digits.isEmpty() || digits.size() > 8 || !allOf(digits, isHex))
        return -1;
    return digits.toLongLong(nullptr, 16);
}

} // namespace

int WireRequestReader::feed(const QByteArray& bytes)
{
    if (m_refusal)
        return 0;
    m_buffer.append(bytes);
    int complete = 0;
    while (parseOne())
        ++complete;
    if (!m_refusal && m_buffer.size() > kMaxHeadBytes + kMaxBodyBytes)
        refuse(413);
    return complete;
}

int WireRequestReader::feedUnconsumed(const QByteArray& unconsumed)
{
    return feed(unconsumed.startsWith(m_buffer) ? unconsumed.mid(m_buffer.size()) : unconsumed);
}

WireRequestReader::Request WireRequestReader::takeRequest()
{
    if (m_requests.isEmpty())
        return {};
    const Request request = m_requests.takeFirst();
    m_buffer.remove(0, request.length);
    m_parsed -= request.length;
    return request;
}

bool WireRequestReader::parseOne()
{
    if (m_refusal || (m_pending.bodyStart < 0 && !readHead()))
        return false;
    const qsizetype end = requestEnd();
    if (end < 0)
        return false;
    if (m_requests.size() >= kMaxWaiting)
        return refuse(429);
    m_pending.request.length = end - m_parsed;
    m_requests.append(m_pending.request);
    m_parsed = end;
    m_pending = {};
    return true;
}

bool WireRequestReader::readHead()
{
    qsizetype start = m_parsed;
    while (QByteArrayView(m_buffer).sliced(start).startsWith("\r\n"))
        start += 2;
    const qsizetype headEnd = m_buffer.indexOf("\r\n\r\n", start);
    if ((headEnd < 0 ? m_buffer.size() : headEnd + 4) - m_parsed > kMaxHeadBytes)
        return refuse(431);
    Head head;
    if (headEnd < 0) {
        // A first line that can never become a request line is refused at once.
        const qsizetype lineEnd = m_buffer.indexOf("\r\n", start);
        QByteArray line = m_buffer.mid(start, lineEnd < 0 ? -1 : lineEnd - start);
        if (lineEnd < 0 && line.endsWith('\r'))
            line.chop(1);
        if (lineEnd < 0 ? !allOf(line, isPrintable) : !readRequestLine(line, &head))
            return refuse(400);
        return false;
    }
    if (const int status = parseHead(m_buffer.mid(start, headEnd - start), &head))
        return refuse(status);
    m_pending.bodyStart = headEnd + 4 - m_parsed;
    m_pending.contentLength = qMax<qsizetype>(head.contentLength, 0);
    m_pending.chunked = head.chunked;
    m_pending.nextChunk = m_pending.bodyStart;
    m_pending.request.target = head.target;
    m_pending.request.closeAfter = head.closeAfter;
    return true;
}

// Where the pending request ends, its body included; -1 while it is incomplete.
qsizetype WireRequestReader::requestEnd()
{
    if (m_pending.chunked)
        return chunkedEnd();
    const qsizetype end = m_parsed + m_pending.bodyStart + m_pending.contentLength;
    return m_buffer.size() >= end ? end : -1;
}

// Walks the chunks on from where the last walk stopped, so a body of many small
// chunks costs one pass. The chunk lines count towards the body limit.
qsizetype WireRequestReader::chunkedEnd()
{
    const qsizetype bodyStart = m_parsed + m_pending.bodyStart;
    for (;;) {
        const qsizetype pos = m_parsed + m_pending.nextChunk;
        const qsizetype lineEnd = m_buffer.indexOf("\r\n", pos);
        const qsizetype size = lineEnd < 0 ? -2 : chunkSize(m_buffer.mid(pos, lineEnd - pos));
        if ((lineEnd < 0 ? m_buffer.size() : lineEnd) - pos > kMaxChunkLine || size == -1)
            return refuseBody(400);
        if (lineEnd < 0)
            return -1;
        if (size == 0) {
            // The last chunk: optional trailer lines, then an empty line.
            const qsizetype end = m_buffer.indexOf("\r\n\r\n", lineEnd);
            if (end < 0 && m_buffer.size() - lineEnd > kMaxHeadBytes)
                return refuseBody(431);
            return end < 0 ? -1 : end + 4;
        }
        const qsizetype dataEnd = lineEnd + 2 + size;
        if (dataEnd + 2 - bodyStart > kMaxBodyBytes)
            return refuseBody(413);
        if (m_buffer.size() < dataEnd + 2)
            return -1;
        if (QByteArrayView(m_buffer).sliced(dataEnd, 2) != "\r\n")
            return refuseBody(400);
        m_pending.nextChunk = dataEnd + 2 - m_parsed;
    }
}

bool WireRequestReader::refuse(int status)
{
    m_refusal = status;
    return false;
}

qsizetype WireRequestReader::refuseBody(int status)
{
    refuse(status);
    return -1;
}
