#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The alarms the status poll raised, in a table of their own beside the store's entities:
// written as they fire, read newest first up to a limit, and pruned by age.
namespace AlarmLog {

// How long alarms are kept.
inline constexpr int KeptDays = 90;

enum class Kind { Geofence, Battery };

struct Position
{
    double lat = 0;
    double lng = 0;
};

struct Entry
{
    QDateTime time;
    Kind kind = Kind::Geofence;
    // The text of the notification the alarm raised.
    QString message;
    // Where the device was; none when the store held no usable position.
    std::optional<Position> position;
    int battery = 0;
};

// Appends one alarm; false, with the reason logged, when the store cannot take it.
bool record(const Entry& entry);
// At most `limit` alarms, newest first.
QList<Entry> newest(int limit);
// Removes the alarms raised before `before`.
bool prune(const QDateTime& before);
// Removes every alarm, with the rest of the local data when the rider switches device.
bool clear();

} // namespace AlarmLog
