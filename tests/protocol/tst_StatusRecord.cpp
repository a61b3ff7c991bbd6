#include "platform/Log.h"
#include "poll/StatusStore.h"
#include "protocol/ServerAnswer.h"
#include "protocol/StatusAnswer.h"
#include "protocol/StatusRecord.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "store/db/PersistentStoreCoordinator.h"
#include "support/TestApp.h"

#include <QtTest>

// Storing the device status record: which keys, in which order, converted how,
// under which return message, and as one transaction on disk.
class tst_StatusRecord : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void writesTheKeysInStoreOrder_data();
    void writesTheKeysInStoreOrder();
    void absdayAndWrongTypesAreConverted();
    void missingFieldsBecomeEmpty();
    void unusableNumbersKeepTheLastGoodValue();
    void onlyAnOkAnswerStores_data();
    void onlyAnOkAnswerStores();
    void loginAndPollNeverTouchTheGeofenceSettings();
    void aRecordIsOneTransaction();
    void aFailedCommitKeepsTheOldRecordOnDisk();

private:
    std::unique_ptr<TestApp> m_app;
};

namespace {

const QByteArray FullPoll = R"([{"timerreturnmsg":"ok","benzhoulicheng":"12.5",
    "shangzhoulicheng":"30","todaylicheng":"1.2","day1licheng":"1","day2licheng":"2",
    "day3licheng":"3","day4licheng":"4","day5licheng":"5","day6licheng":"6","day7licheng":"7",
    "power":"39.8","maxspeed":"25","lightspeed":"18","weilanradio":"99","weilanmode":"1",
    "pingjunspeed":"14","paiming":"3","totallicheng":"1234","jifen":"560","level":"7",
    "levelname":"骑士","touxiangpath":"http://h/a.png","absday":12,"banlvstate":"2",
    "lng":"116.397","lat":"39.908","weilanwaring":1,"banlvstateupdate":"1"}])";

QStringList writtenKeys(const Log::Capture& log)
{
    QStringList keys;
    for (QString line : log.matching("更新MyBasicInfo "))
        keys << line.remove("更新MyBasicInfo ").remove(" ok");
    return keys;
}

QHash<QString, QString> snapshot()
{
    QHash<QString, QString> values;
    for (const QString& key : MyUtil::SettingsKeys())
        values.insert(key, MyBasicInfo::GetValue(key));
    return values;
}

StatusAnswer answerOf(StatusRecord::Kind kind, const QByteArray& body)
{
    return StatusAnswer(kind, ServerAnswer(body));
}

} // namespace

void tst_StatusRecord::init()
{
    m_app = std::make_unique<TestApp>();
    Log::Quiet quiet;
    MyUtil::InitMyDateBase();
}

void tst_StatusRecord::cleanup()
{
    m_app.reset();
}

void tst_StatusRecord::writesTheKeysInStoreOrder_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("count");
    QTest::newRow("login") << int(StatusRecord::Login) << 24;
    QTest::newRow("registration") << int(StatusRecord::Registration) << 26;
    QTest::newRow("poll") << int(StatusRecord::Poll) << 24;
}

void tst_StatusRecord::writesTheKeysInStoreOrder()
{
    QFETCH(int, kind);
    QFETCH(int, count);
    const auto recordKind = StatusRecord::Kind(kind);
    Log::Capture log;
    StatusStore::store(StatusRecord(recordKind, ServerAnswer(FullPoll).record()));
    const QStringList keys = writtenKeys(log);
    QCOMPARE(keys.size(), count);
    QCOMPARE(keys, StatusRecord::storeKeys(recordKind));
    QCOMPARE(keys.first(), QStringLiteral("benzhoulicheng"));
    QCOMPARE(keys.mid(10, 3), QStringList({"power", "maxspeed", "lightspeed"}));
    QCOMPARE(keys.mid(count - 11, 2), QStringList({"pingjunspeed", "paiming"}));
    QCOMPARE(keys.last(), QStringLiteral("lat"));
    QCOMPARE(keys.contains("weilanradio"), count == 26);
    if (count == 26)
        QCOMPARE(keys.mid(13, 2), QStringList({"weilanradio", "weilanmode"}));
    QCOMPARE(MyBasicInfo::GetValue("levelname"), QStringLiteral("骑士"));
    QCOMPARE(MyBasicInfo::GetValue("lat"), QStringLiteral("39.908"));
}

