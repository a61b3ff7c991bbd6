#include "tools/devserver/DeviceServerSimulator.h"

#include "tools/devserver/ControlApi.h"
#include "tools/devserver/DeviceScripts.h"
#include "tools/devserver/FaultPlan.h"
#include "tools/devserver/HostHeader.h"
#include "tools/devserver/MultipartBody.h"
#include "tools/devserver/SimAnswer.h"
#include "tools/devserver/SimHttpServer.h"
#include "tools/devserver/SimWorld.h"

#include <QCryptographicHash>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

namespace {

const QByteArray kGarbage = "<br />\n<b>Warning</b>:  mysql_connect(): Too many connections in "
                            "<b>/var/www/html/Tolvar.php</b> on line <b>12</b><br />\n";
const QByteArray kServerError = "<html><body><h1>500 Internal Server Error</h1></body></html>\n";

QByteArray headerOf(const QHttpServerRequest& request, const QByteArray& name)
{
    for (const auto& header : request.headers()) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

QString methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Options:
        return "OPTIONS";
    case QHttpServerRequest::Method::Patch:
        return "PATCH";
    default:
        return "OTHER";
    }
}

} // namespace

DeviceServerSimulator::DeviceServerSimulator(const SimulatorOptions& options, QObject* parent)
    : QObject(parent), m_options(options), m_world(std::make_unique<SimWorld>(options)),
      m_scripts(std::make_unique<DeviceScripts>(*m_world)),
      m_faults(std::make_unique<FaultPlan>(options.seed, options.failRate, options.garbageRate,
                                           options.dropRate)),
      m_control(std::make_unique<ControlApi>(*this))
{
}

DeviceServerSimulator::~DeviceServerSimulator() = default;

quint16 DeviceServerSimulator::listen(quint16 port, const QHostAddress& address)
{
    if (!m_server) {
        m_server = new SimHttpServer(this);
        m_server->setIdleLimit(m_options.idleLimitMs);
        m_server->setHandler(
            [this](const QHttpServerRequest& request, QTcpSocket* socket,
                   const WireRequestReader::Request& wire) { onRequest(request, socket, wire); });
    }
    m_port = m_server->listenOn(address, port);
    if (m_port) {
        const bool anyAddress = address == QHostAddress::Any || address == QHostAddress::AnyIPv4 ||
                                address == QHostAddress::AnyIPv6;
        m_host = anyAddress ? "127.0.0.1" : address.toString();
        m_world->log(QStringLiteral("listening on %1").arg(baseUrl().toString()));
    }
    return m_port;
}

QUrl DeviceServerSimulator::baseUrl() const
{
    QUrl url;
    url.setScheme("http");
    url.setHost(m_host);
    url.setPort(m_port);
    return url;
}

QString DeviceServerSimulator::dataDir() const
{
    return m_world->dataDir();
}

void DeviceServerSimulator::onRequest(const QHttpServerRequest& request, QTcpSocket* socket,
                                      const WireRequestReader::Request& wire)
{
    const Exchange exchange{request, socket, wire.closeAfter};
    const SimRequest record = recordOf(request, wire.target);
    const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(record.path));
    if (path == "/_sim" || path.startsWith("/_sim/")) {
        respond(exchange, Action::Answer, controlAnswer(request, record, path), 0);
        return;
    }
    m_requests.append(record);
    emit requestReceived(record);

    const std::optional<SimFault> fault = m_faults->take(path);
    const int delayMs =
        m_options.latencyMs + (fault && fault->kind == SimFault::Kind::Delay ? fault->delayMs : 0);
    if (fault && fault->kind != SimFault::Kind::Delay && fault->kind != SimFault::Kind::CutBody) {
        logRequest(record, "fault " + SimFault::kindName(fault->kind));
        respondToFault(exchange, *fault, delayMs);
        return;
    }
    // A delayed or cut answer is still the script's answer, with its effects.
    const SimAnswer answer = m_scripts->answer(path, record, baseFor(request));
    const bool cut = fault && fault->kind == SimFault::Kind::CutBody;
    logRequest(record, QString::number(answer.status) + (cut ? " cut short" : ""));
    respond(exchange, cut ? Action::Cut : Action::Answer, answer, delayMs);
}

