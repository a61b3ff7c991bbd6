#pragma once

#include "app/AppDelegate.h"
#include "platform/Clock.h"

#include <QTemporaryDir>
#include <memory>

// A delegate over a fresh temporary data folder and a fake clock: what every
// test that touches the store starts from.
struct TestApp
{
    QTemporaryDir dir;
    FakeClock clock;
    std::unique_ptr<AppDelegate> delegate;

    TestApp() { restart(); }

    // A new delegate over the same folder, as after a restart of the app.
    void restart()
    {
        delegate.reset();
        delegate = std::make_unique<AppDelegate>(dir.path());
        delegate->setClock(&clock);
    }

    QString storePath() const { return dir.filePath(AppDelegate::StoreFileName); }
};