void tst_StatusRecord::absdayAndWrongTypesAreConverted()
{
    StatusStore::store(
        StatusRecord(StatusRecord::Poll,
                     ServerAnswer(R"([{"absday":12,"power":41.5,"maxspeed":true,"lightspeed":null,
                     "level":{"a":1},"jifen":["1"],"paiming":"0012"}])")
                         .record()));
    QCOMPARE(MyBasicInfo::GetValue("absday"), QStringLiteral("12"));
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("41.5"));
    QCOMPARE(MyBasicInfo::GetValue("paiming"), QStringLiteral("0012"));
    for (const char* key : {"maxspeed", "lightspeed", "level", "jifen"})
        QVERIFY2(MyBasicInfo::GetValue(key).isEmpty(), key);
    StatusStore::store(
        StatusRecord(StatusRecord::Poll, ServerAnswer(R"([{"absday":"12天"}])").record()));
    QCOMPARE(MyBasicInfo::GetValue("absday"), QStringLiteral("12天"));
}

void tst_StatusRecord::missingFieldsBecomeEmpty()
{
    StatusStore::store(StatusRecord(StatusRecord::Poll, ServerAnswer(FullPoll).record()));
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("39.8"));
    StatusStore::store(
        StatusRecord(StatusRecord::Poll, ServerAnswer(R"([{"power":"40"}])").record()));
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("40"));
    for (const QString& key : StatusRecord::storeKeys(StatusRecord::Poll))
        if (key != QLatin1String("power"))
            QVERIFY2(MyBasicInfo::GetValue(key).isEmpty(), qPrintable(key));
    m_app->restart();
    QCOMPARE(MyBasicInfo::GetValue("absday"), QString());
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("40"));
}

void tst_StatusRecord::unusableNumbersKeepTheLastGoodValue()
{
    StatusStore::store(StatusRecord(StatusRecord::Poll, ServerAnswer(FullPoll).record()));
    StatusStore::store(StatusRecord(
        StatusRecord::Poll,
        ServerAnswer(R"([{"benzhoulicheng":"NaN","shangzhoulicheng":"-0","power":"1e309",
                     "maxspeed":"-inf","lightspeed":1e300,"lat":"91","lng":"-0.0",
                     "levelname":"NaN","jifen":"12abc"}])")
            .record()));
    const QList<std::pair<const char*, const char*>> expected = {{"benzhoulicheng", "12.5"},
                                                                 {"shangzhoulicheng", "0"},
                                                                 {"power", "39.8"},
                                                                 {"maxspeed", "25"},
                                                                 {"lightspeed", "18"},
                                                                 {"lat", "39.908"},
                                                                 {"lng", "0"},
                                                                 {"levelname", "NaN"},
                                                                 {"jifen", "12abc"}};
    for (const auto& [key, value] : expected)
        QCOMPARE(MyBasicInfo::GetValue(key), QString::fromLatin1(value));
}

void tst_StatusRecord::onlyAnOkAnswerStores_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("stores");
    const int login = StatusRecord::Login;
    const int reg = StatusRecord::Registration;
    const int poll = StatusRecord::Poll;
    QTest::newRow("poll ok") << poll << QByteArray(R"([{"timerreturnmsg":"ok","power":"1"}])")
                             << true;
    QTest::newRow("poll fail") << poll << QByteArray(R"([{"timerreturnmsg":"fail","power":"1"}])")
                               << false;
    QTest::newRow("poll no message") << poll << QByteArray(R"([{"power":"1"}])") << false;
    QTest::newRow("poll not json") << poll << QByteArray("ok") << false;
    QTest::newRow("login ok") << login << QByteArray(R"([{"loginreturnmsg":"ok","power":"1"}])")
                              << true;
    QTest::newRow("login error:3 only")
        << login << QByteArray(R"([{"loginreturnmsg":"error:3"}])") << false;
    QTest::newRow("login error:3 and ok")
        << login << QByteArray(R"([{"loginreturnmsg":"ok error:3","power":"1"}])") << false;
    QTest::newRow("login no message") << login << QByteArray(R"([{"power":"1"}])") << false;
    QTest::newRow("login empty body") << login << QByteArray() << false;
    QTest::newRow("login poll's key")
        << login << QByteArray(R"([{"timerreturnmsg":"ok"}])") << false;
    QTest::newRow("register ok") << reg << QByteArray(R"([{"registerreturnmsg":"ok","power":"1"}])")
                                 << true;
    QTest::newRow("register error:3")
        << reg << QByteArray(R"([{"registerreturnmsg":"error:3","power":"1"}])") << false;
}

