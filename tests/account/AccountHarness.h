#pragma once

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/location/LocationManager.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenCatalog.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <functional>

// The account screens under test: a fresh delegate over a temporary folder with a fake clock,
// virtual time for the timers, the simulated device server, and the app's storyboard in a
// phone-sized window. The sections stand in as placeholders, and the location service
// replays nothing, so only what a test does reaches the server.
class AccountHarness
{
public:
    AccountHarness() : loop(&app.clock)
    {
        QVERIFY(sim.listen() != 0);
        app.delegate->setServerUrl(sim.baseUrl().toString());
        app.delegate->setNotificationCenter(&notifications);
        location.setReplayFile(QStringLiteral("/nonexistent/route.nmea"));
        app.delegate->setLocationManager(&location);
        host.resize(360, 640);
        host.show();
        storyboard = new Storyboard(&host);
        ScreenCatalog::install(*storyboard, app.delegate->context());
        for (const char* id : {"ViewControllerSet", "ViewControllerPos", "ViewControllerMine"}) {
            storyboard->registerScreen<Screen>(QString::fromLatin1(id));
        }
        QObject::connect(storyboard, &Storyboard::seguePerformed,
                         [this](const QString& id, Screen*) { segues.append(id); });
    }

    ~AccountHarness()
    {
        for (AlertController* alert : AlertController::visibleAlerts())
            delete alert;
        delete storyboard;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Starts the run at `identifier`. The welcome screen fills the settings store with its
    // defaults; any other first screen finds them filled already.
    template <class T> T* start(const QString& identifier)
    {
        if (identifier != QLatin1String(ScreenCatalog::FirstScreen))
            MyUtil::InitMyDateBase();
        return qobject_cast<T*>(storyboard->start(identifier));
    }

    template <class T> T* top() const { return qobject_cast<T*>(storyboard->topScreen()); }

    // Waits on the event loop (the simulator answers there) until `done` holds.
    static bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 15000); }

    static AlertController* alert() { return AlertController::topAlert(); }
    static QString alertMessage()
    {
        AlertController* shown = alert();
        return shown ? shown->message() : QString();
    }
    // Waits for an alert and answers its message.
    static QString awaitAlert()
    {
        waitFor([] { return alert() != nullptr; });
        return alertMessage();
    }
    static void closeAlert()
    {
        if (AlertController* shown = alert())
            shown->pressAction(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int requestCount(const QString& path) const { return int(sim.requestsTo(path).size()); }
    QByteArray lastQuery(const QString& path) const
    {
        const QList<SimRequest> requests = sim.requestsTo(path);
        return requests.isEmpty() ? QByteArray() : requests.last().query;
    }
    // Waits until `count` lines starting with `prefix` have been logged: "str = " and
    // "htmlstr = " are written as an answer arrives, just before the screen handles it.
    bool awaitLog(const QString& prefix, int count = 1) const
    {
        return waitFor([&] { return log.matching(prefix).size() >= count; });
    }
    // Requests sent so far: each one logs its URL as it goes out.
    int sentCount() const { return int(log.matching(QStringLiteral("urlString = ")).size()); }

    static QString setting(const char* key)
    {
        return MyBasicInfo::GetValue(QString::fromLatin1(key));
    }
    static void setSetting(const char* key, const QString& value)
    {
        MyBasicInfo::SetValue(QString::fromLatin1(key), value);
    }

    TestApp app;
    ManualTimerLoop loop;
    DeviceServerSimulator sim;
    LocalNotificationCenter notifications;
    LocationManager location;
    Log::Capture log;
    QWidget host;
    Storyboard* storyboard = nullptr;
    QStringList segues;
};
