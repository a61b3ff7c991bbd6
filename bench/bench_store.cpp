// Settings store and ranking cache against bare SQLite on the same file and mode.
#include "BenchReport.h"
#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "store/MyBasicInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "store/db/ManagedObjectContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

// Bare SQLite over the delegate's store file, with prepared statements.
struct Bare
{
    sqlite3* db = nullptr;
    sqlite3_stmt* select = nullptr;
    sqlite3_stmt* update = nullptr;

    explicit Bare(const QString& path)
    {
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, "SELECT value FROM MyBasicInfo WHERE type = ?", -1, &select, nullptr);
        sqlite3_prepare_v2(db, "UPDATE MyBasicInfo SET value = ? WHERE type = ?", -1, &update, nullptr);
    }
    ~Bare()
    {
        sqlite3_finalize(select);
        sqlite3_finalize(update);
        sqlite3_close(db);
    }
    QString get(const char* key)
    {
        sqlite3_bind_text(select, 1, key, -1, SQLITE_STATIC);
        QString value;
        if (sqlite3_step(select) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)));
        sqlite3_reset(select);
        return value;
    }
    void set(const char* key, const QByteArray& value)
    {
        sqlite3_bind_text(update, 1, value.constData(), int(value.size()), SQLITE_STATIC);
        sqlite3_bind_text(update, 2, key, -1, SQLITE_STATIC);
        sqlite3_step(update);
        sqlite3_reset(update);
    }
    void exec(const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Log::Quiet quiet;
    QTemporaryDir dir;
    AppDelegate delegate(dir.path());
    MyUtil::InitMyDateBase();
    Bare bare(QDir(dir.path()).filePath(AppDelegate::StoreFileName));
    volatile qsizetype sink = 0;

    const double bareGet = medianNs([&] { sink += bare.get("power").size(); }, 20000);
    const double get = medianNs([&] { sink += MyBasicInfo::GetValue("power").size(); }, 20000);
    report("GetValue", get, bareGet, "bare prepared SELECT by key");

    int n = 0;
    // Single writes, timed one by one: rounds of many would each hold one WAL checkpoint
    // or none (one every thousand commits), and which they hold decided the ratio.
    const auto [bareSet, set] = medianCallsNs(
        [&] {
            bare.exec("BEGIN");
            bare.get("power");
            bare.set("power", QByteArray::number(++n));
            bare.exec("COMMIT");
        },
        [&] { MyBasicInfo::SetValue("power", QString::number(++n)); }, 1000, 5);
    report("SetValue", set, bareSet, "bare SELECT + UPDATE + COMMIT");

    const QStringList keys = MyUtil::SettingsKeys().mid(7, 24);
    QList<QByteArray> bareKeys;
    for (const QString& key : keys)
        bareKeys.append(key.toUtf8());
    const double bareBatch = medianNs([&] {
        bare.exec("BEGIN");
        for (const QByteArray& key : bareKeys)
            bare.set(key.constData(), QByteArray::number(++n));
        bare.exec("COMMIT");
    }, 200);
    const double batch = medianNs([&] {
        ContextBatch scope(delegate.managedObjectContext());
        for (const QString& key : keys)
            MyBasicInfo::SetValue(key, QString::number(++n));
    }, 200);
    report("SetValue x24 batch", batch, bareBatch, "bare 24-UPDATE transaction");

    {
        ContextBatch scope(delegate.managedObjectContext());
        for (int i = 0; i < 10000; ++i)
            MyPaiMingInfo::CheckAdd(QStringLiteral("rider%1").arg(i), "7", "骑士", QString::number(i + 1),
                                    "http://127.0.0.1:8808/a.png", "30.27", "120.15", "wx");
    }
    report("MyPaiMingInfo GetCount (10000 riders)", medianNs([&] { sink += MyPaiMingInfo::GetCount(); }, 20000));
    int rank = 0;
    report("MyPaiMingInfo GetValue(rank) (10000 riders)",
           medianNs([&] { sink += MyPaiMingInfo::GetValue(QString::number(rank++ % 10000 + 1)).size(); }, 20000));
    return 0;
}
