#pragma once

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/share/LocalShareService.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "screens/ScreenCatalog.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/ListAnswers.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QCoreApplication>
#include <QWidget>
#include <memory>

// What every position test starts from: a fresh store with its defaults and the seeded
// device, virtual time for the timers, a phone-sized host with the app's storyboard, the
// device-server simulator as the app's server, sharing into a temporary outbox, and the log.
struct PositionFixture
{
    static constexpr const char* GpsScript = "/TolvarGetGpsInfo.php";
    static constexpr const char* FriendScript = "/TolvarGetFriendIOS.php";

    explicit PositionFixture(QSize hostSize = QSize(360, 640))
    {
        sim.listen();
        app.delegate->setServerUrl(sim.baseUrl().toString());
        app.delegate->setShare(&share);
        share.setOutboxFolder(app.dir.filePath("outbox"));
        share.setClock(&app.clock);
        MyUtil::InitMyDateBase();
        MyBasicInfo::SetValue(QStringLiteral("devid"), QStringLiteral("86000001"));
        host.resize(hostSize);
        host.show();
        ScreenCatalog::install(*storyboard, app.delegate->context());
    }

    ~PositionFixture()
    {
        storyboard.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The next `count` answers of a script are exactly `body`.
    void answer(const char* script, const QByteArray& body, int count = 1)
    {
        sim.addFault(SimFault::raw(body, QString::fromLatin1(script), count));
    }

    static void setAppeared(Screen* screen, bool appeared)
    {
        screen->beginAppearanceTransition(appeared);
        screen->endAppearanceTransition();
    }

    Log::Quiet quiet;
    DeviceServerSimulator sim;
    TestApp app;
    LocalShareService share;
    ManualTimerLoop loop{&app.clock};
    QWidget host;
    std::unique_ptr<Storyboard> storyboard = std::make_unique<Storyboard>(&host);
    Log::Capture log;
};
