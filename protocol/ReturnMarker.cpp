#include "protocol/ReturnMarker.h"

#include <QList>

namespace {

QList<ReturnMarker::Marker> searchOrder(ReturnMarker::Kind kind)
{
    switch (kind) {
    case ReturnMarker::Account:
        return {ReturnMarker::Error1, ReturnMarker::Error2, ReturnMarker::Error3, ReturnMarker::Ok};
    case ReturnMarker::RecoveryMail:
        return {ReturnMarker::Error1, ReturnMarker::Error2, ReturnMarker::Error3};
    case ReturnMarker::CodeMail:
        return {ReturnMarker::Error1};
    case ReturnMarker::Poll:
        return {ReturnMarker::Ok};
    }
    return {};
}

} // namespace

ReturnMarker::Marker ReturnMarker::classify(Kind kind, const std::optional<QString>& message)
{
    if (!message)
        return kind == Poll ? None : Error1;
    for (Marker marker : searchOrder(kind))
        if (message->contains(text(marker)))
            return marker;
    const bool mail = kind == RecoveryMail || kind == CodeMail;
    return mail ? Ok : None;
}

QString ReturnMarker::text(Marker marker)
{
    switch (marker) {
    case Error1:
        return QStringLiteral("error:1");
    case Error2:
        return QStringLiteral("error:2");
    case Error3:
        return QStringLiteral("error:3");
    case Ok:
        return QStringLiteral("ok");
    case None:
        break;
    }
    return {};
}
