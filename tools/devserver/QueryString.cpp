#include "tools/devserver/QueryString.h"

#include <QList>

QueryString::QueryString(const QByteArray& raw)
{
    for (const QByteArray& pair : raw.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        m_values.insert(decode(name), decode(value));
    }
}

QString QueryString::decode(QByteArray text)
{
    text.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text));
}
