#include "tools/devserver/SimRandom.h"

SimRandom::SimRandom(quint64 seed) : m_state(seed) {}

quint64 SimRandom::mix(quint64 value)
{
    value += 0x9e3779b97f4a7c15ULL;
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
    return value ^ (value >> 31);
}

quint64 SimRandom::next()
{
    m_state += 0x9e3779b97f4a7c15ULL;
    return mix(m_state);
}

double SimRandom::uniform()
{
    return double(next() >> 11) / double(1ULL << 53);
}

double SimRandom::range(double low, double high)
{
    return low + (high - low) * uniform();
}

int SimRandom::between(int low, int high)
{
    return low + int(next() % quint64(high - low + 1));
}

quint64 SimRandom::hash(quint64 seed, const QString& key, qint64 extra)
{
    // FNV-1a over the key's UTF-8 bytes, then mixed with the seed and the extra key.
    quint64 h = 0xcbf29ce484222325ULL;
    for (char c : key.toUtf8()) {
        h ^= quint8(c);
        h *= 0x100000001b3ULL;
    }
    return mix(mix(h ^ seed) ^ quint64(extra));
}

double SimRandom::uniformOf(quint64 seed, const QString& key, qint64 extra)
{
    return double(hash(seed, key, extra) >> 11) / double(1ULL << 53);
}
