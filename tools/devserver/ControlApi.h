#pragma once

#include "tools/devserver/SimAnswer.h"
#include "tools/devserver/SimRequest.h"

#include <QJsonObject>
#include <QString>

class DeviceServerSimulator;
class QueryString;

// The simulator's own HTTP API under "/_sim/", in JSON: device state, the requests
// received, the outbox, faults and time, for the headless run and for people.
// Reading is GET, changing anything is POST (a GET can be sent by any web page the
// developer happens to open, through an image or a link).
class ControlApi
{
public:
    explicit ControlApi(DeviceServerSimulator& simulator);

    SimAnswer answer(const SimRequest& request, const QString& path);
    // The answer to a request that did not come from this machine's own pages.
    static SimAnswer forbidden();

private:
    enum class Access { Read, Change, ReadOrChange };
    SimAnswer help() const;
    static Access accessOf(const QString& path);
    SimAnswer dispatch(const SimRequest& request, const QString& path, const QueryString& query);
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
    static SimAnswer notAllowed(const QByteArray& allowed);
    static SimAnswer badDevid(const QString& devid);

    DeviceServerSimulator& m_simulator;
};
