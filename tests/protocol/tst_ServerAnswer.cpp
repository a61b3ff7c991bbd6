#include "protocol/ReturnMarker.h"
#include "protocol/ServerAnswer.h"

#include <QtTest>

// Decoding answer bodies (strict UTF-8, the JSON array, its record and list),
// reading values by type, and classifying return messages by their markers.
class tst_ServerAnswer : public QObject
{
    Q_OBJECT

private slots:
    void utf8IsStrict_data();
    void utf8IsStrict();
    void recordAndList_data();
    void recordAndList();
    void textValues();
    void numberValues();
    void classification_data();
    void classification();
};

void tst_ServerAnswer::utf8IsStrict_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("chinese") << QByteArray("ok 驴行") << true;
    QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80") << true;
    QTest::newRow("nul inside") << QByteArray("a\0b", 3) << true;
    QTest::newRow("lone ff") << QByteArray("ok\xFF") << false;
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("cut sequence") << QByteArray("ok\xE9\xA9") << false;
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
}

void tst_ServerAnswer::utf8IsStrict()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, valid);
    const ServerAnswer answer(body);
    QCOMPARE(answer.text().has_value(), valid);
    if (valid)
        QCOMPARE(answer.text()->toUtf8(), body);
    else
        QCOMPARE(answer.logText(), QStringLiteral("(null)"));
}

void tst_ServerAnswer::recordAndList_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("hasRecord");
    QTest::addColumn<int>("listSize");
    QTest::newRow("record") << QByteArray(R"([{"a":"1"}])") << true << 1;
    QTest::newRow("list with others")
        << QByteArray(R"([{"a":"1"},2,"x",null,[],{"a":"2"}])") << true << 2;
    QTest::newRow("first not object") << QByteArray(R"([1,{"a":"1"}])") << false << 1;
    QTest::newRow("empty array") << QByteArray("[]") << false << 0;
    QTest::newRow("numbers") << QByteArray("[1,2,3]") << false << 0;
    QTest::newRow("top-level object") << QByteArray(R"({"a":"1"})") << false << 0;
    QTest::newRow("null") << QByteArray("null") << false << 0;
    QTest::newRow("number fragment") << QByteArray("12") << false << 0;
    QTest::newRow("string fragment") << QByteArray(R"("ok")") << false << 0;
    QTest::newRow("not json") << QByteArray("<html>ok</html>") << false << 0;
    QTest::newRow("truncated") << QByteArray(R"([{"a":"1")") << false << 0;
    QTest::newRow("trailing garbage") << QByteArray(R"([{"a":"1"}] x)") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("invalid utf8 in string") << QByteArray("[{\"a\":\"\xFF\"}]") << false << 0;
    QTest::newRow("whitespace around") << QByteArray(" \n[{\"a\":\"1\"}]\n ") << true << 1;
}

void tst_ServerAnswer::recordAndList()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, hasRecord);
    QFETCH(int, listSize);
    const ServerAnswer answer(body);
    QCOMPARE(answer.hasRecord(), hasRecord);
    QCOMPARE(answer.list().size(), listSize);
    QCOMPARE(ServerAnswer::text(answer.record(), "a").has_value(), hasRecord);
}

void tst_ServerAnswer::textValues()
{
    const ServerAnswer answer(R"([{"s":"x y","e":"","i":12,"f":12.5,"neg":-3,"big":1e20,
        "t":true,"n":null,"o":{"s":"1"},"a":["1"]}])");
    const QJsonObject& record = answer.record();
    QCOMPARE(ServerAnswer::text(record, "s"), std::optional<QString>("x y"));
    QCOMPARE(ServerAnswer::text(record, "e"), std::optional<QString>(""));
    QCOMPARE(ServerAnswer::text(record, "i"), std::optional<QString>("12"));
    QCOMPARE(ServerAnswer::text(record, "f"), std::optional<QString>("12.5"));
    QCOMPARE(ServerAnswer::text(record, "neg"), std::optional<QString>("-3"));
    QCOMPARE(ServerAnswer::text(record, "big"), std::optional<QString>("1e+20"));
    for (const char* key : {"t", "n", "o", "a", "absent"})
        QVERIFY2(!ServerAnswer::text(record, key), key);
    QCOMPARE(ServerAnswer::textOrEmpty(record, "o"), QString());
}

