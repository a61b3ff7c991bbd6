#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// The four-character codes of the account screens (e-mail verification, password recovery):
// each character drawn uniformly from the digits and capital letters.
class AuthCode
{
public:
    static constexpr int Length = 4;

    // "0" to "9", then "A" to "Z".
    static const QStringList& alphabet();
    // A new code from `source`; the platform's strong random source unless a test gives one.
    static QString make(QRandomGenerator* source = QRandomGenerator::system());
};
