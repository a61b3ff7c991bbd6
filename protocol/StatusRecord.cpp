#include "protocol/StatusRecord.h"

#include "app/ManagedObjectContext.h"
#include "protocol/ServerAnswer.h"
#include "store/MyBasicInfo.h"
#include "store/StoreContext.h"

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

void StatusRecord::store() const
{
    ContextBatch batch(StoreContext::shared());
    for (const QString& key : storeKeys(m_kind))
        MyBasicInfo::SetValue(key, storedValue(key));
}
