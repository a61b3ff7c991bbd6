#pragma once

#include "protocol/DeviceInfo.h"
#include "protocol/HttpManager.h"
#include "protocol/ReturnMarker.h"
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
// the URL ("urlString = %@"), sends it through the shared HTTP manager to the
// current delegate's server, logs the answer ("str = %@" or "htmlstr = %@") and
// hands the decoded answer to the caller, on the main thread.
//
// Failures (transport, time-out, a status outside 200..299) reach the failure
// handler unlogged; callers that report them write logError(error).
class DeviceServer
{
public:
    using Failure = HttpManager::Failure;
    using AnswerHandler = std::function<void(const ServerAnswer& answer)>;

    // Writes "error = %@" with the error text.
    static void logError(const QString& error);

    // TolvarDevId.php with `wd` = "mirt". The logged answer shows the password as ***.
    static void queryDevice(const QString& devid, std::function<void(const DeviceInfo&)> onAnswer,
                            Failure onFailure);

    // TolvarLoginIOS.php / TolvarRegisterIOS.php: the answer carries the status record
    // (24 / 26 fields) and the marker. Callers store it through StatusStore::storingFirst.
    static void login(const QString& devid, const QString& username, const QString& pwd,
                      std::function<void(const StatusAnswer&)> onAnswer, Failure onFailure);
    static void registerAccount(const QString& devid, const QString& username, const QString& pwd,
                                const QString& email, const QString& weixin,
                                std::function<void(const StatusAnswer&)> onAnswer,
                                Failure onFailure);

    // TolvarGetEveryThingTimerIOS.php: the status record of 24 fields, stored by the
    // caller when the answer's message contains "ok".
    static void getEveryThing(const QString& devid,
                              std::function<void(const StatusAnswer&)> onAnswer, Failure onFailure);

    // TolvarSendEmailIOS.php (password recovery) and TolvarSendEmailVCodeIOS.php:
    // the whole text body is the message, classified by the script's markers.
    static void sendRecoveryMail(const QString& devid, const QString& email,
                                 std::function<void(ReturnMarker::Marker)> onAnswer,
                                 Failure onFailure);
    static void sendVerificationCode(const QString& code, const QString& email,
                                     std::function<void(ReturnMarker::Marker)> onAnswer,
                                     Failure onFailure);

    // TolvarUpdateSpeed.php: any answer counts as accepted.
    static void updateSpeed(const QString& devid, const QString& maxspeed,
                            const QString& lightspeed, std::function<void()> onAccepted,
                            Failure onFailure);
    // TolvarUpdateWeiLan.php: the answer is only logged, a failure ignored.
    static void updateWeiLan(const QString& devid, qint64 wlstate);

    // The list scripts: the answer's elements that are objects, in order (an
    // answer that is not a JSON array gives an empty list).
    static void getGpsInfo(const QString& devid, qint64 sid,
                           std::function<void(const QList<TrackPoint>&)> onAnswer,
                           Failure onFailure);
    static void getFriends(const QString& devid,
                           std::function<void(const QList<RiderInfo>&)> onAnswer,
                           Failure onFailure);
    static void getPaiMing(std::function<void(const QList<RiderInfo>&)> onAnswer,
                           Failure onFailure);

    // TolvarUploadPic.php: one multipart part "uploadfile", file name
    // "ios<yyyyMMddHHmmss>.png" from the delegate's clock, type "image/png". The
    // URL is not logged. The handler gets the answer text (nullopt when the body
    // is not UTF-8); what to keep of it is the caller's decision.
    static void uploadPic(const QString& devid, const QByteArray& png,
                          std::function<void(const std::optional<QString>& text)> onAnswer,
                          Failure onFailure);

    // The geofence page of the current server (not percent-encoded).
    static QString mapPageUrl(int wl, double lng, double lat);

    // Readers of list answers, shared with the benchmarks and tests.
    static QList<RiderInfo> riders(const ServerAnswer& answer);
    static QList<TrackPoint> trackPoints(const ServerAnswer& answer);
    static DeviceInfo deviceInfo(const ServerAnswer& answer);
    // The device query answer's text with its password value written as ***.
    static QString maskPassword(const QString& text);

private:
    static void send(const ServerScript& script, const QStringList& values,
                     const HttpManager::Parameters& parameters, AnswerHandler onAnswer,
                     Failure onFailure);
};
