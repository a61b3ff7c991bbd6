#include "protocol/StatusRecord.h"

#include "platform/NumberText.h"
#include "protocol/ServerAnswer.h"

namespace {

QStringList keysFor(bool registration)
{
    QStringList keys = {"benzhoulicheng", "shangzhoulicheng", "todaylicheng", "day1licheng",
                        "day2licheng",    "day3licheng",      "day4licheng",  "day5licheng",
                        "day6licheng",    "day7licheng",      "power",        "maxspeed",
                        "lightspeed"};
    if (registration)
        keys << "weilanradio"
             << "weilanmode";
    keys << "pingjunspeed"
         << "paiming"
         << "totallicheng"
         << "jifen"
         << "level"
         << "levelname"
         << "touxiangpath"
         << "absday"
         << "banlvstate"
         << "lng"
         << "lat";
    return keys;
}

// How far a number field may reach; text fields have no bound.
std::optional<double> numberLimit(const QString& key)
{
    if (key == QLatin1String("lat"))
        return 90.0;
    if (key == QLatin1String("lng"))
        return 180.0;
    static const QStringList text{"levelname", "touxiangpath", "absday"};
    if (text.contains(key))
        return std::nullopt;
    return 1e9;
}

} // namespace

StatusRecord::StatusRecord(Kind kind, const QJsonObject& object) : m_kind(kind), m_object(object) {}

const QStringList& StatusRecord::storeKeys(Kind kind)
{
    static const QStringList common = keysFor(false);
    static const QStringList registration = keysFor(true);
    return kind == Registration ? registration : common;
}

QString StatusRecord::storedValue(const QString& key) const
{
    return ServerAnswer::textOrEmpty(m_object, key);
}

std::optional<QString> StatusRecord::usableValue(const QString& key) const
{
    const QString value = storedValue(key);
    const std::optional<double> limit = numberLimit(key);
    if (!limit)
        return value;
    if (!NumberText::isFiniteWithin(value, *limit))
        return std::nullopt;
    return NumberText::isNegativeZero(value) ? QStringLiteral("0") : value;
}