void tst_StatusRecord::onlyAnOkAnswerStores()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, body);
    QFETCH(bool, stores);
    StatusStore::store(StatusRecord(StatusRecord::Registration, ServerAnswer(FullPoll).record()));
    const QHash<QString, QString> before = snapshot();
    const StatusAnswer answer = answerOf(StatusRecord::Kind(kind), body);
    QCOMPARE(StatusStore::storeIfOk(answer), stores);
    const QHash<QString, QString> after = snapshot();
    if (!stores) {
        QCOMPARE(after, before);
        return;
    }
    QCOMPARE(after.value("power"), QStringLiteral("1"));
    QCOMPARE(after.value("lat"), QString());
    QCOMPARE(after.value("devid"), before.value("devid"));
}

void tst_StatusRecord::loginAndPollNeverTouchTheGeofenceSettings()
{
    MyBasicInfo::SetValue("weilanradio", "45");
    MyBasicInfo::SetValue("weilanmode", "1");
    StatusStore::storeIfOk(
        answerOf(StatusRecord::Login, R"([{"loginreturnmsg":"ok","weilanradio":"1"}])"));
    StatusStore::storeIfOk(
        answerOf(StatusRecord::Poll, R"([{"timerreturnmsg":"ok","weilanmode":"0"}])"));
    QCOMPARE(MyBasicInfo::GetValue("weilanradio"), QStringLiteral("45"));
    QCOMPARE(MyBasicInfo::GetValue("weilanmode"), QStringLiteral("1"));
    StatusStore::storeIfOk(
        answerOf(StatusRecord::Registration,
                 R"([{"registerreturnmsg":"ok","weilanradio":"99","weilanmode":"0"}])"));
    QCOMPARE(MyBasicInfo::GetValue("weilanradio"), QStringLiteral("99"));
    QCOMPARE(MyBasicInfo::GetValue("weilanmode"), QStringLiteral("0"));
}

void tst_StatusRecord::aRecordIsOneTransaction()
{
    int commits = 0;
    m_app->delegate->persistentStoreCoordinator()->setCommitFailure([&commits] {
        ++commits;
        return QString();
    });
    StatusStore::store(StatusRecord(StatusRecord::Registration, ServerAnswer(FullPoll).record()));
    QCOMPARE(commits, 1);
    m_app->delegate->persistentStoreCoordinator()->setCommitFailure({});
    m_app->restart();
    QCOMPARE(MyBasicInfo::GetValue("benzhoulicheng"), QStringLiteral("12.5"));
    QCOMPARE(MyBasicInfo::GetValue("lat"), QStringLiteral("39.908"));
}

void tst_StatusRecord::aFailedCommitKeepsTheOldRecordOnDisk()
{
    StatusStore::store(StatusRecord(StatusRecord::Poll, ServerAnswer(FullPoll).record()));
    m_app->delegate->persistentStoreCoordinator()->setCommitFailure(
        [] { return QStringLiteral("disk full"); });
    Log::Capture log;
    StatusStore::store(
        StatusRecord(StatusRecord::Poll, ServerAnswer(R"([{"power":"1","lat":"2"}])").record()));
    QVERIFY(log.contains("disk full"));
    m_app->delegate->persistentStoreCoordinator()->setCommitFailure({});
    m_app->restart();
    QCOMPARE(MyBasicInfo::GetValue("power"), QStringLiteral("39.8"));
    QCOMPARE(MyBasicInfo::GetValue("lat"), QStringLiteral("39.908"));
    QCOMPARE(MyBasicInfo::GetValue("benzhoulicheng"), QStringLiteral("12.5"));
}

QTEST_GUILESS_MAIN(tst_StatusRecord)
#include "tst_StatusRecord.moc"
