#include "tools/devserver/SimFault.h"

namespace {

const QList<QPair<SimFault::Kind, QString>>& kindNames()
{
    static const QList<QPair<SimFault::Kind, QString>> names{
        {SimFault::Kind::ServerError, "500"}, {SimFault::Kind::Garbage, "garbage"},
        {SimFault::Kind::Drop, "drop"},       {SimFault::Kind::CutBody, "cut"},
        {SimFault::Kind::Delay, "delay"},     {SimFault::Kind::Stall, "stall"},
        {SimFault::Kind::RawBody, "raw"},
    };
    return names;
}

} // namespace

SimFault SimFault::of(Kind kind, const QString& script, int count)
{
    SimFault fault;
    fault.kind = kind;
    fault.script = script;
    fault.count = count;
    return fault;
}

SimFault SimFault::delay(int ms, const QString& script, int count)
{
    SimFault fault = of(Kind::Delay, script, count);
    fault.delayMs = ms;
    return fault;
}

SimFault SimFault::raw(const QByteArray& body, const QString& script, int count, int status)
{
    SimFault fault = of(Kind::RawBody, script, count);
    fault.body = body;
    fault.status = status;
    return fault;
}

bool SimFault::matches(const QString& path) const
{
    if (script.isEmpty())
        return true;
    const QString wanted = script.startsWith('/') ? script : "/" + script;
    return wanted == path;
}

QString SimFault::kindName(Kind kind)
{
    for (const auto& entry : kindNames()) {
        if (entry.first == kind)
            return entry.second;
    }
    return {};
}

bool SimFault::kindFromName(const QString& name, Kind* kind)
{
    for (const auto& entry : kindNames()) {
        if (entry.second == name) {
            *kind = entry.first;
            return true;
        }
    }
    return false;
}

bool SimFault::fromJson(const QJsonObject& object, SimFault* fault, QString* error)
{
    SimFault result;
    if (!kindFromName(object.value("kind").toString(), &result.kind)) {
        *error = "unknown kind; use 500, garbage, drop, cut, delay, stall or raw";
        return false;
    }
    result.script = object.value("script").toString();
    result.count = object.value("count").toInt(1);
    result.delayMs = object.value("delayMs").toInt(0);
    result.status = object.value("status").toInt(200);
    result.body = object.value("body").toString().toUtf8();
    const QJsonObject headers = object.value("headers").toObject();
    for (auto it = headers.begin(); it != headers.end(); ++it)
        result.headers.append({it.key().toUtf8(), it.value().toString().toUtf8()});
    *fault = result;
    return true;
}

QJsonObject SimFault::toJson() const
{
    QJsonObject object{{"kind", kindName(kind)}, {"script", script}, {"count", count}};
    if (kind == Kind::Delay)
        object.insert("delayMs", delayMs);
    if (kind == Kind::RawBody) {
        object.insert("status", status);
        object.insert("body", QString::fromUtf8(body));
    }
    return object;
}