// The control API changes the world and shows passwords, so it answers only
// requests that name this machine: a web page elsewhere that reaches the port
// (through DNS rebinding, or a form it posts) names its own host or origin.
SimAnswer DeviceServerSimulator::controlAnswer(const QHttpServerRequest& request,
                                               const SimRequest& record, const QString& path)
{
    const QByteArray origin = headerOf(request, "Origin");
    if (!HostHeader::isLoopback(headerOf(request, "Host")) ||
        (!origin.isEmpty() && !HostHeader::isLoopbackOrigin(origin)))
        return ControlApi::forbidden();
    return m_control->answer(record, path);
}

// Faults that replace the answer leave the world as it was: the script never ran.
void DeviceServerSimulator::respondToFault(const Exchange& exchange, const SimFault& fault,
                                           int delayMs)
{
    switch (fault.kind) {
    case SimFault::Kind::ServerError:
        respond(exchange, Action::Answer, SimAnswer{500, "text/html", kServerError, {}}, delayMs);
        break;
    case SimFault::Kind::Garbage:
        respond(exchange, Action::Answer, SimAnswer::text(kGarbage), delayMs);
        break;
    case SimFault::Kind::RawBody:
        respond(exchange, Action::Answer,
                SimAnswer{fault.status, "text/html; charset=UTF-8", fault.body, fault.headers},
                delayMs);
        break;
    case SimFault::Kind::Drop:
        respond(exchange, Action::Drop, {}, delayMs);
        break;
    default:
        break; // a stall: no answer, the connection stays open until the client leaves
    }
}

SimRequest DeviceServerSimulator::recordOf(const QHttpServerRequest& request,
                                           const QByteArray& rawTarget) const
{
    SimRequest record;
    record.method = methodName(request.method()).toLatin1();
    record.target = rawTarget;
    const qsizetype mark = rawTarget.indexOf('?');
    record.hasQuery = mark >= 0;
    record.path = mark < 0 ? rawTarget : rawTarget.left(mark);
    record.query = mark < 0 ? QByteArray() : rawTarget.mid(mark + 1);
    record.body = request.body();
    record.bodySize = record.body.size();
    record.bodySha256 = QCryptographicHash::hash(record.body, QCryptographicHash::Sha256).toHex();
    record.parts = MultipartBody::parse(headerOf(request, "Content-Type"), record.body);
    record.received = m_world->now();
    return record;
}

// The URLs in answers name the server the way the client did, so that a phone that
// reached it by a LAN address gets addresses it can reach, but only a Host that is
// a plain host[:port] goes into them; anything else gets the listening address.
QString DeviceServerSimulator::baseFor(const QHttpServerRequest& request) const
{
    const QByteArray host = headerOf(request, "Host");
    if (!HostHeader::isValid(host))
        return baseUrl().toString();
    return "http://" + QString::fromLatin1(host);
}

void DeviceServerSimulator::respond(const Exchange& exchange, Action action,
                                    const SimAnswer& answer, int delayMs)
{
    if (delayMs <= 0 && action == Action::Answer && !exchange.closeAfter) {
        auto responder = SimHttpServer::responderFor(exchange.request, exchange.socket);
        act(responder, exchange.socket, action, answer, false);
        return;
    }
    // Later answers run from a timer, so a slow answer holds up no other connection.
    // The responder moves into the timer's closure; the socket is watched because
    // the client may give up first. Closing a connection also waits for the event
    // loop, since the HTTP library still touches the socket after the handler.
    auto responder = std::make_shared<QHttpServerResponder>(
        SimHttpServer::responderFor(exchange.request, exchange.socket));
    QPointer<QTcpSocket> guard(exchange.socket);
    const bool closeAfter = exchange.closeAfter;
    QTimer::singleShot(qMax(delayMs, 0), this, [responder, guard, action, answer, closeAfter] {
        if (guard && guard->state() == QAbstractSocket::ConnectedState)
            act(*responder, guard, action, answer, closeAfter);
    });
}

