#include "tools/devserver/RequestLog.h"

namespace {

constexpr qsizetype kMaxRecords = 20000;
constexpr qsizetype kMaxBytes = 64 * 1024 * 1024;
constexpr qsizetype kMaxWholeBytes = 8 * 1024 * 1024;

} // namespace

void RequestLog::append(const SimRequest& request)
{
    m_records.append(request);
    m_bytes += costOf(request);
    m_wholeBytes += request.body.size();
    while (m_wholeBytes > kMaxWholeBytes && m_firstWhole < m_records.size() - 1)
        trimOldestWhole();
    while (m_records.size() > kMaxRecords || (m_bytes > kMaxBytes && m_records.size() > 1))
        dropOldest();
}

QList<SimRequest> RequestLog::to(const QString& path) const
{
    QList<SimRequest> matching;
    for (const SimRequest& request : m_records) {
        if (QString::fromUtf8(QByteArray::fromPercentEncoding(request.path)) == path)
            matching.append(request);
    }
    return matching;
}

void RequestLog::clear()
{
    m_records.clear();
    m_bytes = m_wholeBytes = m_firstWhole = 0;
}

void RequestLog::trimOldestWhole()
{
    SimRequest& request = m_records[m_firstWhole++];
    m_bytes -= costOf(request);
    m_wholeBytes -= request.body.size();
    request.trim();
    m_bytes += costOf(request);
}

void RequestLog::dropOldest()
{
    const SimRequest request = m_records.takeFirst();
    m_bytes -= costOf(request);
    if (m_firstWhole > 0)
        --m_firstWhole;
    else
        m_wholeBytes -= request.body.size();
}

qsizetype RequestLog::costOf(const SimRequest& request)
{
    constexpr qsizetype kOverhead = 256;
    qsizetype cost = kOverhead + request.target.size() * 2 + request.body.size();
    for (const SimRequest::Part& part : request.parts)
        cost += kOverhead + part.name.size() + part.fileName.size() + part.data.size();
    return cost;
}
