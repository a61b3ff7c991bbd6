#include "platform/Log.h"
#include "platform/NumberText.h"
#include "store/AlarmLog.h"
#include "store/RideLog.h"
#include "store/MyBasicInfo.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "store/db/ManagedObject.h"
#include "store/db/ManagedObjectContext.h"
#include "store/db/PersistentStoreCoordinator.h"
#include "support/TestApp.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

// Fails the next `count` commits of the delegate's store.
void failCommits(AppDelegate* delegate, int count)
{
    auto left = std::make_shared<int>(count);
    delegate->persistentStoreCoordinator()->setCommitFailure([left]() -> QString {
        return (*left)-- > 0 ? QStringLiteral("disk I/O error (injected)") : QString();
    });
}

// The first column of the first row of `sql` on the file, apart from the app's connection.
QString query(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QString answer;
    sqlite3_open(path.toUtf8().constData(), &db);
    const auto first = [](void* out, int, char** values, char**) {
        *static_cast<QString*>(out) = QString::fromUtf8(values[0]);
        return 1;
    };
    sqlite3_exec(db, sql, first, &answer, nullptr);
    sqlite3_close(db);
    return answer;
}

void rider(const QString& name, const QString& rank, const QString& weixin = QString())
{
    MyPaiMingInfo::CheckAdd(name, "3", "a", rank, "", "", "", weixin);
}

} // namespace

// The settings and rider caches, and the store under them failing: saves that fail,
// batches that fail, damaged files, kills.
class tst_Store : public QObject
{
    Q_OBJECT

private slots:
    void settingsAreMadeOnceKeptAndCleared();
    void missingKeyReadsOneAndDropsWrites();
    void lenientNumbers_data();
    void lenientNumbers();
    void riderNamedTwiceKeepsOneRowWithLaterValues();
    void droppedRiderKeepsItsRank();
    void countOnlyRanksAboveZero();
    void failedSaveKeepsChangeForNextSave();
    void failedBatchLeavesFileUntouchedAndRetries();
    void rankingAnswerReplacesTheCacheInOneSave();
    void unsavedChangesAreSeenByFetches();
    void unreadableFilesAreMovedAside_data();
    void unreadableFilesAreMovedAside();
    void killedWriterLeavesWholeBatches();
    void storeIsTheUsersAlone();
    void alarmLogKeepsNinetyDaysAcrossRestarts();
};

void tst_Store::settingsAreMadeOnceKeptAndCleared()
{
    TestApp app;
    QVERIFY(!QFile::exists(app.storePath()));
    MyUtil::InitMyDateBase();
    QVERIFY(QFile::exists(app.storePath()));
    for (const QString& key : MyUtil::SettingsKeys())
        QCOMPARE(MyBasicInfo::GetValue(key), QStringLiteral("0"));
    MyBasicInfo::SetValue("devid", "86000001");
    app.restart();
    MyUtil::InitMyDateBase();
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("86000001"));
    QCOMPARE(query(app.storePath(), "SELECT count(*) FROM MyBasicInfo").toInt(),
             MyUtil::SettingsKeys().size());
    rider("a", "1");
    MyFriendInfo::CheckAdd("b", "", "", "1", "", "", "", "");
    AlarmLog::record({app.clock.now(), AlarmLog::Kind::Battery, "m", std::nullopt, 40});
    RideLog::append("86000001", {{1, app.clock.now(), 30, 120}});
    MyUtil::ClearDataBase();
    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("1"));
    QCOMPARE(MyPaiMingInfo::GetCount() + MyFriendInfo::GetCount(), 0);
    QCOMPARE(query(app.storePath(), "SELECT (SELECT count(*) FROM lvxing_alarms) + "
                                    "(SELECT count(*) FROM lvxing_ridepoints)")
                 .toInt(),
             0);
    MyUtil::InitMyDateBase();
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("0"));
}

void tst_Store::missingKeyReadsOneAndDropsWrites()
{
    TestApp app;
    MyBasicInfo::SetValue("nosuchkey", "5");
    QCOMPARE(MyBasicInfo::GetValue("nosuchkey"), QStringLiteral("1"));
    MyBasicInfo::CheckAdd("nosuchkey");
    QCOMPARE(MyBasicInfo::GetValue("nosuchkey"), QStringLiteral("0"));
    // A key added twice has two rows; the first one wins, also after a restart.
    MyBasicInfo::Add("nosuchkey");
    MyBasicInfo::SetValue("nosuchkey", "5");
    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("nosuchkey"), QStringLiteral("5"));
}

