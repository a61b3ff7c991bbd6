#include "tools/devserver/FaultPlan.h"

FaultPlan::FaultPlan(quint64 seed, double failRate, double garbageRate, double dropRate)
    : m_random(SimRandom::hash(seed, "faults")), m_failRate(failRate), m_garbageRate(garbageRate),
      m_dropRate(dropRate)
{
}

std::optional<SimFault> FaultPlan::take(const QString& path)
{
    for (qsizetype i = 0; i < m_scripted.size(); ++i) {
        SimFault& fault = m_scripted[i];
        if (!fault.matches(path))
            continue;
        const SimFault taken = fault;
        if (fault.count > 0 && --fault.count == 0)
            m_scripted.removeAt(i);
        return taken;
    }
    if (m_failRate <= 0 && m_garbageRate <= 0 && m_dropRate <= 0)
        return std::nullopt;
    const double draw = m_random.uniform();
    if (draw < m_dropRate)
        return SimFault::of(SimFault::Kind::Drop, path);
    if (draw < m_dropRate + m_failRate)
        return SimFault::of(SimFault::Kind::ServerError, path);
    if (draw < m_dropRate + m_failRate + m_garbageRate)
        return SimFault::of(SimFault::Kind::Garbage, path);
    return std::nullopt;
}