void tst_ServerAnswer::numberValues()
{
    const ServerAnswer answer(R"([{"s":" 12.9abc","i":3.9,"neg":-3.9,"huge":1e30,"nh":-1e30,
        "x":"abc","t":true,"lat":"39.123456","flat":39.123456}])");
    const QJsonObject& record = answer.record();
    QCOMPARE(ServerAnswer::integer(record, "s"), 12);
    QCOMPARE(ServerAnswer::integer(record, "i"), 3);
    QCOMPARE(ServerAnswer::integer(record, "neg"), -3);
    QCOMPARE(ServerAnswer::integer(record, "huge"), std::numeric_limits<qint64>::max());
    QCOMPARE(ServerAnswer::integer(record, "nh"), std::numeric_limits<qint64>::min());
    QCOMPARE(ServerAnswer::integer(record, "x"), 0);
    QCOMPARE(ServerAnswer::integer(record, "t"), 0);
    QCOMPARE(ServerAnswer::integer(record, "absent"), 0);
    QCOMPARE(ServerAnswer::number(record, "s"), 12.9);
    QCOMPARE(ServerAnswer::number32(record, "lat"), 39.123456f);
    QCOMPARE(ServerAnswer::number32(record, "flat"), 39.123456f);
    QCOMPARE(ServerAnswer::number32(record, "t"), 0.0f);
}

void tst_ServerAnswer::classification_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("marker");

    auto row = [](const char* name, ReturnMarker::Kind kind, std::optional<QString> message,
                  ReturnMarker::Marker marker) {
        QTest::newRow(name) << int(kind) << message.has_value() << message.value_or(QString())
                            << int(marker);
    };
    using R = ReturnMarker;
    row("account ok", R::Account, "ok", R::Ok);
    row("account error:3 beats ok", R::Account, "ok error:3", R::Error3);
    row("account error:1 beats error:2", R::Account, "error:2 error:1", R::Error1);
    row("account error:2", R::Account, "error:2", R::Error2);
    row("account ok inside word", R::Account, "book", R::Ok);
    row("account nothing", R::Account, "fine", R::None);
    row("account empty", R::Account, "", R::None);
    row("account missing", R::Account, std::nullopt, R::Error1);
    row("account case matters", R::Account, "OK ERROR:1", R::None);
    row("recovery error:3", R::RecoveryMail, "error:3 ok", R::Error3);
    row("recovery other text", R::RecoveryMail, "sent", R::Ok);
    row("recovery empty", R::RecoveryMail, "", R::Ok);
    row("recovery missing", R::RecoveryMail, std::nullopt, R::Error1);
    row("code error:1", R::CodeMail, "x error:1", R::Error1);
    row("code error:2 is success", R::CodeMail, "error:2", R::Ok);
    row("code missing", R::CodeMail, std::nullopt, R::Error1);
    row("poll ok", R::Poll, "ok", R::Ok);
    row("poll ok beside error", R::Poll, "error:1 ok", R::Ok);
    row("poll error", R::Poll, "error:1", R::None);
    row("poll missing", R::Poll, std::nullopt, R::None);
}

void tst_ServerAnswer::classification()
{
    QFETCH(int, kind);
    QFETCH(bool, present);
    QFETCH(QString, message);
    QFETCH(int, marker);
    const std::optional<QString> text = present ? std::optional<QString>(message) : std::nullopt;
    const ReturnMarker::Marker found = ReturnMarker::classify(ReturnMarker::Kind(kind), text);
    QCOMPARE(ReturnMarker::text(found), ReturnMarker::text(ReturnMarker::Marker(marker)));
    QCOMPARE(int(found), marker);
}

QTEST_GUILESS_MAIN(tst_ServerAnswer)
#include "tst_ServerAnswer.moc"
