#include "screens/dashboard/SpeedLimit.h"

SpeedLimit& SpeedLimit::of(Kind kind)
{
    static SpeedLimit maxSpeed(Kind::MaxSpeed);
    static SpeedLimit lightSpeed(Kind::LightSpeed);
    return kind == Kind::MaxSpeed ? maxSpeed : lightSpeed;
}

QString SpeedLimit::key() const
{
    return m_kind == Kind::MaxSpeed ? QStringLiteral("maxspeed") : QStringLiteral("lightspeed");
}

void SpeedLimit::load(qint64 stored)
{
    if (m_inFlight.isEmpty())
        m_confirmed = stored;
}

quint64 SpeedLimit::send(qint64 value)
{
    m_lastFailed = false;
    m_inFlight.insert(++m_lastTicket, value);
    return m_lastTicket;
}

SpeedLimit::Outcome SpeedLimit::accepted(quint64 ticket)
{
    if (!m_inFlight.contains(ticket))
        return Outcome::Nothing;
    const qint64 value = m_inFlight.take(ticket);
    // Answers can overtake one another: an older acceptance never replaces a newer one.
    if (ticket < m_acceptedTicket)
        return Outcome::Nothing;
    m_acceptedTicket = ticket;
    const bool changed = value != m_confirmed;
    m_confirmed = value;
    return m_lastFailed && changed ? Outcome::Restore : Outcome::Nothing;
}

SpeedLimit::Outcome SpeedLimit::failed(quint64 ticket)
{
    if (!m_inFlight.contains(ticket))
        return Outcome::Nothing;
    m_inFlight.remove(ticket);
    if (ticket != m_lastTicket)
        return Outcome::Nothing;
    m_lastFailed = true;
    return Outcome::RestoreAndAlert;
}

void SpeedLimit::reset()
{
    m_confirmed = 0;
    m_inFlight.clear();
    // Tickets keep counting, so an answer to an upload from before cannot pass for a new one.
    m_acceptedTicket = m_lastTicket;
    m_lastFailed = false;
}
