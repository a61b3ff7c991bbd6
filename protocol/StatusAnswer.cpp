#include "protocol/StatusAnswer.h"

namespace {

ReturnMarker::Kind markerKind(StatusRecord::Kind kind)
{
    return kind == StatusRecord::Poll ? ReturnMarker::Poll : ReturnMarker::Account;
}

} // namespace

StatusAnswer::StatusAnswer(StatusRecord::Kind kind, const ServerAnswer& answer)
    : m_object(answer.record()), m_message(ServerAnswer::text(m_object, messageKey(kind))),
      m_marker(ReturnMarker::classify(markerKind(kind), m_message)), m_record(kind, m_object)
{
}

QString StatusAnswer::messageKey(StatusRecord::Kind kind)
{
    switch (kind) {
    case StatusRecord::Login:
        return QStringLiteral("loginreturnmsg");
    case StatusRecord::Registration:
        return QStringLiteral("registerreturnmsg");
    case StatusRecord::Poll:
        break;
    }
    return QStringLiteral("timerreturnmsg");
}
