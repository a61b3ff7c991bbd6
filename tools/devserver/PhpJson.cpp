#include "tools/devserver/PhpJson.h"

#include <QJsonArray>
#include <QJsonObject>

QByteArray PhpJson::object(const Record& record)
{
    QByteArray out = "{";
    for (qsizetype i = 0; i < record.size(); ++i) {
        if (i > 0)
            out += ',';
        out += string(record.at(i).first) + ':' + value(record.at(i).second);
    }
    return out + '}';
}

QByteArray PhpJson::array(const QList<QByteArray>& encodedElements)
{
    return '[' + encodedElements.join(',') + ']';
}

QByteArray PhpJson::value(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? "true" : "false";
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (number == double(qint64(number)))
            return QByteArray::number(qint64(number));
        return QByteArray::number(number, 'g', 17);
    }
    case QJsonValue::String:
        return string(value.toString());
    case QJsonValue::Array: {
        QList<QByteArray> elements;
        for (const QJsonValue& element : value.toArray())
            elements.append(PhpJson::value(element));
        return array(elements);
    }
    case QJsonValue::Object: {
        Record record;
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            record.append({it.key(), it.value()});
        return PhpJson::object(record);
    }
    default:
        return "null";
    }
}

QByteArray PhpJson::string(const QString& text)
{
    QByteArray out = "\"";
    for (const QChar c : text) {
        const ushort code = c.unicode();
        switch (code) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (code < 0x20 || code > 0x7e)
                out += "\\u" + QByteArray::number(code, 16).rightJustified(4, '0');
            else
                out += char(code);
        }
    }
    return out + '"';
}
