#include "poll/PollFeed.h"

#include "platform/Timer.h"

PollFeed::PollFeed(DeviceServer* server, Hold hold, QObject* parent)
    : QObject(parent), m_server(server), m_hold(std::move(hold))
{
    m_timer = new Timer(
        1.0, true, [this] { tick(); }, this);
}

void PollFeed::resume()
{
    m_timer->setFireDate(Timer::FireDate::DistantPast);
}

void PollFeed::pause()
{
    m_timer->setFireDate(Timer::FireDate::DistantFuture);
}

bool PollFeed::beginRequest()
{
    if (m_inFlight || !m_server)
        return false;
    m_inFlight = true;
    return true;
}

std::shared_ptr<void> PollFeed::holdToken() const
{
    return m_hold ? m_hold() : nullptr;
}

DeviceServer::Failure PollFeed::failed()
{
    return [self = QPointer<PollFeed>(this), hold = holdToken()](const QString& error) {
        DeviceServer::logError(error);
        if (self)
            self->m_inFlight = false;
    };
}
