#pragma once

#include <functional>

class StatusAnswer;
class StatusRecord;

// Keeps the device status record of a login, registration or status poll answer in the
// settings store; the protocol layer only decodes these answers.
namespace StatusStore {

// Writes every field of the record's keys in order, each with its own save, all in one
// store transaction so no reader or crash sees half a record. A number field that is
// NaN, infinite or out of range is logged and keeps its last good value.
void store(const StatusRecord& record);

// Stores the record when the answer's message is "ok" and reports whether it did. An
// answer reporting an error (or nothing) keeps the stored record as it was.
bool storeIfOk(const StatusAnswer& answer);

// A handler for the login, registration and status calls that stores an ok answer's
// record before it hands the answer on to `then` (which may be empty).
std::function<void(const StatusAnswer&)>
storingFirst(std::function<void(const StatusAnswer&)> then = {});

} // namespace StatusStore