void tst_Store::lenientNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("whole");
    QTest::newRow("unit") << " 34.2V" << 34.2 << 34;
    QTest::newRow("negative fraction truncates to zero") << "-0.9" << -0.9 << 0;
    QTest::newRow("plus") << "+12.5kg" << 12.5 << 12;
    QTest::newRow("huge clamps") << "99999999999" << 99999999999.0 << 2147483647;
}

void tst_Store::lenientNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QFETCH(int, whole);
    QCOMPARE(NumberText::toDouble(text), number);
    QCOMPARE(NumberText::toInt(text), whole);
}

void tst_Store::riderNamedTwiceKeepsOneRowWithLaterValues()
{
    TestApp app;
    MyPaiMingInfo::CheckAdd("amy", "3", "新手", "1", "http://h/a.png", "30.1", "120.1", "wx_amy");
    MyPaiMingInfo::CheckAdd("amy", "4", "老手", "2", "http://h/b.png", "30.2", "120.2", "wx_amy2");
    QVERIFY(MyPaiMingInfo::GetValue("1").isEmpty());
    const QList<RiderInfo> riders = MyPaiMingInfo::GetValue("2");
    QCOMPARE(riders.size(), 1);
    const RiderInfo& r = riders.first();
    QCOMPARE(QStringList({r.username, r.level, r.levelname, r.paiming, r.touxiangpath, r.lat, r.lng,
                          r.weixin}),
             QStringList({"amy", "4", "老手", "2", "http://h/b.png", "30.2", "120.2", "wx_amy2"}));
    // The nearby riders are a list of their own.
    MyFriendInfo::CheckAdd("cat", "12", "骑士", "5", "", "30.3", "120.3", "");
    MyFriendInfo::CheckAdd("cat", "12", "骑士", "5", "", "30.3", "120.4", "");
    QCOMPARE(MyFriendInfo::GetValue("5").size(), 1);
    QCOMPARE(MyFriendInfo::GetValue("5").first().lng, QStringLiteral("120.4"));
    QCOMPARE(MyPaiMingInfo::GetCount(), 1);
}

void tst_Store::droppedRiderKeepsItsRank()
{
    TestApp app;
    for (int i = 0; i < 20; ++i)
        rider(QStringLiteral("r%1").arg(i), "2");
    rider("amy", "1");
    // The next answer ranks r3 first: amy keeps her old rank, and both share it.
    rider("r3", "1", "changed");
    app.restart();
    const QList<RiderInfo> first = MyPaiMingInfo::GetValue("1");
    QCOMPARE(first.size(), 2);
    QCOMPARE(first[0].username + first[1].username + first[0].weixin, "r3amychanged");
    const QList<RiderInfo> second = MyPaiMingInfo::GetValue("2");
    QCOMPARE(second.size(), 19);
    QCOMPARE(second[2].username + second[3].username, "r2r4");
}

void tst_Store::countOnlyRanksAboveZero()
{
    TestApp app;
    for (const char* rank : {"0", "-2", "x", "7"})
        rider(rank, rank);
    QCOMPARE(MyPaiMingInfo::GetCount(), 1);
    rider("0", "3");
    QCOMPARE(MyPaiMingInfo::GetCount(), 2);
    rider("7", "0");
    QCOMPARE(MyPaiMingInfo::GetCount(), 1);
}

void tst_Store::failedSaveKeepsChangeForNextSave()
{
    TestApp app;
    MyUtil::InitMyDateBase();
    failCommits(app.delegate.get(), 1);
    MyBasicInfo::SetValue("maxspeed", "25");
    QCOMPARE(MyBasicInfo::GetValue("maxspeed"), QStringLiteral("25"));
    MyBasicInfo::Add("extra");
    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("maxspeed"), QStringLiteral("25"));
    QCOMPARE(MyBasicInfo::GetValue("extra"), QStringLiteral("0"));
}

