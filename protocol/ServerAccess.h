#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class HttpManager;

// What the protocol layer needs of the running app to reach the device server: the one
// HTTP manager, the server's base URL and the time of day (upload names). The
// composition root hands them to the DeviceServer it makes, and installs them for
// MyUtil::GetGlobalAFmanager, the app's one shared manager; a test's app does the same.
namespace ServerAccess {

struct Services
{
    std::function<HttpManager*()> manager;
    std::function<QString()> baseUrl;
    std::function<QDateTime()> now;
};

const Services& installed();
// Installs `services` and answers those it replaces, for putting them back.
Services install(Services services);

} // namespace ServerAccess
