#pragma once

#include "protocol/DeviceInfo.h"
#include "protocol/HttpManager.h"
#include "protocol/ReturnMarker.h"
#include "protocol/ServerAccess.h"
#include "protocol/TrackPoint.h"
#include "store/RiderInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class ServerAnswer;
class ServerScript;
class StatusAnswer;

// The device server's scripts as the app calls them: each call builds and logs
// the URL ("urlString = %@"), sends it through the HTTP manager it was given to the
// server at the base URL it was given, logs the answer ("str = %@" or "htmlstr = %@")
// and hands the decoded answer to the caller, on the main thread. The composition root
// makes one and hands it to whoever talks to the server.
//
// Failures (transport, time-out, a status outside 200..299) reach the failure
// handler unlogged; callers that report them write logError(error).
class DeviceServer
{
public:
    using Failure = HttpManager::Failure;
    using AnswerHandler = std::function<void(const ServerAnswer& answer)>;

    // `access` gives the HTTP manager, the base URL and the time of day at each call, so a
    // server or network changed later is the one the next call uses.
    explicit DeviceServer(ServerAccess::Services access);

    // Writes "error = %@" with the error text.
    static void logError(const QString& error);

    // TolvarDevId.php with `wd` = "mirt". The logged answer shows the password as ***.
    void queryDevice(const QString& devid, std::function<void(const DeviceInfo&)> onAnswer,
                     Failure onFailure);

    // TolvarLoginIOS.php / TolvarRegisterIOS.php: the answer carries the status record
    // (24 / 26 fields) and the marker. Callers store it through StatusStore::storingFirst.
    void login(const QString& devid, const QString& username, const QString& pwd,
               std::function<void(const StatusAnswer&)> onAnswer, Failure onFailure);
    void registerAccount(const QString& devid, const QString& username, const QString& pwd,
                         const QString& email, const QString& weixin,
                         std::function<void(const StatusAnswer&)> onAnswer, Failure onFailure);

    // TolvarGetEveryThingTimerIOS.php: the status record of 24 fields, stored by the
    // caller when the answer's message contains "ok".
    void getEveryThing(const QString& devid, std::function<void(const StatusAnswer&)> onAnswer,
                       Failure onFailure);

    // TolvarSendEmailIOS.php (password recovery) and TolvarSendEmailVCodeIOS.php:
    // the whole text body is the message, classified by the script's markers.
    void sendRecoveryMail(const QString& devid, const QString& email,
                          std::function<void(ReturnMarker::Marker)> onAnswer, Failure onFailure);
    void sendVerificationCode(const QString& code, const QString& email,
                              std::function<void(ReturnMarker::Marker)> onAnswer,
                              Failure onFailure);

    // TolvarUpdateSpeed.php: any answer counts as accepted.
    void updateSpeed(const QString& devid, const QString& maxspeed, const QString& lightspeed,
                     std::function<void()> onAccepted, Failure onFailure);
    // TolvarUpdateWeiLan.php: the answer is only logged, a failure ignored.
    void updateWeiLan(const QString& devid, qint64 wlstate);

    // The list scripts: the answer's elements that are objects, in order (an
    // answer that is not a JSON array gives an empty list).
    void getGpsInfo(const QString& devid, qint64 sid,
                    std::function<void(const QList<TrackPoint>&)> onAnswer, Failure onFailure);
    void getFriends(const QString& devid, std::function<void(const QList<RiderInfo>&)> onAnswer,
                    Failure onFailure);
    void getPaiMing(std::function<void(const QList<RiderInfo>&)> onAnswer, Failure onFailure);

    // TolvarUploadPic.php: one multipart part "uploadfile", file name
    // "ios<yyyyMMddHHmmss>.png" from the delegate's clock, type "image/png". The
    // URL is not logged. The handler gets the answer text (nullopt when the body
    // is not UTF-8); what to keep of it is the caller's decision.
    void uploadPic(const QString& devid, const QByteArray& png,
                   std::function<void(const std::optional<QString>& text)> onAnswer,
                   Failure onFailure);

    // The geofence page of the current server (not percent-encoded).
    QString mapPageUrl(int wl, double lng, double lat) const;

    // Readers of list answers, shared with the benchmarks and tests.
    static QList<RiderInfo> riders(const ServerAnswer& answer);
    static QList<TrackPoint> trackPoints(const ServerAnswer& answer);
    static DeviceInfo deviceInfo(const ServerAnswer& answer);
    // The device query answer's text with its password value written as ***.
    static QString maskPassword(const QString& text);

private:
    void send(const ServerScript& script, const QStringList& values,
              const HttpManager::Parameters& parameters, AnswerHandler onAnswer, Failure onFailure);
    QString baseUrl() const;
    HttpManager* manager() const;

    ServerAccess::Services m_access;
};
