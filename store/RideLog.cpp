#include "store/RideLog.h"

#include "platform/Log.h"
#include "store/StoreContext.h"
#include "store/db/SqlStatement.h"

namespace {

const char* const Columns = "serverid, arrival, lat, lng, state, timed";

// Made on first use, so a store from before rides were kept gains the table on its own.
const std::initializer_list<const char*> Schema = {
    "CREATE TABLE IF NOT EXISTS lvxing_ridepoints (devid TEXT NOT NULL, serverid INTEGER NOT "
    "NULL, arrival INTEGER NOT NULL, lat REAL NOT NULL, lng REAL NOT NULL, state INTEGER NOT "
    "NULL, timed INTEGER NOT NULL, UNIQUE (devid, serverid))",
    // Reads in arrival order follow the index and need no sort.
    "CREATE INDEX IF NOT EXISTS lvxing_ridepoints_arrival ON lvxing_ridepoints (devid, arrival, "
    "serverid)"};

bool fail(const QString& error)
{
    Log::write(QStringLiteral("ride points: %1").arg(error));
    return false;
}

// The store file with the table in it; null, with the reason logged, without one.
sqlite3* table()
{
    sqlite3* db = StoreContext::database();
    QString error;
    return SqlStatement::runEach(db, Schema, &error) || fail(error) ? db : nullptr;
}

bool run(sqlite3* db, const char* sql)
{
    return SqlStatement(db, sql).run();
}

RideLog::Point pointOf(const SqlStatement& row)
{
    return {row.integer(0),      QDateTime::fromMSecsSinceEpoch(row.integer(1)),
            row.number(2),       row.number(3),
            int(row.integer(4)), row.integer(5) != 0};
}

// Steps through the rows `select` finds, handing each point to `take`.
bool readAll(SqlStatement& select, const std::function<void(const RideLog::Point&)>& take)
{
    while (select.next())
        take(pointOf(select));
    return select.error().isEmpty() || fail(select.error());
}

bool insertAll(sqlite3* db, const QString& devid, const QList<RideLog::Point>& points,
               QString* error)
{
    SqlStatement insert(db, "INSERT OR IGNORE INTO lvxing_ridepoints (devid, serverid, arrival, "
                            "lat, lng, state, timed) VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const RideLog::Point& point : points) {
        insert.bind({devid, point.serverid, point.arrival.toMSecsSinceEpoch(), point.lat, point.lng,
                     point.state, point.timed});
        if (!insert.run())
            break;
    }
    *error = insert.error();
    return error->isEmpty();
}

} // namespace

namespace RideLog {

bool append(const QString& devid, const QList<Point>& points)
{
    sqlite3* db = table();
    if (!db)
        return false;
    // A savepoint nests inside a batch the object store may have open.
    SqlStatement begin(db, "SAVEPOINT ridelog");
    if (!begin.run())
        return fail(begin.error());
    QString error;
    if (!insertAll(db, devid, points, &error))
        run(db, "ROLLBACK TO ridelog");
    run(db, "RELEASE ridelog");
    return error.isEmpty() || fail(error);
}

bool forEach(const QString& devid, const std::function<void(const Point&)>& take)
{
    const QByteArray sql = QByteArray("SELECT ") + Columns +
                           " FROM lvxing_ridepoints WHERE devid = ? ORDER BY arrival, serverid";
    sqlite3* db = table();
    SqlStatement select(db, sql.constData());
    select.bind({devid});
    return db && readAll(select, take);
}

QList<Point> between(const QString& devid, const QDateTime& from, const QDateTime& to)
{
    const QByteArray sql = QByteArray("SELECT ") + Columns +
                           " FROM lvxing_ridepoints WHERE devid = ? AND arrival BETWEEN ? AND ?"
                           " ORDER BY arrival, serverid";
    sqlite3* db = table();
    SqlStatement select(db, sql.constData());
    select.bind({devid, from.toMSecsSinceEpoch(), to.toMSecsSinceEpoch()});
    QList<Point> points;
    if (db)
        readAll(select, [&points](const Point& point) { points.append(point); });
    return points;
}

bool clear()
{
    sqlite3* db = table();
    SqlStatement remove(db, "DELETE FROM lvxing_ridepoints");
    return db && (remove.run() || fail(remove.error()));
}

} // namespace RideLog
