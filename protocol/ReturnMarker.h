#pragma once

#include <QString>
#include <optional>

// The return markers of the device server's answers and how each script's
// return message is classified by them.
class ReturnMarker
{
public:
    enum Marker { None, Error1, Error2, Error3, Ok };

    // Which set of markers a script's message is searched for.
    enum Kind {
        Account,      // login and registration: error:1, error:2, error:3, ok
        RecoveryMail, // password recovery: error:1..3, any other text is success
        CodeMail,     // verification code: error:1, any other text is success
        Poll,         // status poll: ok only
    };

    // The first marker found decides. A missing message (no text, no record, or
    // the record without the key) counts as "error:1" for the account and mail
    // scripts and as no "ok" for the poll. A message with none of the script's
    // markers is None, except for the mail scripts where it is Ok.
    static Marker classify(Kind kind, const std::optional<QString>& message);

    // The marker text ("error:1" ... "ok"), empty for None.
    static QString text(Marker marker);
};
