#pragma once

#include <QByteArray>
#include <QList>

// Follows the bytes of one connection and cuts them into requests, keeping each
// request target exactly as sent (the HTTP library hands out only a parsed URL).
class WireRequestReader
{
public:
    void feed(const QByteArray& bytes);
    bool hasTarget() const { return !m_targets.isEmpty(); }
    QByteArray takeTarget();

private:
    bool takeOneRequest();
    qsizetype bodyLength(const QByteArray& headers, qsizetype from, bool* complete) const;
    qsizetype chunkedLength(qsizetype from, bool* complete) const;

    QByteArray m_buffer;
    QList<QByteArray> m_targets;
};
