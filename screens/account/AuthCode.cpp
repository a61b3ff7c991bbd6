#include "screens/account/AuthCode.h"

const QStringList& AuthCode::alphabet()
{
    static const QStringList characters = [] {
        QStringList all;
        for (char c = '0'; c <= '9'; ++c)
            all.append(QString(QLatin1Char(c)));
        for (char c = 'A'; c <= 'Z'; ++c)
            all.append(QString(QLatin1Char(c)));
        return all;
    }();
    return characters;
}

QString AuthCode::make(QRandomGenerator* source)
{
    const QStringList& characters = alphabet();
    QString code;
    for (int i = 0; i < Length; ++i)
        code += characters.at(int(source->bounded(quint32(characters.size()))));
    return code;
}
