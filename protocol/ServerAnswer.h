#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

// One answer body of the device server, decoded the way every script reads it:
// strict UTF-8 text, and the JSON top-level array with its record (element 0
// when it is an object) and its list (the elements that are objects).
//
// A body that is not valid UTF-8 has no text. A body that is not JSON, or JSON
// whose top level is not an array (an object or a bare scalar), has neither a
// record nor a list, so every key of it reads as no value.
class ServerAnswer
{
public:
    explicit ServerAnswer(const QByteArray& body);

    const QByteArray& body() const { return m_body; }
    // The body as text; nullopt when it is not valid UTF-8.
    const std::optional<QString>& text() const { return m_text; }
    // The text as the log prints it: "(null)" for a body without text.
    QString logText() const;

    bool hasRecord() const { return m_hasRecord; }
    const QJsonObject& record() const { return m_record; }
    const QList<QJsonObject>& list() const { return m_list; }

    // Reading one value of an object. A JSON string or number is a value; any
    // other type, and an absent key, is no value.
    // Text: a string as it is, a number as its shortest decimal text (12 -> "12").
    static std::optional<QString> text(const QJsonObject& object, const QString& key);
    // Text, or "" for no value.
    static QString textOrEmpty(const QJsonObject& object, const QString& key);
    // Numbers: a string read leniently, a number as it is (integers truncated
    // toward zero), 0 for no value.
    static qint64 integer(const QJsonObject& object, const QString& key);
    static double number(const QJsonObject& object, const QString& key);
    static float number32(const QJsonObject& object, const QString& key);

    // The shortest decimal text of a JSON number.
    static QString numberText(double value);

private:
    QByteArray m_body;
    std::optional<QString> m_text;
    bool m_hasRecord = false;
    QJsonObject m_record;
    QList<QJsonObject> m_list;
};
