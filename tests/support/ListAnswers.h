#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QStringList>

// Bodies of the track and nearby-riders answers, written row by row as the server's texts.
namespace ListAnswers {

// One object a row, its texts under `keys` in order; a text the row leaves out is `missing`.
inline QByteArray list(const QStringList& keys, const QList<QStringList>& rows,
                       const QString& missing = {})
{
    QJsonArray list;
    for (const QStringList& row : rows) {
        QJsonObject object;
        for (qsizetype i = 0; i < keys.size(); ++i)
            object.insert(keys[i], row.value(i, missing));
        list.append(object);
    }
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

// Rows of serverid, lat, lng and state (default "1").
inline QByteArray track(const QList<QStringList>& points)
{
    return list({"serverid", "lat", "lng", "state"}, points, "1");
}

// Rows of username, level, levelname, paiming, touxiangpath, lat, lng and weixin.
inline QByteArray riders(const QList<QStringList>& riders)
{
    return list(
        {"username", "level", "levelname", "paiming", "touxiangpath", "lat", "lng", "weixin"},
        riders);
}

} // namespace ListAnswers
