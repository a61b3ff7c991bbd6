#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>

// Writes JSON the way the server's scripting language does by default: keys in
// insertion order, "/" written as "\/" and every non-ASCII character as \uXXXX.
class PhpJson
{
public:
    using Record = QList<QPair<QString, QJsonValue>>;

    static QByteArray object(const Record& record);
    static QByteArray array(const QList<QByteArray>& encodedElements);
    static QByteArray value(const QJsonValue& value);
    static QByteArray string(const QString& text);
};
