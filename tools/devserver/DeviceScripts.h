#pragma once

#include "tools/devserver/PhpJson.h"
#include "tools/devserver/RiderRoster.h"
#include "tools/devserver/SimAnswer.h"
#include "tools/devserver/SimRequest.h"

#include <QHash>
#include <QString>
#include <functional>

class QueryString;
class SimWorld;
struct SimDevice;

// The server's scripts: each turns a request into the answer the real device
// server gives, reading and changing the simulated world.
class DeviceScripts
{
public:
    explicit DeviceScripts(SimWorld& world);

    // The answer for a path, or 404 when no script lives there. base is the
    // server's own address ("http://host:port") for the URLs in answers.
    SimAnswer answer(const QString& path, const SimRequest& request, const QString& base);
    bool processes(const QString& path) const { return m_scripts.contains(path); }

private:
    using Script = std::function<SimAnswer(const QueryString&, const SimRequest&)>;

    SimAnswer deviceQuery(const QueryString& query);
    SimAnswer registerAccount(const QueryString& query);
    SimAnswer login(const QueryString& query);
    SimAnswer updateSpeed(const QueryString& query);
    SimAnswer updateWeiLan(const QueryString& query);
    SimAnswer recoveryMail(const QueryString& query);
    SimAnswer gpsInfo(const QueryString& query);
    SimAnswer status(const QueryString& query);
    SimAnswer paiMing();
    SimAnswer friends(const QueryString& query);
    SimAnswer uploadPic(const QueryString& query, const SimRequest& request);
    SimAnswer storeAvatar(SimDevice& device, const QByteArray& data);
    SimAnswer codeMail(const QueryString& query);
    SimAnswer testMap(const QueryString& query);
    SimAnswer avatar(const QString& path);
    SimAnswer tile(const QString& path);
    SimAnswer index();

    PhpJson::Record statusRecord(const SimDevice& device, bool registration);
    SimAnswer riderList(const QList<RiderRoster::Ranked>& riders) const;
    QString url(const QString& path) const;
    static SimAnswer record(const PhpJson::Record& record);
    static SimAnswer marker(const QString& key, const QString& value);
    static SimAnswer png(const QByteArray& data);
    static SimAnswer notFound();

    SimWorld& m_world;
    QString m_base;
    QHash<QString, Script> m_scripts;
};
