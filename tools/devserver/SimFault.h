#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

// A scripted misbehaviour for the next answers of one script, or of every script.
struct SimFault
{
    enum class Kind {
        ServerError, // HTTP 500 with a short body
        Garbage,     // status 200 with a body that is not JSON
        // The connection is closed without any answer. QNetworkAccessManager sends a
        // request once more when its connection closes before the first answer byte,
        // so a client of that kind fails only when two drops follow each other.
        Drop,
        CutBody, // status and headers, half the body, then the connection closes
        Delay,   // the normal answer, delayMs later
        Stall,   // no answer at all; the connection stays open
        RawBody, // the given status, headers and body instead of the normal answer
    };

    Kind kind = Kind::ServerError;
    QString script; // path such as "/TolvarLoginIOS.php"; empty: every script
    int count = 1;  // answers it applies to; negative: until the faults are cleared
    int delayMs = 0;
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    static SimFault of(Kind kind, const QString& script = {}, int count = 1);
    static SimFault delay(int ms, const QString& script = {}, int count = 1);
    static SimFault raw(const QByteArray& body, const QString& script = {}, int count = 1,
                        int status = 200);

    bool matches(const QString& path) const;

    // Kind names used by the control API: "500", "garbage", "drop", "cut", "delay",
    // "stall", "raw".
    static QString kindName(Kind kind);
    static bool kindFromName(const QString& name, Kind* kind);
    static bool fromJson(const QJsonObject& object, SimFault* fault, QString* error);
    QJsonObject toJson() const;
};
