#include "tour/SimulatorControl.h"

#include "app/AppDelegate.h"
#include "protocol/HttpManager.h"
#include "protocol/MyUtil.h"

namespace {

void ask(const QByteArray& verb, const QString& path, SimulatorControl::Done done)
{
    AppDelegate* delegate = AppDelegate::current();
    HttpManager* manager = MyUtil::GetGlobalAFmanager();
    if (!delegate || !manager) {
        if (done)
            done(QJsonDocument());
        return;
    }
    manager->send(
        verb, delegate->serverUrl() + path,
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
