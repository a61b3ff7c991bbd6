#include "protocol/DeviceServer.h"

#include "platform/Log.h"
#include "protocol/ServerAnswer.h"
#include "protocol/ServerScript.h"
#include "protocol/StatusAnswer.h"

#include <QRegularExpression>

namespace {

const QString NoDelegate = QStringLiteral("no application delegate");

// Answers are logged whole up to this many characters; a longer one (a broken or hostile
// server) is cut there, with its full length, so it cannot flood the log.
constexpr qsizetype LoggedAnswerLimit = 64 * 1024;

QString loggable(const QString& text, qsizetype bodyBytes)
{
    if (text.size() <= LoggedAnswerLimit)
        return text;
    return text.left(LoggedAnswerLimit) +
           QStringLiteral("... (answer shortened: %1 bytes)").arg(bodyBytes);
}

HttpManager::Success decoding(const ServerScript& script, bool maskPassword,
                              DeviceServer::AnswerHandler onAnswer)
{
    return [&script, maskPassword, onAnswer = std::move(onAnswer)](const QByteArray& body) {
        const ServerAnswer answer(body);
        const QString text = answer.logText();
        Log::write(script.answerLine(
            loggable(maskPassword ? DeviceServer::maskPassword(text) : text, body.size())));
        if (onAnswer)
            onAnswer(answer);
    };
}

DeviceServer::AnswerHandler statusHandler(StatusRecord::Kind kind,
                                          std::function<void(const StatusAnswer&)> onAnswer)
{
    return [kind, onAnswer = std::move(onAnswer)](const ServerAnswer& answer) {
        const StatusAnswer status(kind, answer);
        if (onAnswer)
            onAnswer(status);
    };
}

DeviceServer::AnswerHandler mailHandler(ReturnMarker::Kind kind,
                                        std::function<void(ReturnMarker::Marker)> onAnswer)
{
    return [kind, onAnswer = std::move(onAnswer)](const ServerAnswer& answer) {
        if (onAnswer)
            onAnswer(ReturnMarker::classify(kind, answer.text()));
    };
}

RiderInfo riderOf(const QJsonObject& object)
{
    // A ranking answer holds a thousand riders: the keys are made once, not per rider.
    static const QString keys[] = {"username",     "level", "levelname", "paiming",
                                   "touxiangpath", "lat",   "lng",       "weixin"};
    auto text = [&object](int key) { return ServerAnswer::textOrEmpty(object, keys[key]); };
    return {text(0), text(1), text(2), text(3), text(4), text(5), text(6), text(7)};
}

} // namespace

DeviceServer::DeviceServer(ServerAccess::Services access) : m_access(std::move(access)) {}

QString DeviceServer::baseUrl() const
{
    return m_access.baseUrl ? m_access.baseUrl() : QString();
}

HttpManager* DeviceServer::manager() const
{
    return m_access.manager ? m_access.manager() : nullptr;
}

void DeviceServer::logError(const QString& error)
{
    Log::write(QStringLiteral("error = %1").arg(error));
}

void DeviceServer::send(const ServerScript& script, const QStringList& values,
                        const HttpManager::Parameters& parameters, AnswerHandler onAnswer,
                        Failure onFailure)
{
    HttpManager* manager = this->manager();
    if (!manager) {
        if (onFailure)
            onFailure(NoDelegate);
        return;
    }
    const ServerScript::Url url = script.url(baseUrl(), values);
    Log::write(QStringLiteral("urlString = %1").arg(url.logged));
    const bool mask = &script == &ServerScript::devId();
    manager->GET(url.encoded, parameters, decoding(script, mask, std::move(onAnswer)),
                 std::move(onFailure));
}

void DeviceServer::queryDevice(const QString& devid,
                               std::function<void(const DeviceInfo&)> onAnswer, Failure onFailure)
{
    send(
        ServerScript::devId(), {devid}, {{QStringLiteral("wd"), QStringLiteral("mirt")}},
        [onAnswer = std::move(onAnswer)](const ServerAnswer& answer) {
            if (onAnswer)
                onAnswer(deviceInfo(answer));
        },
        std::move(onFailure));
}

void DeviceServer::login(const QString& devid, const QString& username, const QString& pwd,
                         std::function<void(const StatusAnswer&)> onAnswer, Failure onFailure)
{
    send(ServerScript::login(), {devid, username, pwd}, {},
         statusHandler(StatusRecord::Login, std::move(onAnswer)), std::move(onFailure));
}

void DeviceServer::registerAccount(const QString& devid, const QString& username,
                                   const QString& pwd, const QString& email, const QString& weixin,
                                   std::function<void(const StatusAnswer&)> onAnswer,
                                   Failure onFailure)
{
    send(ServerScript::registerAccount(), {devid, username, pwd, email, weixin}, {},
         statusHandler(StatusRecord::Registration, std::move(onAnswer)), std::move(onFailure));
}

void DeviceServer::getEveryThing(const QString& devid,
                                 std::function<void(const StatusAnswer&)> onAnswer,
                                 Failure onFailure)
{
    send(ServerScript::getEveryThing(), {devid}, {},
         statusHandler(StatusRecord::Poll, std::move(onAnswer)), std::move(onFailure));
}

