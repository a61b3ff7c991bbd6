#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

// One request as the simulator received it, with the target exactly as it came
// on the wire (nothing decoded), for tests that check what a client sent.
struct SimRequest
{
    // What the request log keeps of a body once it trims the record.
    static constexpr qsizetype kKeptBodyBytes = 4096;

    // One part of a multipart form body.
    struct Part
    {
        QByteArray name;
        QByteArray fileName;
        QByteArray contentType;
        QByteArray data; // empty once the record is trimmed
        qsizetype size = 0;
    };

    QByteArray method;
    QByteArray target; // path and query as on the request line
    QByteArray path;   // the target up to "?"
    QByteArray query;  // the target after the first "?", undecoded
    bool hasQuery = false;
    QByteArray body; // the whole body, or its first 4 KB once the record is trimmed
    qsizetype bodySize = 0;
    QByteArray bodySha256; // hex
    QList<Part> parts;
    QDateTime received; // simulated time

    // Keeps of the body its size, hash and first 4 KB only, of the parts their size.
    void trim()
    {
        body.truncate(kKeptBodyBytes);
        for (Part& part : parts)
            part.data.clear();
    }
};
