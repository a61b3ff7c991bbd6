#pragma once

#include <QJsonObject>
#include <QStringList>
#include <optional>

// The device status record of a login, registration or status poll answer: the
// fields the app keeps in the settings store under the keys of the same names (the
// poll layer's StatusStore writes them).
class StatusRecord
{
public:
    enum Kind { Login, Registration, Poll };

    StatusRecord(Kind kind, const QJsonObject& object);

    // The settings keys in the order they are written: 24, or 26 for a registration.
    static const QStringList& storeKeys(Kind kind);

    Kind kind() const { return m_kind; }
    // The text a field is stored as: a string unchanged, a number as its
    // shortest decimal text, and "" for no value.
    QString storedValue(const QString& key) const;

    // What is stored for a field: the stored value, "0" for a negative zero, and nothing
    // for a number field that is NaN, infinite or out of range, which keeps the last good
    // value (the screens never show "nan" or "1e309").
    std::optional<QString> usableValue(const QString& key) const;

private:
    Kind m_kind;
    QJsonObject m_object;
};
