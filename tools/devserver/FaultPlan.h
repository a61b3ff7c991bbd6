#pragma once

#include "tools/devserver/SimFault.h"
#include "tools/devserver/SimRandom.h"

#include <QList>
#include <optional>

// Decides how the next answer misbehaves: scripted faults first, in the order
// they were added, then the standing rates of random failures.
class FaultPlan
{
public:
    FaultPlan(quint64 seed, double failRate, double garbageRate, double dropRate);

    void add(const SimFault& fault) { m_scripted.append(fault); }
    void clear() { m_scripted.clear(); }
    const QList<SimFault>& scripted() const { return m_scripted; }
    std::optional<SimFault> take(const QString& path);

private:
    QList<SimFault> m_scripted;
    SimRandom m_random;
    double m_failRate;
    double m_garbageRate;
    double m_dropRate;
};
