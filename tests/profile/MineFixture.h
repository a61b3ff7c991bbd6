#pragma once

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/map/MapCoordinate.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenCatalog.h"
#include "store/MyBasicInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"

#include <QCoreApplication>
#include <QWidget>
#include <cmath>
#include <memory>

// What every profile-section test starts from: a fresh store with its defaults, virtual
// time for the timers, a 320 x 568 window with the app's storyboard and the log. The
// server is unreachable unless a test sets its own.
struct MineFixture
{
    MineFixture()
    {
        // Nothing listens on port 9: without a server every request fails at once.
        app.delegate->setServerUrl(QStringLiteral("http://127.0.0.1:9"));
        MyUtil::InitMyDateBase();
        host.resize(320, 568);
        host.show();
        ScreenCatalog::install(*storyboard, app.delegate->context());
    }

    ~MineFixture()
    {
        storyboard.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A page made by its identifier, laid out as the pager lays out its pages on a 320 x 568
    // screen (320 x 497), and shown on its own.
    template <class Page> Page* page(const QString& identifier)
    {
        auto* made = storyboard->instantiate<Page>(identifier);
        made->setParent(&host);
        made->setBaseGeometry(QRect(0, 0, 320, 497));
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

    // Map centres come back through the projection, so they are compared to a nanodegree.
    static bool near(const MapCoordinate& a, const MapCoordinate& b)
    {
        return std::abs(a.latitude - b.latitude) < 1e-9 &&
               std::abs(a.longitude - b.longitude) < 1e-9;
    }

    // A cached rider; the name doubles as WeChat name with a prefix.
    static void rider(const QString& username, const QString& paiming,
                      const QString& level = QStringLiteral("7"),
                      const QString& lat = QStringLiteral("31.25"),
                      const QString& lng = QStringLiteral("121.5"))
    {
        MyPaiMingInfo::CheckAdd(username, level, QStringLiteral("骑士"), paiming, QString(), lat,
                                lng, QStringLiteral("wx_") + username);
    }

    Log::Quiet quiet;
    TestApp app;
    ManualTimerLoop loop{&app.clock};
    QWidget host;
    std::unique_ptr<Storyboard> storyboard = std::make_unique<Storyboard>(&host);
    Log::Capture log;
};
