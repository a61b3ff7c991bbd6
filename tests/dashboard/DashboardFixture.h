#pragma once

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenCatalog.h"
#include "screens/dashboard/SpeedLimit.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "support/Widgets.h"
#include "tools/devserver/DeviceServerSimulator.h"
#include "views/HalfDialView.h"

#include <QCoreApplication>
#include <QWidget>
#include <memory>

// What every dashboard test starts from: a fresh store with its defaults and the seeded
// device, virtual time for the timers, a phone-sized window with the app's storyboard, the
// log, and (when asked for) the device-server simulator as the app's server.
struct DashboardFixture
{
    static constexpr const char* Devid = "86000001";

    explicit DashboardFixture(bool withServer = false)
    {
        if (withServer) {
            sim = std::make_unique<DeviceServerSimulator>();
            sim->listen();
        }
        // Nothing listens on port 9: without the simulator every request fails at once.
        app.delegate->setServerUrl(sim ? sim->baseUrl().toString()
                                       : QStringLiteral("http://127.0.0.1:9"));
        MyUtil::InitMyDateBase();
        MyBasicInfo::SetValue(QStringLiteral("devid"), QString::fromLatin1(Devid));
        host.resize(360, 640);
        host.show();
        ScreenCatalog::install(*storyboard, app.delegate->context());
        SpeedLimit::of(SpeedLimit::Kind::MaxSpeed).reset();
        SpeedLimit::of(SpeedLimit::Kind::LightSpeed).reset();
    }

    ~DashboardFixture()
    {
        for (AlertController* alert : AlertController::visibleAlerts())
            delete alert;
        storyboard.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A page made by its identifier, laid out in the pager's place and shown on its own.
    template <class Page> Page* page(const QString& identifier)
    {
        auto* made = storyboard->instantiate<Page>(identifier);
        made->setParent(&host);
        made->setBaseGeometry(QRect(0, 0, 360, 560));
        made->loadViewIfNeeded();
        made->show();
        setAppeared(made, true);
        return made;
    }

    static void setAppeared(Screen* screen, bool appeared)
    {
        screen->beginAppearanceTransition(appeared);
        screen->endAppearanceTransition();
    }

    static QString value(const char* key)
    {
        return MyBasicInfo::GetValue(QString::fromLatin1(key));
    }
    static void set(const char* key, const QString& text)
    {
        MyBasicInfo::SetValue(QString::fromLatin1(key), text);
    }

    int requestsTo(const char* path) const { return int(sim->requestsTo(path).size()); }

    Log::Quiet quiet;
    std::unique_ptr<DeviceServerSimulator> sim;
    TestApp app;
    ManualTimerLoop loop{&app.clock};
    QWidget host;
    std::unique_ptr<Storyboard> storyboard = std::make_unique<Storyboard>(&host);
    Log::Capture log;
};

using State = PanGestureRecognizer::State;

// The rider's finger on the dial named `dial`, at t of its width (0 its left edge, 1 its right
// edge).
inline void drag(QWidget* page, const char* dial, State state, double t)
{
    const int width = child<QWidget>(page, dial)->width();
    child<PanGestureRecognizer>(page, "pan")->drive(state, QPointF(t * width, 40));
}

// Where the dial named `name` points, 0 to 1 along it.
inline float dial(QWidget* page, const char* name)
{
    return child<HalfDialView>(page, name)->getYuanHuanProcess();
}

// The text of the label or button named `name`.
inline QString shown(QWidget* page, const char* name)
{
    return child<QWidget>(page, name)->property("text").toString();
}
