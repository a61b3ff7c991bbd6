#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// Reads a raw query the way the server's scripts read theirs: split at "&" and
// the first "=", "+" is a space, %XX is decoded, the last of repeated names wins.
class QueryString
{
public:
    explicit QueryString(const QByteArray& raw);

    bool has(const QString& name) const { return m_values.contains(name); }
    QString value(const QString& name) const { return m_values.value(name); }
    // True when the parameter is present and not empty.
    bool filled(const QString& name) const { return !m_values.value(name).isEmpty(); }
    const QHash<QString, QString>& values() const { return m_values; }

    static QString decode(QByteArray text);

private:
    QHash<QString, QString> m_values;
};
