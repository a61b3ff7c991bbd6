#include "poll/MyUtil.h"

#include "platform/Clock.h"
#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/NumberText.h"
#include "platform/notify/Haptics.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "poll/ConnectionState.h"
#include "poll/StatusPoller.h"
#include "poll/StatusStore.h"
#include "protocol/DeviceServer.h"
#include "protocol/ServerAnswer.h"
#include "protocol/StatusAnswer.h"
#include "store/AlarmLog.h"
#include "store/MyBasicInfo.h"

#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr qint64 PollIntervalMs = 60 * 1000;
constexpr int MinimumDevidLength = 8;
constexpr const char* VibrationCount = "60";
constexpr int BatteryAlarmSpacingMinutes = 121;
constexpr qint64 BatteryAlarmPercent = 45;
constexpr int NoBatteryAlarmYet = 1000;
constexpr int MinimumMessageLength = 6;
const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString value(const char* key)
{
    return MyBasicInfo::GetValue(QString::fromLatin1(key));
}

void setValue(const char* key, const QString& text)
{
    MyBasicInfo::SetValue(QString::fromLatin1(key), text);
}

QString decimals(double number)
{
    return QString::number(number, 'f', 6);
}

QDateTime now()
{
    return StatusPoller::installed()->now().toLocalTime();
}

// The answer goes to the poller installed when it arrives; a poller replaced meanwhile
// has gone with its state.
void reportConnection(const std::function<void(ConnectionState&)>& report)
{
    if (StatusPoller* poller = StatusPoller::installed(); poller && poller->connection())
        report(*poller->connection());
}

// One pulse of the alarm's run of vibrations per location update.
void playPendingVibration(const StatusPoller& poller)
{
    const qint64 left = NumberText::toLong(value("zhendongcishu"));
    if (left < 2)
        return;
    if (Haptics* haptics = poller.haptics())
        haptics->playSystemSound(Haptics::VibrateSound);
    setValue("zhendongcishu", QString::number(left - 1));
}

// Whether the device is outside its geofence, testing it only when the
// companion state or children mode asks for it; nothing when the answer has no
// position to test.
std::optional<bool> deviceOutside(const StatusAnswer& answer)
{
    const qint64 state = answer.integer(QStringLiteral("banlvstate"));
    const qint64 children = NumberText::toLong(value("weilanmode"));
    const bool tested = state != 2 && (state == 3 || children != 0);
    if (!tested) {
        Log::write(QStringLiteral("无需检测报警.半驴状态:%1 儿童模式:%2").arg(state).arg(children));
        return false;
    }
    // A device that reports no position has not left anything, nor come back:
    // comparing its missing fix (read as 0, 0) with the base would raise a false
    // alarm, and calling it inside would raise the alarm again at the next fix.
    const QString latText = ServerAnswer::textOrEmpty(answer.object(), QStringLiteral("lat"));
    const QString lngText = ServerAnswer::textOrEmpty(answer.object(), QStringLiteral("lng"));
    if (MyUtil::IsMissingPosition(latText, lngText)) {
        Log::write(QStringLiteral("无需检测报警.没有最新位置"));
        return std::nullopt;
    }
    const int radius = MyUtil::GetBanJing();
    const float baseLat = NumberText::toFloat(value("baselat"));
    const float baseLng = NumberText::toFloat(value("baselng"));
    const float lat = answer.number32(QStringLiteral("lat"));
    const float lng = answer.number32(QStringLiteral("lng"));
    const float distance = float(MyUtil::Distance(lng, lat, baseLng, baseLat));
    Log::write(QStringLiteral("需要检测报警.半驴状态:%1 儿童模式:%2 距离:%3")
                   .arg(state)
                   .arg(children)
                   .arg(decimals(distance)));
    Log::write(QStringLiteral("需要检测报警.最新lng:%1 最新lat:%2 基准lng:%3 基准lat:%4")
                   .arg(decimals(lng), decimals(lat), decimals(baseLng), decimals(baseLat)));
    return distance > float(radius);
}

qint64 batteryPercent()
{
    return qint64(MyUtil::GetDianYaBiLv() * 100.0f);
}

