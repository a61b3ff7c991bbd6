#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

// One request as the simulator received it, with the target exactly as it came
// on the wire (nothing decoded), for tests that check what a client sent.
struct SimRequest
{
    // One part of a multipart form body.
    struct Part
    {
        QByteArray name;
        QByteArray fileName;
        QByteArray contentType;
        QByteArray data;
    };

    QByteArray method;
    QByteArray target; // path and query as on the request line
    QByteArray path;   // the target up to "?"
    QByteArray query;  // the target after the first "?", undecoded
    bool hasQuery = false;
    QByteArray body;
    QList<Part> parts;
    QDateTime received; // simulated time
};
