// Feeds arbitrary bytes through every reader of device-server answers: text
// decoding, the JSON record and list, value reads, markers, the list readers
// and the password masking. Aborts when a decoded answer breaks an invariant.
#include "protocol/DeviceServer.h"
#include "protocol/ReturnMarker.h"
#include "protocol/ServerAnswer.h"
#include "protocol/StatusAnswer.h"
#include "protocol/StatusRecord.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void readStatus(const ServerAnswer& answer, StatusRecord::Kind kind)
{
    const StatusAnswer status(kind, answer);
    // Without a record there is no message, and no message never reads as "ok".
    check(answer.hasRecord() || !status.returnMessage());
    check(status.returnMessage() || !status.isOk());
    for (const QString& key : StatusRecord::storeKeys(kind))
        status.record().storedValue(key);
    for (const char* key : {"weilanwaring", "banlvstate", "banlvstateupdate"})
        status.integer(key);
    status.number32("lat");
    status.number32("lng");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    const ServerAnswer answer(body);
    if (answer.text())
        check(answer.text()->toUtf8() == body);
    else
        check(!answer.hasRecord() && answer.list().isEmpty());
    check(!answer.hasRecord() || !answer.list().isEmpty());

    for (auto kind : {StatusRecord::Login, StatusRecord::Registration, StatusRecord::Poll})
        readStatus(answer, kind);
    for (auto kind : {ReturnMarker::RecoveryMail, ReturnMarker::CodeMail})
        check(ReturnMarker::classify(kind, answer.text()) != ReturnMarker::None);

    check(DeviceServer::riders(answer).size() == answer.list().size());
    check(DeviceServer::trackPoints(answer).size() == answer.list().size());
    const DeviceInfo info = DeviceServer::deviceInfo(answer);
    if (answer.text()) {
        const QString masked = DeviceServer::maskPassword(answer.logText());
        check(info.pwd.size() < 4 || !masked.contains(QLatin1String("\"pwd\":\"") + info.pwd + '"'));
    }
    return 0;
}