void DeviceServerSimulator::act(QHttpServerResponder& responder, QTcpSocket* socket, Action action,
                                const SimAnswer& answer, bool closeAfter)
{
    if (action == Action::Drop) {
        socket->disconnectFromHost();
        return;
    }
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(answer.status));
    responder.writeHeader("Content-Type", answer.contentType);
    for (const auto& header : answer.headers)
        responder.writeHeader(header.first, header.second);
    responder.writeHeader("Content-Length", QByteArray::number(answer.body.size()));
    if (closeAfter)
        responder.writeHeader("Connection", "close");
    if (action == Action::Cut) {
        responder.writeBody(answer.body.left(answer.body.size() / 2));
        socket->disconnectFromHost();
        return;
    }
    responder.writeBody(answer.body);
    SimHttpServer::answered(socket);
    if (closeAfter)
        socket->disconnectFromHost();
}

void DeviceServerSimulator::logRequest(const SimRequest& request, const QString& outcome)
{
    static const QRegularExpression password("(pwd=)[^&]*");
    QString target = QString::fromUtf8(request.target);
    target.replace(password, "\\1***");
    m_world->log(
        QStringLiteral("%1 %2 -> %3").arg(QString::fromLatin1(request.method), target, outcome));
}

QList<SimMail> DeviceServerSimulator::outbox() const
{
    return m_world->outbox();
}

QString DeviceServerSimulator::lastCodeFor(const QString& email) const
{
    const QList<SimMail>& mails = m_world->outbox();
    for (auto it = mails.rbegin(); it != mails.rend(); ++it) {
        if (it->to == email && !it->code.isEmpty())
            return it->code;
    }
    return {};
}

bool DeviceServerSimulator::hasDevice(const QString& devid) const
{
    return m_world->device(devid) != nullptr;
}

bool DeviceServerSimulator::addDevice(const QString& devid)
{
    return m_world->addDevice(devid);
}

SimDevice DeviceServerSimulator::device(const QString& devid) const
{
    const SimDevice* device = m_world->device(devid);
    return device ? *device : SimDevice{};
}

void DeviceServerSimulator::setPosition(const QString& devid, double lat, double lng)
{
    m_world->catchUp();
    if (TrackerSimulation* tracker = m_world->tracker(devid))
        tracker->hold(GeoPoint{lat, lng});
}

void DeviceServerSimulator::releasePosition(const QString& devid)
{
    if (TrackerSimulation* tracker = m_world->tracker(devid))
        tracker->release();
}

void DeviceServerSimulator::setPower(const QString& devid, double volts)
{
    m_world->catchUp();
    if (TrackerSimulation* tracker = m_world->tracker(devid))
        tracker->setPower(volts);
}

void DeviceServerSimulator::setBanlvstate(const QString& devid, int state)
{
    if (SimDevice* device = m_world->device(devid)) {
        device->banlvstate = state;
        m_world->save(*device);
    }
}

void DeviceServerSimulator::setBanlvstateupdate(const QString& devid, int value)
{
    if (SimDevice* device = m_world->device(devid)) {
        device->banlvstateupdate = value;
        m_world->save(*device);
    }
}

void DeviceServerSimulator::setSpeeds(const QString& devid, const QString& maxspeed,
                                      const QString& lightspeed)
{
    if (SimDevice* device = m_world->device(devid)) {
        device->maxspeed = maxspeed;
        device->lightspeed = lightspeed;
        m_world->save(*device);
    }
}

void DeviceServerSimulator::setFence(const QString& devid, const QString& weilanradio,
                                     const QString& weilanmode)
{
    if (SimDevice* device = m_world->device(devid)) {
        device->weilanradio = weilanradio;
        device->weilanmode = weilanmode;
        m_world->save(*device);
    }
}

void DeviceServerSimulator::setWeilanwaring(const QString& devid, int state)
{
    if (SimDevice* device = m_world->device(devid)) {
        device->weilanwaring = state;
        m_world->save(*device);
    }
}

QList<TrackerSimulation::Point> DeviceServerSimulator::track(const QString& devid,
                                                             qint64 afterServerId)
{
    m_world->catchUp();
    const TrackerSimulation* tracker = m_world->tracker(devid);
    return tracker ? tracker->pointsAfter(afterServerId, INT_MAX)
                   : QList<TrackerSimulation::Point>{};
}

void DeviceServerSimulator::addFault(const SimFault& fault)
{
    m_faults->add(fault);
}