// The rider can look back at every alarm: where the device was (the answer that raised it
// is stored by now) and its battery at that moment.
void recordAlarm(AlarmLog::Kind kind, const QString& message)
{
    StatusPoller* poller = StatusPoller::installed();
    if (!poller)
        return;
    AlarmLog::Entry entry{poller->now(), kind, message, std::nullopt, int(batteryPercent())};
    const QString lat = value("lat");
    const QString lng = value("lng");
    if (!MyUtil::IsMissingPosition(lat, lng))
        entry.position = AlarmLog::Position{NumberText::toDouble(lat), NumberText::toDouble(lng)};
    AlarmLog::record(entry);
}

// Raises the geofence alarm on the first poll that finds the device outside;
// returns the alarm state to report to the server.
qint64 raiseGeofenceAlarm(bool outside)
{
    const qint64 wasOutside = NumberText::toLong(value("shangweilanbaojing"));
    if (!outside || wasOutside != 0)
        return 0;
    setValue("zhendongcishu", QString::fromLatin1(VibrationCount));
    Log::write(QStringLiteral("围栏报警"));
    const QString message = Localized::string(QStringLiteral("主人，快来救我!"));
    MyUtil::registerLocalNotification(0, Localized::string(QStringLiteral("围栏报警")), message);
    recordAlarm(AlarmLog::Kind::Geofence, message);
    return 1;
}

void checkBattery()
{
    const qint64 percent = batteryPercent();
    const QString message = Localized::string(QStringLiteral("电量还剩%1%,请及时充电!")).arg(percent);
    const int minutes = MyUtil::GetShiJianCha();
    const qint64 quiet = NumberText::toLong(value("powermiandarao"));
    if (minutes < BatteryAlarmSpacingMinutes || percent > BatteryAlarmPercent || quiet != 0)
        return;
    setValue("zhendongcishu", QString::fromLatin1(VibrationCount));
    Log::write(QStringLiteral("电量报警"));
    MyUtil::registerLocalNotification(0, Localized::string(QStringLiteral("电量报警")), message);
    recordAlarm(AlarmLog::Kind::Battery, message);
    MyUtil::UpdatePowerJianGe();
}

bool holdsNumber(const QString& text)
{
    static const QRegularExpression leadingNumber(QStringLiteral("^\\s*[+-]?\\d"));
    return leadingNumber.match(text).hasMatch();
}

// NSDate's description: the instant in UTC with its offset.
QString dateDescription(const QDateTime& when)
{
    return when.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"));
}

} // namespace

