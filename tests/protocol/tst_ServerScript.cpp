#include "protocol/ServerScript.h"
#include "protocol/UrlEncoding.h"

#include <QtTest>

// Building the request URLs: the catalogue, both encodings, values that hold
// separators, the masked password and the unencoded map page.
class tst_ServerScript : public QObject
{
    Q_OBJECT

private slots:
    void catalogueHasEveryScript();
    void separatorsStayInsideTheirValue();
    void nonAsciiIsUtf8PercentEncoded();
    void legacyEscapingKeepsUrlCharacters();
    void passwordIsMaskedOnlyInTheLoggedUrl();
    void mapPageIsFormattedNotEncoded();
};

namespace {

const QString Base = QStringLiteral("http://127.0.0.1:8808");

} // namespace

void tst_ServerScript::catalogueHasEveryScript()
{
    const QList<const ServerScript*> all = ServerScript::all();
    QCOMPARE(all.size(), 12);
    QStringList htmlstr;
    QStringList legacy;
    QStringList post;
    for (const ServerScript* script : all) {
        if (script->answerLog() == QLatin1String("htmlstr = %@"))
            htmlstr << script->path();
        else
            QCOMPARE(script->answerLog(), QStringLiteral("str = %@"));
        if (script->encoding() == ServerScript::LegacyEncoding)
            legacy << script->path();
        if (script->method() == ServerScript::Post)
            post << script->path();
    }
    QCOMPARE(htmlstr.size(), 8);
    QVERIFY(!htmlstr.contains("/TolvarDevId.php?devid="));
    QVERIFY(!htmlstr.contains("/TolvarLoginIOS.php?devid="));
    QVERIFY(!htmlstr.contains("/TolvarRegisterIOS.php?devid="));
    QVERIFY(!htmlstr.contains("/TolvarUploadPic.php?devid="));
    QCOMPARE(legacy,
             QStringList({"/TolvarGetGpsInfo.php?devid=", "/TolvarGetFriendIOS.php?devid="}));
    QCOMPARE(post, QStringList({"/TolvarUploadPic.php?devid="}));
    QCOMPARE(ServerScript::login().answerLine("x"), QStringLiteral("str = x"));
    // Every script's full request line is checked on the wire (tst_DeviceServer).
    QCOMPARE(ServerScript::getPaiMing().url(Base).encoded, Base + "/TolvarGetPaiMingIOS.php");
    QCOMPARE(ServerScript::updateWeiLan().url(Base, {"8", "0"}).encoded,
             Base + "/TolvarUpdateWeiLan.php?devid=8&wlstate=0");
}

void tst_ServerScript::separatorsStayInsideTheirValue()
{
    const ServerScript::Url url = ServerScript::login().url(Base, {"86000001", "a&b=c", "p?w#d+1"});
    QCOMPARE(url.encoded, Base + "/TolvarLoginIOS.php?devid=86000001&username=a%26b%3Dc"
                                 "&pwd=p%3Fw%23d%2B1");
    // The characters the query set lets through stay as they are inside a value.
    QCOMPARE(UrlEncoding::queryValue("-._~!$'()*,;:@/"), QStringLiteral("-._~!$'()*,;:@/"));
    QCOMPARE(UrlEncoding::query("a&b=c?d+e"), QStringLiteral("a&b=c?d+e"));
}

void tst_ServerScript::nonAsciiIsUtf8PercentEncoded()
{
    const QString url = ServerScript::getEveryThing().url(Base, {"8600 驴1"}).encoded;
    QCOMPARE(url, Base + "/TolvarGetEveryThingTimerIOS.php?devid=8600%20%E9%A9%B41");
    QCOMPARE(UrlEncoding::query("%\"<>[]\\^`{|}"),
             QStringLiteral("%25%22%3C%3E%5B%5D%5C%5E%60%7B%7C%7D"));
    QCOMPARE(UrlEncoding::legacy("é 😀"), QStringLiteral("%C3%A9%20%F0%9F%98%80"));
}

void tst_ServerScript::legacyEscapingKeepsUrlCharacters()
{
    // The two older scripts leave "%", "[" and "]" alone; the others escape them.
    QCOMPARE(ServerScript::getFriend().url(Base, {"a%41[1] b#"}).encoded,
             Base + "/TolvarGetFriendIOS.php?devid=a%41[1]%20b%23");
    QCOMPARE(ServerScript::getGpsInfo().url(Base, {"a%41[1]", "-3"}).encoded,
             Base + "/TolvarGetGpsInfo.php?devid=a%41[1]&sid=-3");
    QCOMPARE(ServerScript::getEveryThing().url(Base, {"a%41[1]"}).encoded,
             Base + "/TolvarGetEveryThingTimerIOS.php?devid=a%2541%5B1%5D");
    QCOMPARE(UrlEncoding::legacy("#%[]"), QStringLiteral("#%[]"));
    QCOMPARE(UrlEncoding::legacyValue("#%[]&=?+"), QStringLiteral("%23%[]%26%3D%3F%2B"));
}

void tst_ServerScript::passwordIsMaskedOnlyInTheLoggedUrl()
{
    const ServerScript::Url login = ServerScript::login().url(Base, {"86000001", "pwd=", "s&cret"});
    QCOMPARE(login.encoded,
             Base + "/TolvarLoginIOS.php?devid=86000001&username=pwd%3D&pwd=s%26cret");
    QCOMPARE(login.logged, Base + "/TolvarLoginIOS.php?devid=86000001&username=pwd%3D&pwd=***");

    const ServerScript::Url reg =
        ServerScript::registerAccount().url(Base, {"86000001", "rider", "secret1", "a@b.cn", "wx"});
    QCOMPARE(reg.logged, Base + "/TolvarRegisterIOS.php?devid=86000001&username=rider&pwd=***"
                                "&email=a@b.cn&weixin=wx");
    QVERIFY(reg.encoded.contains("&pwd=secret1&"));

    const ServerScript::Url poll = ServerScript::getEveryThing().url(Base, {"86000001"});
    QCOMPARE(poll.logged, poll.encoded);
}

void tst_ServerScript::mapPageIsFormattedNotEncoded()
{
    QCOMPARE(ServerScript::mapPageUrl("http://h x", 300, 116.4, -39.9),
             QStringLiteral("http://h x/TestMap.php?wl=300&lng=116.400000&lat=-39.900000"));
}

QTEST_GUILESS_MAIN(tst_ServerScript)
#include "tst_ServerScript.moc"
