#pragma once

#include "protocol/ReturnMarker.h"
#include "protocol/ServerAnswer.h"
#include "protocol/StatusRecord.h"

#include <optional>

// A login, registration or status poll answer: its return message, classified,
// and the status record it carries.
class StatusAnswer
{
public:
    StatusAnswer(StatusRecord::Kind kind, const ServerAnswer& answer);

    // "loginreturnmsg", "registerreturnmsg" or "timerreturnmsg".
    static QString messageKey(StatusRecord::Kind kind);

    const std::optional<QString>& returnMessage() const { return m_message; }
    ReturnMarker::Marker marker() const { return m_marker; }
    bool isOk() const { return m_marker == ReturnMarker::Ok; }
    const StatusRecord& record() const { return m_record; }
    const QJsonObject& object() const { return m_object; }

    // The answer's own fields read as numbers (weilanwaring, banlvstate, ...).
    qint64 integer(const QString& key) const { return ServerAnswer::integer(m_object, key); }
    float number32(const QString& key) const { return ServerAnswer::number32(m_object, key); }

private:
    QJsonObject m_object;
    std::optional<QString> m_message;
    ReturnMarker::Marker m_marker;
    StatusRecord m_record;
};