namespace MyUtil {

void GetEveryThing()
{
    StatusPoller* poller = StatusPoller::installed();
    if (!poller)
        return;
    playPendingVibration(*poller);
    if (!poller->throttlePasses(PollIntervalMs))
        return;
    const QString devid = value("devid");
    if (devid.length() < MinimumDevidLength)
        return;
    // A failed request is dropped; the next one goes out after the next interval.
    if (!poller->server())
        return;
    poller->server()->getEveryThing(
        devid, StatusStore::storingFirst([devid](const StatusAnswer& answer) {
            reportConnection([&](ConnectionState& state) { state.answered(answer.isOk()); });
            HandleEveryThingAnswer(devid, answer);
        }),
        [](const QString&) { reportConnection([](ConnectionState& state) { state.failed(); }); });
}

void HandleEveryThingAnswer(const QString& devid, const StatusAnswer& answer)
{
    if (!answer.isOk())
        return;
    if (answer.integer(QStringLiteral("banlvstateupdate")) == 1)
        UpdateBasePos();
    if (IsMissingPosition(value("baselat"), value("baselng")))
        UpdateBasePos();
    if (const std::optional<bool> outside = deviceOutside(answer)) {
        const qint64 alarmState = raiseGeofenceAlarm(*outside);
        setValue("shangweilanbaojing", QString::number(*outside ? 1 : 0));
        if (alarmState != answer.integer(QStringLiteral("weilanwaring")))
            UploadWeiLanState(devid, alarmState);
    }
    checkBattery();
}

void UpdateBasePos()
{
    setValue("baselat", value("lat"));
    setValue("baselng", value("lng"));
}

int GetBanJing()
{
    return BanJingOfAngle(NumberText::toFloat(value("weilanradio")));
}

int BanJingOfAngle(float x)
{
    float radius;
    if (x <= 15.0f)
        radius = 30.0f;
    else if (x <= 40.0f)
        radius = (x - 15.0f) / 25.0f * 70.0f + 30.0f;
    else if (x <= 60.0f)
        radius = (x - 40.0f) / 20.0f * 400.0f + 100.0f;
    else if (x <= 100.0f)
        radius = (x - 60.0f) / 40.0f * 500.0f + 500.0f;
    else if (x <= 140.0f)
        radius = (x - 100.0f) / 40.0f * 1000.0f + 1000.0f;
    else if (x <= 165.0f)
        radius = (x - 140.0f) / 25.0f * 1000.0f + 2000.0f;
    else
        radius = 3000.0f;
    return int(radius);
}

double Distance(double long1, double lat1, double long2, double lat2)
{
    constexpr double pi = 3.141592653589793;
    const double radLat1 = lat1 * pi / 180.0;
    const double radLat2 = lat2 * pi / 180.0;
    const double halfLat = std::sin((radLat1 - radLat2) / 2.0);
    const double halfLng = std::sin((long1 - long2) * pi / 180.0 / 2.0);
    const double h = halfLat * halfLat + std::cos(radLat1) * std::cos(radLat2) * halfLng * halfLng;
    return std::asin(std::sqrt(h)) * 12756274.0;
}

void UploadWeiLanState(const QString& devid, qint64 weilanstate)
{
    if (StatusPoller* poller = StatusPoller::installed(); poller && poller->server())
        poller->server()->updateWeiLan(devid, weilanstate);
}

float GetDianYaBiLv()
{
    float volts = NumberText::toFloat(value("power"));
    if (volts < 29.0f)
        volts = 29.0f;
    float charge;
    if (volts <= 38.0f)
        charge = (volts - 29.0f) * 9.0f;
    else if (double(volts) < 41.4)
        charge = (volts - 38.0f) * 5.58f + 81.0f;
    else
        charge = 100.0f;
    return charge / 100.0f;
}

int GetShiJianCha()
{
    const QString last = value("powertwohour");
    const int minutes = last.length() >= 5 ? intervalSinceNow(last) : NoBatteryAlarmYet;
    Log::write(QStringLiteral("GetShiJianCha:%1").arg(minutes));
    return minutes;
}

void UpdatePowerJianGe()
{
    const QString stamp = now().toString(TimeFormat);
    setValue("powertwohour", stamp);
    Log::write(QStringLiteral("UpdatePowerJianGe:%1").arg(stamp));
}

int intervalSinceNow(const QString& time)
{
    const QDateTime then = QDateTime::fromString(time, TimeFormat);
    if (!then.isValid())
        return std::numeric_limits<int>::max();
    const qint64 seconds = then.secsTo(now());
    return int(std::clamp<qint64>(seconds / 60, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

void registerLocalNotification(int delay, const QString& alertBody, const QString& stingkey)
{
    StatusPoller* poller = StatusPoller::installed();
    if (!poller)
        return;
    LocalNotification notification;
    notification.fireDate = poller->now().addSecs(delay);
    Log::write(QStringLiteral("fireDate=%1").arg(dateDescription(notification.fireDate)));
    notification.timeZone = QTimeZone::systemTimeZone();
    notification.repeatInterval = 0;
    notification.alertBody = alertBody;
    notification.applicationIconBadgeNumber = 1;
    notification.soundName = QString::fromLatin1(LocalNotification::DefaultSoundName);
    notification.userInfo.insert(QStringLiteral("key"), stingkey);
    LocalNotificationCenter* center = poller->notifications();
    if (!center)
        return;
    center->registerUserNotificationSettings(LocalNotificationCenter::Alert |
                                             LocalNotificationCenter::Badge |
                                             LocalNotificationCenter::Sound);
    if (stingkey.length() >= MinimumMessageLength)
        center->scheduleLocalNotification(notification);
}

bool IsMissingPosition(const QString& latText, const QString& lngText)
{
    if (!holdsNumber(latText) || !holdsNumber(lngText))
        return true;
    if (!NumberText::isFiniteWithin(latText, 90.0) || !NumberText::isFiniteWithin(lngText, 180.0))
        return true;
    return NumberText::toDouble(latText) == 0.0 && NumberText::toDouble(lngText) == 0.0;
}

} // namespace MyUtil
