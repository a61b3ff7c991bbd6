#include "tools/devserver/ControlApi.h"

#include "tools/devserver/DeviceServerSimulator.h"
#include "tools/devserver/QueryString.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonObject requestJson(const SimRequest& request)
{
    QJsonArray parts;
    for (const SimRequest::Part& part : request.parts) {
        parts.append(QJsonObject{{"name", QString::fromUtf8(part.name)},
                                 {"fileName", QString::fromUtf8(part.fileName)},
                                 {"contentType", QString::fromUtf8(part.contentType)},
                                 {"size", part.size}});
    }
    return QJsonObject{{"method", QString::fromLatin1(request.method)},
                       {"target", QString::fromLatin1(request.target)},
                       {"path", QString::fromLatin1(request.path)},
                       {"query", request.hasQuery ? QJsonValue(QString::fromLatin1(request.query))
                                                  : QJsonValue::Null},
                       {"bodySize", request.bodySize},
                       {"bodySha256", QString::fromLatin1(request.bodySha256)},
                       {"parts", parts},
                       {"received", request.received.toString(Qt::ISODate)}};
}

QJsonObject mailJson(const SimMail& mail)
{
    return QJsonObject{{"sent", mail.sent.toString(Qt::ISODate)},
                       {"to", mail.to},
                       {"subject", mail.subject},
                       {"body", mail.body},
                       {"code", mail.code},
                       {"file", mail.file}};
}

} // namespace

ControlApi::ControlApi(DeviceServerSimulator& simulator) : m_simulator(simulator) {}

SimAnswer ControlApi::answer(const SimRequest& request, const QString& path)
{
    const QueryString query(request.query);
    const Access access = accessOf(path);
    const bool post = request.method == "POST";
    if (!post && request.method != "GET")
        return notAllowed(access == Access::Change ? "POST" : "GET, POST");
    if (access == Access::Change && !post)
        return notAllowed("POST");
    if (access == Access::Read && post)
        return notAllowed("GET");
    return dispatch(request, path, query);
}

// Unknown paths count as reads, so that they get their 404.
ControlApi::Access ControlApi::accessOf(const QString& path)
{
    static const QStringList changing{"/_sim/requests/clear", "/_sim/fault", "/_sim/faults/clear",
                                      "/_sim/advance", "/_sim/device"};
    if (path == "/_sim/state")
        return Access::ReadOrChange;
    return changing.contains(path) ? Access::Change : Access::Read;
}

SimAnswer ControlApi::dispatch(const SimRequest& request, const QString& path,
                               const QueryString& query)
{
    if (path == "/_sim" || path == "/_sim/")
        return help();
    if (path == "/_sim/requests")
        return requests(query);
    if (path == "/_sim/requests/clear") {
        m_simulator.clearRequests();
        return json(QJsonObject{{"cleared", true}});
    }
    if (path == "/_sim/outbox")
        return outbox();
    if (path == "/_sim/state")
        return state(request, query);
    if (path == "/_sim/fault")
        return fault(request, query);
    if (path == "/_sim/faults")
        return faults();
    if (path == "/_sim/faults/clear") {
        m_simulator.clearFaults();
        return faults();
    }
    if (path == "/_sim/advance")
        return advance(query);
    if (path == "/_sim/time")
        return json(QJsonObject{{"now", m_simulator.now().toString(Qt::ISODate)}});
    if (path == "/_sim/device")
        return addDevice(query);
    if (path == "/_sim/log")
        return log();
    return failure("no such control endpoint; see /_sim/", 404);
}

SimAnswer ControlApi::forbidden()
{
    return failure("the control API answers requests to localhost only", 403);
}

SimAnswer ControlApi::help() const
{
    const QByteArray text =
        "lvxing-devserver control API (JSON answers; GET reads, POST changes: parameters in\n"
        "the query or a JSON object as the body; only for Host localhost or 127.x)\n"
        "  GET  /_sim/state?devid=D             device state\n"
        "  POST /_sim/state?devid=D&power=33.8  change it: lat+lng, hold=0, power, banlvstate,\n"
        "                                       banlvstateupdate, maxspeed, lightspeed,\n"
        "                                       weilanradio, weilanmode, weilanwaring\n"
        "  GET  /_sim/requests[?path=/X.php]    requests received, raw targets in order\n"
        "  POST /_sim/requests/clear            forget them\n"
        "  GET  /_sim/outbox                    mails sent (verification codes, passwords)\n"
        "  POST /_sim/fault?kind=K[&script=/X.php][&count=N][&delayMs=MS][&status=S][&body=B]\n"
        "                                       K: 500 garbage drop cut delay stall raw;\n"
        "                                       count -1 keeps it until cleared\n"
        "  GET  /_sim/faults                    scripted faults\n"
        "  POST /_sim/faults/clear              forget them\n"
        "  POST /_sim/advance?seconds=N         move simulated time on\n"
        "  GET  /_sim/time                      read it\n"
        "  POST /_sim/device?devid=D            add a device without an account (digits only)\n"
        "  GET  /_sim/log                       the simulator's log\n";
    return SimAnswer{200, "text/plain; charset=UTF-8", text, {}};
}

