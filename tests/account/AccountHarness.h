#pragma once

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/location/LocationManager.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextField.h"
#include "screens/ScreenCatalog.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "support/Widgets.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <functional>
#include <type_traits>

Q_DECLARE_METATYPE(SimFault)

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
        for (const char* id : {"ViewControllerSet", "ViewControllerPos", "ViewControllerMine"})
            storyboard->registerScreen<Screen>(QString::fromLatin1(id));
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

    // Starts the run at screen T, over a store bound to `devid` when one is given. The welcome
    // screen fills the settings store with its defaults; any other first screen finds them
    // filled already.
    template <class T> T* start(const QString& devid = QString())
    {
        const QString identifier = QString::fromLatin1(T::staticMetaObject.className());
        if (!devid.isNull() || identifier != QLatin1String(ScreenCatalog::FirstScreen))
            MyUtil::InitMyDateBase();
        if (!devid.isNull())
            setSetting("devid", devid);
        return qobject_cast<T*>(storyboard->start(identifier));
    }

    // Waits on the event loop (the simulator answers there) until `done` holds.
    static bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 15000); }

    static AlertController* alert() { return AlertController::topAlert(); }
    static QString alertMessage() { return alert() ? alert()->message() : QString(); }
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

    QByteArray lastQuery(const QString& path) const
    {
        const QList<SimRequest> requests = sim.requestsTo(path);
        return requests.isEmpty() ? QByteArray() : requests.last().query;
    }
    // Answers and failures so far: each is logged ("str = ", "htmlstr = ", "error = ") just
    // before the screen handles it.
    int answered() const
    {
        int count = 0;
        for (const char* prefix : {"str = ", "htmlstr = ", "error = "})
            count += int(log.matching(QString::fromLatin1(prefix)).size());
        return count;
    }
    bool awaitAnswers(int count = 1) const
    {
        return waitFor([&] { return answered() >= count; });
    }
    // Requests sent so far: each one logs its URL as it goes out.
    int sentCount() const { return int(log.matching(QStringLiteral("urlString = ")).size()); }

    // The rider's hands on the widgets a screen names: typing, and a tap that clicks a button
    // or fires the view's tap recognizer.
    static void type(const QObject* screen, const char* field, const QString& text)
    {
        if (auto* found = child<TextField>(screen, field))
            found->setText(text);
    }
    static void tap(const QObject* screen, const char* name)
    {
        auto* widget = child<QWidget>(screen, name);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->click();
        auto* recognizer = widget ? widget->findChild<TapGestureRecognizer*>() : nullptr;
        QVERIFY2(recognizer, name);
        recognizer->tap();
    }
    // What a named field or label shows.
    static QString text(const QObject* screen, const char* name)
    {
        auto* widget = child<QWidget>(screen, name);
        return widget ? widget->property("text").toString() : QString();
    }

    // The columns of a data table, named in the order of their types.
    template <class... Types, class... Names> static void columns(const Names&... names)
    {
        (QTest::addColumn<Types>(names), ...);
    }
    // One row of a data table; C strings go in as QString cells.
    template <class... Cells> static void row(const char* name, const Cells&... cells)
    {
        (QTest::newRow(name) << ... << cell(cells));
    }
    template <class T> static auto cell(const T& value)
    {
        if constexpr (!std::is_class_v<T> && std::is_convertible_v<T, const char*>)
            return QString::fromUtf8(value);
        else
            return value;
    }

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
