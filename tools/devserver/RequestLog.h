#pragma once

#include "tools/devserver/SimRequest.h"

#include <QList>
#include <QString>

// The requests the scripts received, oldest first, within bounds a long-running
// server can afford: at most 20,000 records and 64 MB. Records are trimmed to the
// size, hash and first 4 KB of their bodies, except the newest, which keep their
// whole bodies while those add up to 8 MB at most, so a test can still read back
// the picture it just uploaded.
class RequestLog
{
public:
    void append(const SimRequest& request);
    const QList<SimRequest>& all() const { return m_records; }
    // The records whose decoded path is this one.
    QList<SimRequest> to(const QString& path) const;
    void clear();

private:
    void trimOldestWhole();
    void dropOldest();
    static qsizetype costOf(const SimRequest& request);

    QList<SimRequest> m_records;
    qsizetype m_bytes = 0;      // held by all records
    qsizetype m_wholeBytes = 0; // bodies of the records not trimmed yet
    qsizetype m_firstWhole = 0; // the oldest record not trimmed yet
};
