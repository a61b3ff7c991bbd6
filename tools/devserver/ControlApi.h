#pragma once

#include "tools/devserver/SimAnswer.h"
#include "tools/devserver/SimRequest.h"

#include <QJsonObject>
#include <QString>

class DeviceServerSimulator;
class QueryString;

// The simulator's own HTTP API under "/_sim/", in JSON: device state, the requests
// received, the outbox, faults and time, for the headless run and for people.
class ControlApi
{
public:
    explicit ControlApi(DeviceServerSimulator& simulator);

    SimAnswer answer(const SimRequest& request, const QString& path);

private:
    SimAnswer help() const;
    SimAnswer requests(const QueryString& query) const;
    SimAnswer outbox() const;
    SimAnswer state(const SimRequest& request, const QueryString& query);
    SimAnswer fault(const SimRequest& request, const QueryString& query);
    SimAnswer faults() const;
    SimAnswer advance(const QueryString& query);
    SimAnswer addDevice(const QueryString& query);
    SimAnswer log() const;

    // The JSON object of a POST body merged with the query parameters (but devid).
    static QJsonObject fields(const SimRequest& request, const QueryString& query, QString* error);
    static SimAnswer json(const QJsonValue& value, int status = 200);
    static SimAnswer failure(const QString& message, int status = 400);

    DeviceServerSimulator& m_simulator;
};
