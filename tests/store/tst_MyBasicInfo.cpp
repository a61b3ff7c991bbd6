#include "platform/Log.h"
#include "platform/NumberText.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "store/db/ManagedObjectContext.h"
#include "support/TestApp.h"

#include <QtTest>

// The settings store's life: defaults, reads and writes, restarts, clearing.
class tst_MyBasicInfo : public QObject
{
    Q_OBJECT

private slots:
    void firstStartCreatesFileOnFirstAccess();
    void initCreates44ZerosOnceAndKeepsValues();
    void missingKeyReadsOneAndDropsWrites();
    void addTwiceMakesTwoRowsFirstWins();
    void clearDataBaseEmptiesEverything();
    void printAllUsesNoBreakSpaces();
    void lenientNumbers_data();
    void lenientNumbers();
};

void tst_MyBasicInfo::firstStartCreatesFileOnFirstAccess()
{
    TestApp app;
    QVERIFY(!QFile::exists(app.storePath()));
    ManagedObjectContext* context = app.delegate->managedObjectContext();
    QVERIFY(context);
    QVERIFY(QFile::exists(app.storePath()));
    QCOMPARE(app.delegate->managedObjectContext(), context);
}

void tst_MyBasicInfo::initCreates44ZerosOnceAndKeepsValues()
{
    TestApp app;
    Log::Capture log;
    MyUtil::InitMyDateBase();
    QCOMPARE(log.matching("新建:").size(), 44);
    QCOMPARE(log.matching("新建:").first(), QStringLiteral("新建:devid"));
    QCOMPARE(log.matching("新建:").last(), QStringLiteral("新建:zhendongcishu"));
    for (const QString& key : MyUtil::SettingsKeys())
        QCOMPARE(MyBasicInfo::GetValue(key), QStringLiteral("0"));
    MyBasicInfo::SetValue("devid", "86000001");

    app.restart();
    log.clear();
    MyUtil::InitMyDateBase();
    QCOMPARE(log.matching("新建:").size(), 0);
    QCOMPARE(log.matching("已经存在:").size(), 44);
    QCOMPARE(log.matching("id=").size(), 44);
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("86000001"));
}

void tst_MyBasicInfo::missingKeyReadsOneAndDropsWrites()
{
    TestApp app;
    Log::Capture log;
    MyBasicInfo::SetValue("nosuchkey", "5");
    QVERIFY(log.lines().isEmpty());
    QCOMPARE(MyBasicInfo::GetValue("nosuchkey"), QStringLiteral("1"));
    MyBasicInfo::CheckAdd("nosuchkey");
    QCOMPARE(MyBasicInfo::GetValue("nosuchkey"), QStringLiteral("0"));
    MyBasicInfo::SetValue("nosuchkey", "5");
    QVERIFY(log.contains("更新MyBasicInfo nosuchkey ok"));
    QCOMPARE(MyBasicInfo::GetValue("nosuchkey"), QStringLiteral("5"));
}

void tst_MyBasicInfo::addTwiceMakesTwoRowsFirstWins()
{
    TestApp app;
    MyBasicInfo::Add("power");
    MyBasicInfo::Add("power");
    ManagedObjectContext* context = app.delegate->managedObjectContext();
    QCOMPARE(context->fetch(FetchRequest::equal("MyBasicInfo", "type", "power")).size(), 2);
    MyBasicInfo::SetValue("power", "40.1");
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("40.1"));
    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("40.1"));
}

void tst_MyBasicInfo::clearDataBaseEmptiesEverything()
{
    TestApp app;
    MyUtil::InitMyDateBase();
    MyBasicInfo::SetValue("devid", "86000001");
    MyUtil::ClearDataBase();
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("1"));
    app.restart();
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("1"));
    MyUtil::InitMyDateBase();
    QCOMPARE(MyBasicInfo::GetValue("devid"), QStringLiteral("0"));
}

void tst_MyBasicInfo::printAllUsesNoBreakSpaces()
{
    TestApp app;
    MyBasicInfo::CheckAdd("lat");
    MyBasicInfo::SetValue("lat", "30.25");
    Log::Capture log;
    MyBasicInfo::PrintAll();
    QCOMPARE(log.lines(), QStringList{QStringLiteral("id=1\u00a0type=lat\u00a0value=30.25")});
}

void tst_MyBasicInfo::lenientNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("whole");
    QTest::newRow("unit") << " 34.2V" << 34.2 << 34;
    QTest::newRow("word") << "abc" << 0.0 << 0;
    QTest::newRow("negative") << "-3" << -3.0 << -3;
    QTest::newRow("time") << "2016-03-05 14:07:09" << 2016.0 << 2016;
    QTest::newRow("empty") << "" << 0.0 << 0;
    QTest::newRow("dot without digits") << "7." << 7.0 << 7;
    QTest::newRow("negative fraction truncates to zero") << "-0.9" << -0.9 << 0;
    QTest::newRow("plus") << "+12.5kg" << 12.5 << 12;
    QTest::newRow("huge clamps") << "99999999999" << 99999999999.0 << 2147483647;
}

void tst_MyBasicInfo::lenientNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QFETCH(int, whole);
    QCOMPARE(NumberText::toDouble(text), number);
    QCOMPARE(NumberText::toFloat(text), float(number));
    QCOMPARE(NumberText::toInt(text), whole);
}

QTEST_GUILESS_MAIN(tst_MyBasicInfo)
#include "tst_MyBasicInfo.moc"
