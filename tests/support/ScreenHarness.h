#pragma once

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/location/LocationManager.h"
#include "platform/map/MapView.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/share/LocalShareService.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
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
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWidget>
#include <functional>
#include <optional>

// The world a screen test runs in: a fresh delegate over a temporary folder with a fake
// clock, virtual time for the timers, the device-server simulator as the app's server,
// sharing into a temporary outbox, a location service that replays nothing (only what a test
// does reaches the server), and the app's storyboard in a phone-sized window.
class ScreenHarness
{
public:
    // The store holds its defaults and `devid`; a null devid leaves it as on the first run.
    explicit ScreenHarness(const QString& devid = QStringLiteral("86000001"),
                           QSize window = QSize(360, 640))
        : loop(&app.clock)
    {
        QVERIFY(sim.listen() != 0);
        app.delegate->setServerUrl(sim.baseUrl().toString());
        app.delegate->setNotificationCenter(&notifications);
        location.setReplayFile(QStringLiteral("/nonexistent/route.nmea"));
        app.delegate->setLocationManager(&location);
        app.delegate->setShare(&share);
        share.setOutboxFolder(app.dir.filePath("outbox"));
        share.setClock(&app.clock);
        if (!devid.isNull()) {
            MyUtil::InitMyDateBase();
            MyBasicInfo::SetValue(QStringLiteral("devid"), devid);
        }
        host.resize(window);
        host.show();
        storyboard = new Storyboard(&host);
        ScreenCatalog::install(*storyboard, app.delegate->context());
        QObject::connect(storyboard, &Storyboard::seguePerformed,
                         [this](const QString& id, Screen*) { segues.append(id); });
    }

    ~ScreenHarness()
    {
        for (AlertController* shown : AlertController::visibleAlerts())
            delete shown;
        delete storyboard;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <class T> T* start()
    {
        return qobject_cast<T*>(storyboard->start(T::staticMetaObject.className()));
    }

    // A page laid out in the pager's place (the window above the tabs), loaded and, unless
    // `shown` is false, shown on its own.
    template <class T> T* page(bool shown = true)
    {
        auto* made = storyboard->instantiate<T>(T::staticMetaObject.className());
        made->setParent(&host);
        made->setBaseGeometry(QRect(0, 0, host.width(), host.height() * 7 / 8));
        made->loadViewIfNeeded();
        if (shown) {
            made->show();
            setAppeared(made, true);
        }
        return made;
    }

    static void setAppeared(Screen* screen, bool appeared)
    {
        screen->beginAppearanceTransition(appeared);
        screen->endAppearanceTransition();
    }

    // Waits on the event loop (the simulator answers there) until `done` holds.
    static bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 20000); }

    static AlertController* alert() { return AlertController::topAlert(); }
    static QString alertMessage() { return alert() ? alert()->message() : QString(); }
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

    // The next `count` answers of `script` are exactly `body`.
    void answer(const char* script, const QByteArray& body, int count = 1)
    {
        sim.addFault(SimFault::raw(body, QString::fromLatin1(script), count));
    }
    QByteArray lastQuery(const QString& path) const
    {
        const QList<SimRequest> requests = sim.requestsTo(path);
        return requests.isEmpty() ? QByteArray() : requests.last().query;
    }
    // Answers and failures so far: each is logged just before the screen handles it.
    int answered() const
    {
        return int(log.matching("str = ").size() + log.matching("htmlstr = ").size() +
                   log.matching("error = ").size());
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
    // What a named field, label or button shows.
    static QString text(const QObject* screen, const char* name)
    {
        auto* widget = child<QWidget>(screen, name);
        return widget ? widget->property("text").toString() : QString();
    }

    static QString setting(const char* key)
    {
        return MyBasicInfo::GetValue(QString::fromLatin1(key));
    }
    static QStringList settings(std::initializer_list<const char*> keys)
    {
        QStringList values;
        for (const char* key : keys)
            values.append(setting(key));
        return values;
    }
    static void set(const char* key, const QString& value)
    {
        MyBasicInfo::SetValue(QString::fromLatin1(key), value);
    }

    // Places to a hundred-thousandth of a degree, enough to tell a test's points apart.
    static QStringList places(const QList<MapCoordinate>& points)
    {
        QStringList texts;
        for (const MapCoordinate& point : points)
            texts.append(QString::asprintf("%.5f %.5f", point.latitude, point.longitude));
        return texts;
    }

    // A table of tests/data/screens/<area>.json: each row a JSON object named by its "row".
    static void table(const char* area, const char* name)
    {
        QTest::addColumn<QJsonObject>("row");
        QFile file(QStringLiteral(LVXING_TEST_DATA "/screens/%1.json").arg(area));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray rows = QJsonDocument::fromJson(file.readAll())[name].toArray();
        QVERIFY(!rows.isEmpty());
        for (const QJsonValue& row : rows)
            QTest::newRow(qPrintable(row["row"].toString())) << row.toObject();
    }
    // A cell of the current row.
    static QJsonValue cell(const char* key)
    {
        QFETCH(QJsonObject, row);
        return row.value(QLatin1String(key));
    }
    static QString value(const char* key) { return cell(key).toString(); }
    // The simulator's answer to `script` that the current row asks for: "answer", a body as
    // it stands; "fault", "error" (a server error) or "drop" (closed, "times" times).
    void fault(const char* script)
    {
        const QString path = QString::fromLatin1(script);
        if (cell("answer").isString())
            sim.addFault(SimFault::raw(value("answer").toUtf8(), path));
        else if (value("fault") == "error")
            sim.addFault(SimFault::of(SimFault::Kind::ServerError, path));
        else if (value("fault") == "drop")
            sim.addFault(SimFault::of(SimFault::Kind::Drop, path, cell("times").toInt(1)));
    }

    Log::Quiet quiet;
    TestApp app;
    ManualTimerLoop loop;
    DeviceServerSimulator sim;
    LocalNotificationCenter notifications;
    LocationManager location;
    LocalShareService share;
    Log::Capture log;
    QWidget host;
    Storyboard* storyboard = nullptr;
    QStringList segues;
};

using H = ScreenHarness;
using Direction = PageViewController::NavigationDirection;
