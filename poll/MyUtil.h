#pragma once

#include <QString>

class StatusAnswer;

// Poll part of MyUtil: the status poll that runs on every location update, the
// geofence and battery alarms it raises from each fresh state, and the helpers
// the dashboard pages share with it.
namespace MyUtil {

// One tick: plays a pending vibration and, at most once a minute, asks the
// device server for the device's state.
void GetEveryThing();
// What follows a poll answer once it has been decoded and, when its message is
// "ok", stored: the geofence base, the geofence and battery alarms.
void HandleEveryThingAnswer(const QString& devid, const StatusAnswer& answer);

// Copies lat/lng to baselat/baselng unchanged.
void UpdateBasePos();
// The geofence radius in metres from the dial angle in weilanradio.
int GetBanJing();
// The geofence radius in metres for a dial angle in degrees (the band rule GetBanJing and the
// geofence page share).
int BanJingOfAngle(float angle);
// Metres between two points given in degrees (haversine on the WGS 84 equator radius).
double Distance(double long1, double lat1, double long2, double lat2);
// Tells the server the geofence alarm state; the answer is only logged.
void UploadWeiLanState(const QString& devid, qint64 weilanstate);
// Charge 0..1 from the battery voltage in power.
float GetDianYaBiLv();
// Minutes since the last battery alarm; 1000 when there was none.
int GetShiJianCha();
// Stores now in powertwohour.
void UpdatePowerJianGe();
// Whole minutes from a "yyyy-MM-dd HH:mm:ss" local time to now; an unreadable
// time counts as long past.
int intervalSinceNow(const QString& time);
// Raises a local notification after `delay` seconds with the alarm's short
// title and, under "key", its message; a message under 6 characters raises none.
void registerLocalNotification(int delay, const QString& alertBody, const QString& stingkey);

// A position is missing when either text holds no number, is NaN, infinite or off
// the globe, or when both read as 0. Negative coordinates (west, south) are real positions.
bool IsMissingPosition(const QString& latText, const QString& lngText);

} // namespace MyUtil
