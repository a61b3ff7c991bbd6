#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Deterministic numbers for the simulated world: a splitmix64 stream, and values
// hashed from the seed and a few keys so any fact (a day's mileage, a rider's
// level) can be recomputed without replaying the stream.
class SimRandom
{
public:
    explicit SimRandom(quint64 seed);

    quint64 next();
    double uniform(); // in [0, 1)
    double range(double low, double high);
    int between(int low, int high); // both ends included

    static quint64 mix(quint64 value);
    static quint64 hash(quint64 seed, const QString& key, qint64 extra = 0);
    static double uniformOf(quint64 seed, const QString& key, qint64 extra = 0);

private:
    quint64 m_state;
};
