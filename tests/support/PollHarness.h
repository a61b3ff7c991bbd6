#pragma once

#include "platform/Log.h"
#include "platform/location/LocationManager.h"
#include "platform/notify/Haptics.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "poll/MyUtil.h"
#include "protocol/ServerAnswer.h"
#include "protocol/ServerScript.h"
#include "protocol/StatusAnswer.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>
#include <optional>

// The world the status poll and the end-to-end tests run in: a simulated device server with
// its tracker standing at the base, a delegate over a fresh store that talks to it, the
// notifications and vibrations the alarms go to, a location manager fed by hand and the log.
struct PollHarness
{
    static constexpr const char* Devid = "86000001";
    static constexpr const char* PollScript = "/TolvarGetEveryThingTimerIOS.php";
    static constexpr double BaseLat = 30.2741;
    static constexpr double BaseLng = 120.1551;

    Log::Quiet quiet;
    DeviceServerSimulator sim;
    LocalNotificationCenter center;
    Haptics haptics;
    LocationManager location;
    TestApp app;
    Log::Capture log;
    // Status requests answered or failed so far.
    int pollsFinished = 0;

    // The tracker `devid` is in the store already when `bound`, else the app starts fresh.
    explicit PollHarness(const SimulatorOptions& options = {}, const char* devid = Devid,
                         bool bound = true)
        : sim(options)
    {
        if (sim.listen() == 0)
            qFatal("the simulated device server cannot listen");
        sim.setPosition(devid, BaseLat, BaseLng);
        sim.setPower(devid, 40.0);
        sim.setBanlvstate(devid, 3);
        // Only the updates a test injects reach the status poll.
        location.setReplayFile(QStringLiteral("/nonexistent/route.nmea"));
        wire();
        MyUtil::InitMyDateBase();
        if (bound)
            MyBasicInfo::SetValue("devid", devid);
        log.clear();
    }

    // A new delegate over the same store, as after a restart of the app.
    void restart()
    {
        app.restart();
        wire();
    }
    void wire()
    {
        AppDelegate* delegate = app.delegate.get();
        delegate->setServerUrl(sim.baseUrl().toString());
        delegate->setNotificationCenter(&center);
        delegate->setHaptics(&haptics);
        delegate->setLocationManager(&location);
        QObject::connect(delegate->networkAccessManager(), &QNetworkAccessManager::finished,
                         [this](QNetworkReply* reply) {
                             pollsFinished += reply->url().path() == QLatin1String(PollScript);
                         });
    }
    // The rows of the decision table tests/data/poll/<table>.json, each object a row named
    // by its "case", for a test function to read with QFETCH(QJsonObject, row).
    static void rows(const char* table)
    {
        QTest::addColumn<QJsonObject>("row");
        QFile file(QStringLiteral(LVXING_TEST_DATA "/poll/%1.json").arg(table));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        for (const QJsonValue& row : QJsonDocument::fromJson(file.readAll()).array())
            QTest::newRow(qPrintable(row["case"].toString())) << row.toObject();
    }

    // As the welcome screen does: every location update runs the status poll.
    void pollOnLocationUpdates()
    {
        QObject::connect(&location, &LocationManager::didUpdateLocation,
                         [] { MyUtil::GetEveryThing(); });
    }
    // A location update a minute and a second after the last one.
    void locationUpdateAMinuteLater()
    {
        app.clock.advance(61);
        location.injectLocation(BaseLat, BaseLng, 10);
    }
    bool waitForPolls(int count)
    {
        return QTest::qWaitFor([&] { return pollsFinished >= count; }, 20000) &&
               pollsFinished == count;
    }
    // Requests the app sent to `script` so far, counted as they leave.
    int sent(const QString& script) const
    {
        return int(log.matching("urlString = " + sim.baseUrl().toString() + script).size());
    }
    // The queries `script` received, in order.
    QStringList queries(const QString& script) const
    {
        QStringList all;
        for (const SimRequest& request : sim.requestsTo(script))
            all.append(QString::fromLatin1(request.query));
        return all;
    }
    static QString value(const QString& key) { return MyBasicInfo::GetValue(key); }
    // The latitude `metres` north of the base.
    static double north(double metres) { return BaseLat + metres / 111319.49; }

    // The record of the last status answer logged whose message is "ok", and how many
    // answers logged were (not) ok.
    std::optional<StatusRecord> lastGoodRecord(int* good = nullptr, int* bad = nullptr) const
    {
        const QString prefix = ServerScript::getEveryThing().answerLine(QString());
        std::optional<StatusRecord> last;
        for (const QString& line : log.matching(prefix)) {
            const StatusAnswer answer(StatusRecord::Poll,
                                      ServerAnswer(line.mid(prefix.size()).toUtf8()));
            if (answer.isOk())
                last = answer.record();
            if (int* counter = answer.isOk() ? good : bad)
                ++*counter;
        }
        return last;
    }
    // Every field of `record` as the store holds it: no half-written record.
    static void verifyStoreHolds(const StatusRecord& record)
    {
        for (const QString& key : StatusRecord::storeKeys(StatusRecord::Poll))
            QCOMPARE(MyBasicInfo::GetValue(key), record.storedValue(key));
    }
};
