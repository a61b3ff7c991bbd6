#include "poll/StatusPoller.h"

#include <utility>

namespace {

StatusPoller*& current()
{
    static StatusPoller* poller = nullptr;
    return poller;
}

} // namespace

StatusPoller* StatusPoller::installed()
{
    return current();
}

StatusPoller* StatusPoller::install(StatusPoller* poller)
{
    return std::exchange(current(), poller);
}

bool StatusPoller::throttlePasses(qint64 intervalMs)
{
    const QDateTime current = now();
    if (!m_lastPollTime.isValid()) {
        m_lastPollTime = current;
        return false;
    }
    if (m_lastPollTime.msecsTo(current) <= intervalMs)
        return false;
    m_lastPollTime = current;
    return true;
}
