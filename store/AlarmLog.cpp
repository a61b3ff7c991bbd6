#include "store/AlarmLog.h"

#include "platform/Log.h"
#include "store/StoreContext.h"
#include "store/db/SqlStatement.h"

#include <limits>

namespace {

const QString GeofenceText = QStringLiteral("geofence");
const QString BatteryText = QStringLiteral("battery");

bool logged(const SqlStatement& statement, bool ok)
{
    if (!ok)
        Log::write(QStringLiteral("alarm log: %1").arg(statement.error()));
    return ok;
}

// The table comes with the first use, so stores made before it keep their schema version.
sqlite3* database()
{
    sqlite3* db = StoreContext::database();
    QString error;
    if (SqlStatement::runEach(
            db,
            {"CREATE TABLE IF NOT EXISTS lvxing_alarms (id INTEGER PRIMARY KEY, time INTEGER NOT "
             "NULL, kind TEXT NOT NULL, message TEXT NOT NULL, lat REAL, lng REAL, battery "
             "INTEGER NOT NULL)",
             "CREATE INDEX IF NOT EXISTS lvxing_alarms_time ON lvxing_alarms (time)"},
            &error))
        return db;
    Log::write(QStringLiteral("alarm log: %1").arg(error));
    return nullptr;
}

AlarmLog::Entry entryOf(const SqlStatement& row)
{
    AlarmLog::Entry entry;
    entry.time = QDateTime::fromMSecsSinceEpoch(row.integer(0), Qt::UTC);
    entry.kind = row.text(1) == BatteryText ? AlarmLog::Kind::Battery : AlarmLog::Kind::Geofence;
    entry.message = row.text(2);
    if (!row.isNull(3) && !row.isNull(4))
        entry.position = AlarmLog::Position{row.number(3), row.number(4)};
    entry.battery = int(row.integer(5));
    return entry;
}

} // namespace

namespace AlarmLog {

bool record(const Entry& entry)
{
    sqlite3* db = database();
    if (!db)
        return false;
    SqlStatement insert(db, "INSERT INTO lvxing_alarms (time, kind, message, lat, lng, battery) "
                            "VALUES (?, ?, ?, ?, ?, ?)");
    const QVariant lat = entry.position ? QVariant(entry.position->lat) : QVariant();
    const QVariant lng = entry.position ? QVariant(entry.position->lng) : QVariant();
    insert.bind({entry.time.toMSecsSinceEpoch(),
                 entry.kind == Kind::Battery ? BatteryText : GeofenceText, entry.message, lat, lng,
                 entry.battery});
    return logged(insert, insert.run());
}

QList<Entry> newest(int limit)
{
    sqlite3* db = database();
    if (!db)
        return {};
    SqlStatement select(db, "SELECT time, kind, message, lat, lng, battery FROM "
                            "lvxing_alarms ORDER BY time DESC, id DESC LIMIT ?");
    select.bind({qMax(0, limit)});
    QList<Entry> entries;
    while (select.next())
        entries.append(entryOf(select));
    logged(select, select.error().isEmpty());
    return entries;
}

bool prune(const QDateTime& before)
{
    sqlite3* db = database();
    if (!db)
        return false;
    SqlStatement remove(db, "DELETE FROM lvxing_alarms WHERE time < ?");
    remove.bind({before.toMSecsSinceEpoch()});
    return logged(remove, remove.run());
}

bool clear()
{
    return prune(QDateTime::fromMSecsSinceEpoch(std::numeric_limits<qint64>::max()));
}

} // namespace AlarmLog
