// One status poll answer handled as it arrives: decoded, classified, stored,
// then the geofence base, the fence test and the battery rule. No network wait:
// the answers are made here.
#include "BenchReport.h"
#include "app/AppDelegate.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/notify/Haptics.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "poll/MyUtil.h"
#include "poll/StatusStore.h"
#include "protocol/ServerAnswer.h"
#include "protocol/StatusAnswer.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

// A device riding around its base in children mode; `outside` puts it 40 m
// out with a low battery, which raises both alarms.
QByteArray pollBody(int round, bool outside)
{
    QJsonObject record{{"timerreturnmsg", "ok"}, {"absday", round}, {"banlvstate", "1"}};
    for (const QString& key : StatusRecord::storeKeys(StatusRecord::Poll))
        if (!record.contains(key))
            record.insert(key, QStringLiteral("%1.%2").arg(key.size()).arg(round));
    const double north = outside ? 40.0 : (round % 5) * 4.0;
    record.insert("lat", QString::number(30.2741 + north / 111319.49, 'f', 6));
    record.insert("lng", QString::number(120.1551, 'f', 6));
    record.insert("power", outside ? QStringLiteral("33.%1").arg(round % 10)
                                   : QStringLiteral("40.%1").arg(round % 10));
    // The server already holds the state this answer leads to, so nothing is uploaded.
    record.insert("weilanwaring", outside ? 1 : 0);
    record.insert("banlvstateupdate", 0);
    return QJsonDocument(QJsonArray{record}).toJson(QJsonDocument::Compact);
}

void handle(const QByteArray& body)
{
    const StatusAnswer answer(StatusRecord::Poll, ServerAnswer(body));
    StatusStore::storeIfOk(answer);
    MyUtil::HandleEveryThingAnswer(QStringLiteral("86000001"), answer);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Log::Quiet quiet;
    QTemporaryDir dir;
    FakeClock clock;
    LocalNotificationCenter center;
    Haptics haptics;
    AppDelegate delegate(dir.path());
    delegate.setClock(&clock);
    delegate.setNotificationCenter(&center);
    delegate.setHaptics(&haptics);
    MyUtil::InitMyDateBase();
    MyBasicInfo::SetValue("devid", "86000001");
    MyBasicInfo::SetValue("weilanmode", "1");
    MyBasicInfo::SetValue("weilanradio", "15");
    MyBasicInfo::SetValue("baselat", "30.274100");
    MyBasicInfo::SetValue("baselng", "120.155100");

    QList<QByteArray> quiet16, alarm16;
    for (int i = 0; i < 16; ++i) {
        quiet16 << pollBody(i, false);
        alarm16 << pollBody(i, true);
    }
    int next = 0;
    const double quietNs = medianNs([&] { handle(quiet16[next++ % 16]); }, 50, 15);
    report("poll_answer_handled", quietNs, 2e6, "goal 2ms");

    const double alarmNs = medianNs(
        [&] {
            // Each answer finds the device newly outside and the last battery alarm long ago.
            MyBasicInfo::SetValue("shangweilanbaojing", "0");
            MyBasicInfo::SetValue("powertwohour", "0");
            handle(alarm16[next++ % 16]);
            center.cancelAllLocalNotifications();
        },
        50, 15);
    report("poll_answer_handled_two_alarms", alarmNs, 2e6, "goal 2ms");
    return MyBasicInfo::GetValue("zhendongcishu") == QLatin1String("60") ? 0 : 1;
}