SimAnswer ControlApi::requests(const QueryString& query) const
{
    const QList<SimRequest> list =
        query.filled("path") ? m_simulator.requestsTo(query.value("path")) : m_simulator.requests();
    QJsonArray array;
    for (const SimRequest& request : list)
        array.append(requestJson(request));
    return json(array);
}

SimAnswer ControlApi::outbox() const
{
    QJsonArray array;
    for (const SimMail& mail : m_simulator.outbox())
        array.append(mailJson(mail));
    return json(array);
}

SimAnswer ControlApi::state(const SimRequest& request, const QueryString& query)
{
    const QString devid = query.value("devid");
    if (!SimDevice::isValidDevid(devid))
        return badDevid(devid);
    if (!m_simulator.hasDevice(devid))
        return failure("unknown device " + devid, 404);
    QString error;
    const QJsonObject changes = fields(request, query, &error);
    if (!error.isEmpty())
        return failure(error);
    if (!changes.isEmpty() && request.method != "POST")
        return notAllowed("POST");
    if (!changes.isEmpty() && !m_simulator.setDeviceState(devid, changes, &error))
        return failure(error);
    return json(m_simulator.deviceState(devid));
}

SimAnswer ControlApi::fault(const SimRequest& request, const QueryString& query)
{
    QString error;
    QJsonObject object = fields(request, query, &error);
    // Numbers from a query arrive as texts.
    for (const char* key : {"count", "delayMs", "status"}) {
        if (object.value(key).isString())
            object.insert(key, object.value(key).toString().toInt());
    }
    SimFault fault;
    if (!error.isEmpty() || !SimFault::fromJson(object, &fault, &error))
        return failure(error);
    m_simulator.addFault(fault);
    return faults();
}

SimAnswer ControlApi::faults() const
{
    QJsonArray array;
    for (const SimFault& fault : m_simulator.faults())
        array.append(fault.toJson());
    return json(array);
}

SimAnswer ControlApi::advance(const QueryString& query)
{
    m_simulator.advance(query.value("seconds").toLongLong());
    return json(QJsonObject{{"now", m_simulator.now().toString(Qt::ISODate)}});
}

SimAnswer ControlApi::addDevice(const QueryString& query)
{
    const QString devid = query.value("devid");
    if (!SimDevice::isValidDevid(devid))
        return badDevid(devid);
    m_simulator.addDevice(devid);
    return json(m_simulator.deviceState(devid));
}

SimAnswer ControlApi::log() const
{
    return SimAnswer{
        200, "text/plain; charset=UTF-8", m_simulator.logLines().join('\n').toUtf8() + '\n', {}};
}

QJsonObject ControlApi::fields(const SimRequest& request, const QueryString& query, QString* error)
{
    QJsonObject object;
    if (!request.body.trimmed().isEmpty()) {
        QJsonParseError parse;
        const QJsonDocument document = QJsonDocument::fromJson(request.body, &parse);
        if (!document.isObject()) {
            *error = "the body is not a JSON object";
            return {};
        }
        object = document.object();
    }
    for (auto it = query.values().begin(); it != query.values().end(); ++it) {
        if (it.key() != "devid")
            object.insert(it.key(), it.value());
    }
    return object;
}

SimAnswer ControlApi::json(const QJsonValue& value, int status)
{
    const QByteArray body = value.isArray()
                                ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Indented)
                                : QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented);
    return SimAnswer{status, "application/json", body, {}};
}

SimAnswer ControlApi::failure(const QString& message, int status)
{
    return json(QJsonObject{{"error", message}}, status);
}

SimAnswer ControlApi::notAllowed(const QByteArray& allowed)
{
    SimAnswer answer = failure("method not allowed here; use " + QString::fromLatin1(allowed), 405);
    answer.headers.append({"Allow", allowed});
    return answer;
}

SimAnswer ControlApi::badDevid(const QString& devid)
{
    return failure("a devid is digits only, not \"" + devid.left(40) + "\"");
}