void tst_Store::failedBatchLeavesFileUntouchedAndRetries()
{
    TestApp app;
    MyUtil::InitMyDateBase();
    MyFriendInfo::CheckAdd("cat", "", "", "1", "", "", "", "");
    ManagedObjectContext* context = app.delegate->managedObjectContext();
    failCommits(app.delegate.get(), 1);
    {
        ContextBatch batch(context);
        MyBasicInfo::SetValue("power", "39.5");
        rider("amy", "1");
        MyFriendInfo::ClearMySelf();
    }
    QVERIFY(context->hasChanges());
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("39.5"));
    QCOMPARE(query(app.storePath(), "SELECT value FROM MyBasicInfo WHERE type = 'power'"),
             QStringLiteral("0"));
    QCOMPARE(query(app.storePath(), "SELECT count(*) FROM MyPaiMingInfo"), QStringLiteral("0"));
    QCOMPARE(query(app.storePath(), "SELECT count(*) FROM MyFriendInfo"), QStringLiteral("1"));

    QVERIFY(context->save());
    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("39.5"));
    QCOMPARE(MyPaiMingInfo::GetCount(), 1);
    QCOMPARE(MyFriendInfo::GetCount(), 0);
}

void tst_Store::rankingAnswerReplacesTheCacheInOneSave()
{
    TestApp app;
    Log::Capture log;
    rider("gone", "2");
    QList<RiderInfo> answer;
    for (int i = 0; i < 300; ++i)
        answer.append(
            {QStringLiteral("r%1").arg(i), "3", "a", QString::number(i + 1), "", "", "", ""});
    MyPaiMingInfo::Replace(answer);
    QCOMPARE(MyPaiMingInfo::GetValue("7").value(0).username +
                 QString::number(MyPaiMingInfo::GetCount()),
             "r6300");
    // The next answer moves everyone down a rank (more rows than one statement writes),
    // drops r0, and its commit fails: the file keeps the first answer until the retry.
    for (RiderInfo& r : answer)
        r.paiming = QString::number(r.paiming.toInt() % 300 + 1);
    answer.removeFirst();
    failCommits(app.delegate.get(), 1);
    MyPaiMingInfo::Replace(answer);
    QCOMPARE(MyPaiMingInfo::GetValue("7").value(0).username +
                 QString::number(MyPaiMingInfo::GetCount()),
             "r5299");
    QCOMPARE(query(app.storePath(), "SELECT paiming FROM MyPaiMingInfo WHERE username = 'r5'"),
             QStringLiteral("6"));
    QCOMPARE(query(app.storePath(), "SELECT count(*) FROM MyPaiMingInfo"), QStringLiteral("300"));
    QVERIFY(app.delegate->managedObjectContext()->save());
    app.restart();
    QCOMPARE(MyPaiMingInfo::GetCount(), 299);
    QCOMPARE(MyPaiMingInfo::GetValue("7").value(0).username, QStringLiteral("r5"));
    QCOMPARE(MyPaiMingInfo::GetValue("1").value(0).username, QStringLiteral("r299"));
    QVERIFY(MyPaiMingInfo::GetValue("2").isEmpty());
    const QStringList lines = log.lines();
    QCOMPARE(lines.mid(lines.indexOf("新建:r7"), 2),
             QStringList({"新建:r7", "本周排名 Add\u00a0ok"}));
    QCOMPARE(lines.mid(lines.indexOf("已经存在:r7"), 2),
             QStringList({"已经存在:r7", "disk I/O error (injected)"}));
}

void tst_Store::unsavedChangesAreSeenByFetches()
{
    TestApp app;
    ManagedObjectContext* context = app.delegate->managedObjectContext();
    ManagedObject* row = context->insert("MyPaiMingInfo");
    row->setValue("username", "zed");
    row->setValue("paiming", "4");
    QCOMPARE(context->fetch(FetchRequest::equal("MyPaiMingInfo", "username", "zed")).size(), 1);
    QCOMPARE(context->count(FetchRequest::greaterThan("MyPaiMingInfo", "paiming", 0)), 1);
    row->setValue("paiming", "0");
    QCOMPARE(context->count(FetchRequest::greaterThan("MyPaiMingInfo", "paiming", 0)), 0);
    context->deleteObject(row);
    QVERIFY(context->fetch(FetchRequest::equal("MyPaiMingInfo", "username", "zed")).isEmpty());
    QVERIFY(context->save());
}

void tst_Store::unreadableFilesAreMovedAside_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"random bytes", "truncated", "another schema"})
        QTest::newRow(kind) << QString(kind);
}

