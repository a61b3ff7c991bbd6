#include "protocol/ServerScript.h"

#include "protocol/UrlEncoding.h"

namespace {

const QString Str = QStringLiteral("str = %@");
const QString HtmlStr = QStringLiteral("htmlstr = %@");
const QString Masked = QStringLiteral("***");

} // namespace

ServerScript::ServerScript(const QString& path, const QString& format, Method method,
                           Encoding encoding, const QString& answerLog)
    : m_path(path), m_format(format), m_method(method), m_encoding(encoding), m_answerLog(answerLog)
{
}

const ServerScript& ServerScript::devId()
{
    static const ServerScript script("/TolvarDevId.php?devid=", "%@%@", Get, QueryEncoding, Str);
    return script;
}

const ServerScript& ServerScript::registerAccount()
{
    static const ServerScript script(
        "/TolvarRegisterIOS.php?devid=", "%@%@&username=%@&pwd=%@&email=%@&weixin=%@", Get,
        QueryEncoding, Str);
    return script;
}

const ServerScript& ServerScript::login()
{
    static const ServerScript script("/TolvarLoginIOS.php?devid=", "%@%@&username=%@&pwd=%@", Get,
                                     QueryEncoding, Str);
    return script;
}

const ServerScript& ServerScript::updateSpeed()
{
    static const ServerScript script("/TolvarUpdateSpeed.php?devid=",
                                     "%@%@&maxspeed=%@&lightspeed=%@", Get, QueryEncoding, HtmlStr);
    return script;
}

const ServerScript& ServerScript::updateWeiLan()
{
    static const ServerScript script("/TolvarUpdateWeiLan.php?devid=", "%@%@&wlstate=%ld", Get,
                                     QueryEncoding, HtmlStr);
    return script;
}

const ServerScript& ServerScript::sendEmail()
{
    static const ServerScript script("/TolvarSendEmailIOS.php?devid=", "%@%@&email=%@", Get,
                                     QueryEncoding, HtmlStr);
    return script;
}

const ServerScript& ServerScript::getGpsInfo()
{
    static const ServerScript script("/TolvarGetGpsInfo.php?devid=", "%@%@&sid=%ld", Get,
                                     LegacyEncoding, HtmlStr);
    return script;
}

const ServerScript& ServerScript::getEveryThing()
{
    static const ServerScript script("/TolvarGetEveryThingTimerIOS.php?devid=", "%@%@", Get,
                                     QueryEncoding, HtmlStr);
    return script;
}

const ServerScript& ServerScript::getPaiMing()
{
    static const ServerScript script("/TolvarGetPaiMingIOS.php", "%@", Get, QueryEncoding, HtmlStr);
    return script;
}

const ServerScript& ServerScript::getFriend()
{
    static const ServerScript script("/TolvarGetFriendIOS.php?devid=", "%@%@", Get, LegacyEncoding,
                                     HtmlStr);
    return script;
}

const ServerScript& ServerScript::uploadPic()
{
    static const ServerScript script("/TolvarUploadPic.php?devid=", "%@%@", Post, QueryEncoding,
                                     Str);
    return script;
}

const ServerScript& ServerScript::sendEmailVCode()
{
    static const ServerScript script("/TolvarSendEmailVCodeIOS.php?code=", "%@%@&email=%@", Get,
                                     QueryEncoding, HtmlStr);
    return script;
}

QList<const ServerScript*> ServerScript::all()
{
    return {&devId(),        &registerAccount(), &login(),      &updateSpeed(),
            &updateWeiLan(), &sendEmail(),       &getGpsInfo(), &getEveryThing(),
            &getPaiMing(),   &getFriend(),       &uploadPic(),  &sendEmailVCode()};
}

QString ServerScript::answerLine(const QString& text) const
{
    QString line = m_answerLog;
    return line.replace(QLatin1String("%@"), text);
}

ServerScript::Url ServerScript::url(const QString& baseUrl, const QStringList& values) const
{
    Url url;
    int next = 0;
    qsizetype at = 0;
    bool first = true;
    while (at < m_format.size()) {
        const bool object = m_format.mid(at, 2) == QLatin1String("%@");
        const bool integer = m_format.mid(at, 3) == QLatin1String("%ld");
        if (!object && !integer) {
            const QString literal = encodeText(m_format.mid(at, 1));
            url.encoded += literal;
            url.logged += literal;
            ++at;
            continue;
        }
        at += object ? 2 : 3;
        if (first) {
            const QString prefix = encodeText(baseUrl + m_path);
            url.encoded += prefix;
            url.logged += prefix;
            first = false;
            continue;
        }
        const QString value = encodeValue(values.value(next++));
        url.encoded += value;
        url.logged += url.logged.endsWith(QLatin1String("pwd=")) ? Masked : value;
    }
    return url;
}

QString ServerScript::mapPageUrl(const QString& baseUrl, int wl, double lng, double lat)
{
    return baseUrl + QString::asprintf("/TestMap.php?wl=%d&lng=%f&lat=%f", wl, lng, lat);
}

QString ServerScript::encodeText(const QString& text) const
{
    return m_encoding == LegacyEncoding ? UrlEncoding::legacy(text) : UrlEncoding::query(text);
}

QString ServerScript::encodeValue(const QString& value) const
{
    return m_encoding == LegacyEncoding ? UrlEncoding::legacyValue(value)
                                        : UrlEncoding::queryValue(value);
}
