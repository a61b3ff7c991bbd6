#pragma once

#include <QDateTime>
#include <QString>

// A mail the simulated server sent: it lands in the outbox folder and the log
// instead of a real mail server.
struct SimMail
{
    QDateTime sent; // simulated time
    QString to;
    QString subject;
    QString body;
    QString code; // the verification code, for code mails
    QString file; // the outbox file that holds it
};