void tst_Store::unreadableFilesAreMovedAside()
{
    QFETCH(QString, kind);
    TestApp app;
    QFile file(app.storePath());
    if (kind == "random bytes") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, '\x5a'));
    } else if (kind == "truncated") {
        for (int i = 0; i < 400; ++i)
            rider(QStringLiteral("rider%1").arg(i), "1", "http://example.com/a-long-address.png");
        app.delegate.reset();
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.size() > 8192);
        file.resize(file.size() / 2);
    } else {
        query(app.storePath(), "CREATE TABLE ZMYBASICINFO (Z_PK INTEGER PRIMARY KEY, ZTYPE TEXT)");
    }
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();

    Log::Capture log;
    app.restart();
    MyUtil::InitMyDateBase();
    // The line support looks for when a rider's data is gone.
    QCOMPARE(log.matching("Unresolved error").size(), 1);
    MyBasicInfo::SetValue("devid", "86000001");
    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("86000001"));
    const QStringList aside =
        QDir(app.dir.path()).entryList({"TestCoreData.sqlite.broken-*"}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QFile kept(app.dir.filePath(aside.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), before);
}

void tst_Store::killedWriterLeavesWholeBatches()
{
    TestApp app;
    app.delegate.reset();
    const QStringList keys = MyUtil::SettingsKeys().mid(7, 24);
    for (int round = 0; round < 3; ++round) {
        QProcess writer;
        writer.start(STORE_WRITER, {app.dir.path()});
        QVERIFY(writer.waitForStarted());
        const int killAfter = 5 + QRandomGenerator::global()->bounded(60);
        QByteArray out;
        while (out.count('\n') < killAfter && writer.state() == QProcess::Running) {
            writer.waitForReadyRead(5000);
            out += writer.readAllStandardOutput();
        }
        writer.kill(); // SIGKILL: no chance to finish the batch in hand
        writer.waitForFinished();
        const int lastCommitted = out.trimmed().split('\n').last().toInt();
        QVERIFY(lastCommitted >= killAfter);

        QCOMPARE(query(app.storePath(), "PRAGMA integrity_check"), QStringLiteral("ok"));
        app.restart();
        const QString first = MyBasicInfo::GetValue(keys.first());
        QVERIFY(first.toInt() >= lastCommitted);
        for (const QString& key : keys)
            QCOMPARE(MyBasicInfo::GetValue(key), first);
        app.delegate.reset();
    }
}

void tst_Store::storeIsTheUsersAlone()
{
    // A folder and a store file made earlier with wide rights, under a lax umask.
    const mode_t previous = umask(022);
    QTemporaryDir root;
    const QString folder = root.filePath("data");
    QVERIFY(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFileDevice::Permissions(0x7755));
    {
        AppDelegate delegate(folder);
        MyUtil::InitMyDateBase();
    }
    QFile::setPermissions(QDir(folder).filePath(AppDelegate::StoreFileName),
                          QFileDevice::Permissions(0x6644));
    AppDelegate delegate(folder);
    MyBasicInfo::SetValue("localpwd", "secret");
    umask(previous);
    const QFileDevice::Permissions others = QFileDevice::Permissions(0x0077);
    QCOMPARE(QFileInfo(folder).permissions() & others, QFileDevice::Permissions());
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const QString path = QDir(folder).filePath(AppDelegate::StoreFileName + QString(suffix));
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QCOMPARE(QFileInfo(path).permissions() & others, QFileDevice::Permissions());
    }
}

void tst_Store::alarmLogKeepsNinetyDaysAcrossRestarts()
{
    TestApp app;
    MyUtil::InitMyDateBase();
    const QDateTime edge = app.clock.now().addDays(-90);
    // Text that looks like SQL is kept as it came.
    const QString message = "'); DROP TABLE lvxing_alarms; --";
    for (qint64 secs : {-1, 1})
        AlarmLog::record({edge.addSecs(secs), AlarmLog::Kind::Battery, message, std::nullopt, 40});
    AlarmLog::record({app.clock.now(), AlarmLog::Kind::Geofence, "主人，快来救我!",
                      AlarmLog::Position{-34.6037, -58.3816}, 7});
    // The store with the table beside its entities opens as the same store.
    app.restart();
    app.delegate->didFinishLaunchingWithOptions();
    const QList<AlarmLog::Entry> kept = AlarmLog::newest(10);
    QCOMPARE(kept.size(), 2);
    QCOMPARE(kept[0].kind, AlarmLog::Kind::Geofence);
    QCOMPARE(kept[0].position->lat, -34.6037);
    QCOMPARE(kept[0].position->lng, -58.3816);
    QCOMPARE(kept[1].time, edge.addSecs(1));
    QCOMPARE(kept[1].message, message);
    QVERIFY(!kept[1].position);
    QCOMPARE(AlarmLog::newest(1).size(), 1);
    QVERIFY(AlarmLog::newest(-1).isEmpty());
}

QTEST_GUILESS_MAIN(tst_Store)
#include "tst_Store.moc"
