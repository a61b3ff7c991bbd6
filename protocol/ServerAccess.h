#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class HttpManager;

// What the protocol layer needs of the running app to reach the device server: the one
// HTTP manager, the server's base URL and the time of day (upload names). The
// composition root installs them at start; a test's app installs its own.
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
