#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

// The track points the position section received, kept in a table of their own beside the
// store's entities so rides can be looked back on and exported. Each device keeps a server
// id once; reads go a time range or a row at a time, never the whole table into memory.
namespace RideLog {

struct Point
{
    qint64 serverid = 0;
    // When the app received the point; the server sends no time of its own.
    QDateTime arrival;
    double lat = 0;
    double lng = 0;
    int state = 0;
    // Whether the arrival tells when the tracker sent the point: the answer came within a
    // minute of the one before. Points that waited on the server arrive together, untimed.
    bool timed = true;
};

// Appends the device's points in one transaction, leaving out those whose server id the
// device already has; false, with the reason logged, when the store cannot take them.
bool append(const QString& devid, const QList<Point>& points);
// Hands the device's points to `take` one at a time, in arrival order.
bool forEach(const QString& devid, const std::function<void(const Point&)>& take);
// The device's points that arrived from `from` to `to`, both included, in arrival order.
QList<Point> between(const QString& devid, const QDateTime& from, const QDateTime& to);
// Removes every device's points, with the rest of the local data when the rider switches device.
bool clear();

} // namespace RideLog
