#include "platform/Log.h"
#include "store/MyBasicInfo.h"
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

QString pragma(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QString answer;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            answer = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return answer;
}

QStringList asideFiles(const TestApp& app)
{
    return QDir(app.dir.path()).entryList({"TestCoreData.sqlite.broken-*"}, QDir::Files);
}

} // namespace

// Failures of the store: saves that fail, batches that fail, damaged files, kills.
class tst_ManagedObjectContext : public QObject
{
    Q_OBJECT

private slots:
    void failedSaveKeepsChangeForNextSave();
    void failedBatchLeavesFileUntouchedAndRetries();
    void unsavedChangesAreSeenByFetches();
    void unreadableFilesAreMovedAside_data();
    void unreadableFilesAreMovedAside();
    void killedWriterLeavesWholeBatches();
    void storeIsTheUsersAlone();
};

void tst_ManagedObjectContext::failedSaveKeepsChangeForNextSave()
{
    TestApp app;
    MyUtil::InitMyDateBase();
    failCommits(app.delegate.get(), 1);
    Log::Capture log;
    MyBasicInfo::SetValue("maxspeed", "25");
    QVERIFY(log.contains("disk I/O error (injected)"));
    QVERIFY(!log.contains("更新MyBasicInfo maxspeed ok"));
    QCOMPARE(MyBasicInfo::GetValue("maxspeed"), QStringLiteral("25"));
    MyBasicInfo::Add("extra");
    MyBasicInfo::SetValue("lightspeed", "17");
    QVERIFY(log.contains("更新MyBasicInfo lightspeed ok"));

    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("maxspeed"), QStringLiteral("25"));
    QCOMPARE(MyBasicInfo::GetValue("lightspeed"), QStringLiteral("17"));
    QCOMPARE(MyBasicInfo::GetValue("extra"), QStringLiteral("0"));
}

void tst_ManagedObjectContext::failedBatchLeavesFileUntouchedAndRetries()
{
    TestApp app;
    MyUtil::InitMyDateBase();
    ManagedObjectContext* context = app.delegate->managedObjectContext();
    failCommits(app.delegate.get(), 1);
    {
        ContextBatch batch(context);
        MyBasicInfo::SetValue("power", "39.5");
        MyBasicInfo::SetValue("lat", "30.27");
        MyPaiMingInfo::CheckAdd("amy", "1", "", "1", "", "", "", "");
        MyBasicInfo::ClearMySelf();
    }
    QVERIFY(context->hasChanges());
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("1"));
    QCOMPARE(pragma(app.storePath(), "SELECT count(*) FROM MyBasicInfo"), QStringLiteral("44"));
    QCOMPARE(pragma(app.storePath(), "SELECT count(*) FROM MyPaiMingInfo"), QStringLiteral("0"));

    QVERIFY(context->save());
    QCOMPARE(pragma(app.storePath(), "SELECT count(*) FROM MyBasicInfo"), QStringLiteral("0"));
    QCOMPARE(pragma(app.storePath(), "SELECT count(*) FROM MyPaiMingInfo"), QStringLiteral("1"));
    app.restart();
    QCOMPARE(MyPaiMingInfo::GetCount(), 1);
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("1"));
}

void tst_ManagedObjectContext::unsavedChangesAreSeenByFetches()
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

void tst_ManagedObjectContext::unreadableFilesAreMovedAside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("random bytes") << "random";
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("another schema") << "schema";
}

void tst_ManagedObjectContext::unreadableFilesAreMovedAside()
{
    QFETCH(QString, kind);
    TestApp app;
    if (kind == "random") {
        QFile file(app.storePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray noise(8192, 0);
        for (char& byte : noise)
            byte = char(QRandomGenerator::global()->bounded(256));
        file.write(noise);
    } else if (kind == "truncated") {
        MyUtil::InitMyDateBase();
        for (int i = 0; i < 400; ++i)
            MyPaiMingInfo::CheckAdd(QStringLiteral("rider%1").arg(i), "1", "a long level title", "1",
                                    "http://example.com/a.png", "30", "120", "wx");
        app.delegate.reset();
        QFile file(app.storePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.size() > 8192);
        file.resize(file.size() / 2);
    } else {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(app.storePath().toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "CREATE TABLE ZMYBASICINFO (Z_PK INTEGER PRIMARY KEY, ZTYPE TEXT)",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
    }
    QFile original(app.storePath());
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    Log::Capture log;
    app.restart();
    MyUtil::InitMyDateBase();
    QCOMPARE(log.matching("Unresolved error Error Domain=YOUR_ERROR_DOMAIN Code=9999").size(), 1);
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("0"));
    MyBasicInfo::SetValue("devid", "86000001");
    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("86000001"));

    const QStringList aside = asideFiles(app);
    QCOMPARE(aside.size(), 1);
    QFile kept(app.dir.filePath(aside.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), before);
}

void tst_ManagedObjectContext::killedWriterLeavesWholeBatches()
{
    TestApp app;
    app.delegate.reset();
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
        writer.kill();
        writer.waitForFinished();
        const QList<QByteArray> printed = out.trimmed().split('\n');
        const int lastCommitted = printed.last().toInt();
        QVERIFY(lastCommitted >= killAfter);

        QCOMPARE(pragma(app.storePath(), "PRAGMA integrity_check"), QStringLiteral("ok"));
        app.restart();
        const QStringList keys = MyUtil::SettingsKeys().mid(7, 24);
        const QString first = MyBasicInfo::GetValue(keys.first());
        QVERIFY(first.toInt() >= lastCommitted);
        for (const QString& key : keys)
            QCOMPARE(MyBasicInfo::GetValue(key), first);
        app.delegate.reset();
    }
}

void tst_ManagedObjectContext::storeIsTheUsersAlone()
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
    Log::Quiet quiet;
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

QTEST_GUILESS_MAIN(tst_ManagedObjectContext)
#include "tst_ManagedObjectContext.moc"
