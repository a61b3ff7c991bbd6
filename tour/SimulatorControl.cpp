#include "tour/SimulatorControl.h"

#include "protocol/HttpManager.h"
#include "protocol/MyUtil.h"
#include "protocol/ServerAccess.h"

namespace {

void ask(const QByteArray& verb, const QString& path, SimulatorControl::Done done)
{
    const ServerAccess::Services& access = ServerAccess::installed();
    HttpManager* manager = MyUtil::GetGlobalAFmanager();
    if (!access.baseUrl || !manager) {
        if (done)
            done(QJsonDocument());
        return;
    }
    manager->send(
        verb, access.baseUrl() + path,
        [done](const QByteArray& body) {
            if (done)
                done(QJsonDocument::fromJson(body));
        },
        [done](const QString&) {
            if (done)
                done(QJsonDocument());
        });
}

} // namespace

namespace SimulatorControl {

void read(const QString& path, Done done)
{
    ask("GET", path, std::move(done));
}

void change(const QString& path, Done done)
{
    ask("POST", path, std::move(done));
}

} // namespace SimulatorControl