void DeviceServerSimulator::clearFaults()
{
    m_faults->clear();
}

QList<SimFault> DeviceServerSimulator::faults() const
{
    return m_faults->scripted();
}

QDateTime DeviceServerSimulator::now() const
{
    return m_world->now();
}

void DeviceServerSimulator::advance(qint64 seconds)
{
    m_world->advance(seconds);
}

QStringList DeviceServerSimulator::logLines() const
{
    return m_world->logLines();
}

QJsonObject DeviceServerSimulator::deviceState(const QString& devid)
{
    m_world->catchUp();
    const SimDevice* device = m_world->device(devid);
    const TrackerSimulation* tracker = m_world->tracker(devid);
    if (!device || !tracker)
        return QJsonObject{{"devid", devid}, {"known", false}};
    QJsonValue account = QJsonValue::Null;
    if (device->hasAccount()) {
        account = QJsonObject{{"username", device->username},
                              {"pwd", device->pwd},
                              {"email", device->email},
                              {"weixin", device->weixin},
                              {"touxiangpath", device->touxiang}};
    }
    return QJsonObject{
        {"devid", devid},
        {"known", true},
        {"account", account},
        {"maxspeed", device->maxspeed},
        {"lightspeed", device->lightspeed},
        {"weilanradio", device->weilanradio},
        {"weilanmode", device->weilanmode},
        {"weilanwaring", device->weilanwaring},
        {"banlvstate", device->banlvstate},
        {"banlvstateupdate", device->banlvstateupdate},
        {"lat", tracker->position().lat},
        {"lng", tracker->position().lng},
        {"baselat", tracker->base().lat},
        {"baselng", tracker->base().lng},
        {"power", tracker->power()},
        {"moving", tracker->moving()},
        {"held", tracker->held()},
        {"todaylicheng", tracker->dayKm(now().date())},
        {"totallicheng", tracker->totalKm()},
        {"lastserverid", tracker->lastServerId()},
        {"now", now().toString(Qt::ISODate)},
    };
}

bool DeviceServerSimulator::setDeviceState(const QString& devid, const QJsonObject& changes,
                                           QString* error)
{
    QString problem;
    const QStringList known{
        "lat",      "lng",        "hold",        "power",      "banlvstate",  "banlvstateupdate",
        "maxspeed", "lightspeed", "weilanradio", "weilanmode", "weilanwaring"};
    if (!hasDevice(devid))
        problem = "unknown device " + devid;
    for (auto it = changes.begin(); problem.isEmpty() && it != changes.end(); ++it) {
        if (!known.contains(it.key()))
            problem = "unknown field " + it.key();
    }
    if (problem.isEmpty() && changes.contains("lat") != changes.contains("lng"))
        problem = "lat and lng go together";
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    auto number = [&](const char* key) {
        const QJsonValue value = changes.value(key);
        return value.isString() ? value.toString().toDouble() : value.toDouble();
    };
    auto text = [&](const char* key) {
        const QJsonValue value = changes.value(key);
        return value.isString() ? value.toString() : QString::number(value.toDouble());
    };
    SimDevice current = device(devid);
    if (changes.contains("lat"))
        setPosition(devid, number("lat"), number("lng"));
    if (changes.contains("hold") && !changes.value("hold").toVariant().toBool())
        releasePosition(devid);
    if (changes.contains("power"))
        setPower(devid, number("power"));
    if (changes.contains("banlvstate"))
        setBanlvstate(devid, int(number("banlvstate")));
    if (changes.contains("banlvstateupdate"))
        setBanlvstateupdate(devid, int(number("banlvstateupdate")));
    if (changes.contains("maxspeed") || changes.contains("lightspeed"))
        setSpeeds(devid, changes.contains("maxspeed") ? text("maxspeed") : current.maxspeed,
                  changes.contains("lightspeed") ? text("lightspeed") : current.lightspeed);
    if (changes.contains("weilanradio") || changes.contains("weilanmode"))
        setFence(devid, changes.contains("weilanradio") ? text("weilanradio") : current.weilanradio,
                 changes.contains("weilanmode") ? text("weilanmode") : current.weilanmode);
    if (changes.contains("weilanwaring"))
        setWeilanwaring(devid, int(number("weilanwaring")));
    return true;
}