void DeviceServer::sendRecoveryMail(const QString& devid, const QString& email,
                                    std::function<void(ReturnMarker::Marker)> onAnswer,
                                    Failure onFailure)
{
    send(ServerScript::sendEmail(), {devid, email}, {},
         mailHandler(ReturnMarker::RecoveryMail, std::move(onAnswer)), std::move(onFailure));
}

void DeviceServer::sendVerificationCode(const QString& code, const QString& email,
                                        std::function<void(ReturnMarker::Marker)> onAnswer,
                                        Failure onFailure)
{
    send(ServerScript::sendEmailVCode(), {code, email}, {},
         mailHandler(ReturnMarker::CodeMail, std::move(onAnswer)), std::move(onFailure));
}

void DeviceServer::updateSpeed(const QString& devid, const QString& maxspeed,
                               const QString& lightspeed, std::function<void()> onAccepted,
                               Failure onFailure)
{
    send(
        ServerScript::updateSpeed(), {devid, maxspeed, lightspeed}, {},
        [onAccepted = std::move(onAccepted)](const ServerAnswer&) {
            if (onAccepted)
                onAccepted();
        },
        std::move(onFailure));
}

void DeviceServer::updateWeiLan(const QString& devid, qint64 wlstate)
{
    send(ServerScript::updateWeiLan(), {devid, QString::number(wlstate)}, {}, {}, {});
}

void DeviceServer::getGpsInfo(const QString& devid, qint64 sid,
                              std::function<void(const QList<TrackPoint>&)> onAnswer,
                              Failure onFailure)
{
    send(
        ServerScript::getGpsInfo(), {devid, QString::number(sid)}, {},
        [onAnswer = std::move(onAnswer)](const ServerAnswer& answer) {
            if (onAnswer)
                onAnswer(trackPoints(answer));
        },
        std::move(onFailure));
}

void DeviceServer::getFriends(const QString& devid,
                              std::function<void(const QList<RiderInfo>&)> onAnswer,
                              Failure onFailure)
{
    send(
        ServerScript::getFriend(), {devid}, {},
        [onAnswer = std::move(onAnswer)](const ServerAnswer& answer) {
            if (onAnswer)
                onAnswer(riders(answer));
        },
        std::move(onFailure));
}

void DeviceServer::getPaiMing(std::function<void(const QList<RiderInfo>&)> onAnswer,
                              Failure onFailure)
{
    send(
        ServerScript::getPaiMing(), {}, {},
        [onAnswer = std::move(onAnswer)](const ServerAnswer& answer) {
            if (onAnswer)
                onAnswer(riders(answer));
        },
        std::move(onFailure));
}

void DeviceServer::uploadPic(const QString& devid, const QByteArray& png,
                             std::function<void(const std::optional<QString>& text)> onAnswer,
                             Failure onFailure)
{
    HttpManager* manager = this->manager();
    if (!m_access.now || !manager) {
        if (onFailure)
            onFailure(NoDelegate);
        return;
    }
    const ServerScript& script = ServerScript::uploadPic();
    const QString stamp = m_access.now().toString(QStringLiteral("yyyyMMddHHmmss"));
    manager->POST(script.url(baseUrl(), {devid}).encoded, png, QStringLiteral("uploadfile"),
                  QStringLiteral("ios%1.png").arg(stamp), QStringLiteral("image/png"),
                  decoding(script, false,
                           [onAnswer = std::move(onAnswer)](const ServerAnswer& answer) {
                               if (onAnswer)
                                   onAnswer(answer.text());
                           }),
                  std::move(onFailure));
}

QString DeviceServer::mapPageUrl(int wl, double lng, double lat) const
{
    return ServerScript::mapPageUrl(baseUrl(), wl, lng, lat);
}

QList<RiderInfo> DeviceServer::riders(const ServerAnswer& answer)
{
    QList<RiderInfo> list;
    list.reserve(answer.list().size());
    for (const QJsonObject& object : answer.list())
        list.append(riderOf(object));
    return list;
}

QList<TrackPoint> DeviceServer::trackPoints(const ServerAnswer& answer)
{
    QList<TrackPoint> points;
    points.reserve(answer.list().size());
    for (const QJsonObject& object : answer.list()) {
        auto text = [&object](const char* key) { return ServerAnswer::textOrEmpty(object, key); };
        points.append({text("serverid"), text("lat"), text("lng"), text("state")});
    }
    return points;
}

DeviceInfo DeviceServer::deviceInfo(const ServerAnswer& answer)
{
    const QJsonObject& record = answer.record();
    auto text = [&record](const char* key) { return ServerAnswer::textOrEmpty(record, key); };
    // A JSON null says the same as the text "null": the server does not know the device.
    const QString devid = record.value(QLatin1String("devid")).isNull() ? QStringLiteral("null")
                                                                        : text("devid");
    return {devid, text("username"), text("pwd"), text("email"), text("weixin"),
            text("touxiangpath")};
}

QString DeviceServer::maskPassword(const QString& text)
{
    // The value of every "pwd" key, a JSON string or any bare value. Possessive
    // quantifiers keep the match linear: a backtracking one gives up on a value of
    // some ten thousand characters and would leave it unmasked.
    static const QRegularExpression pwd(
        QStringLiteral(R"(("pwd"\s*:\s*)("(?:[^"\\]++|\\.)*+"|[^,}\]\s]++))"));
    QString masked = text;
    return masked.replace(pwd, QStringLiteral(R"(\1"***")"));
}
