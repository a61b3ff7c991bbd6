#include "store/MyUtil.h"

#include "store/AlarmLog.h"
#include "store/MyBasicInfo.h"
#include "store/MyFriendInfo.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyPosInfo.h"
#include "store/RideLog.h"

namespace MyUtil {

const QStringList& SettingsKeys()
{
    static const QStringList keys{
        "devid", "serverusername", "serverpwd", "email", "weixin", "localusername", "localpwd",
        "benzhoulicheng", "shangzhoulicheng", "todaylicheng", "day1licheng", "day2licheng",
        "day3licheng", "day4licheng", "day5licheng", "day6licheng", "day7licheng", "power",
        "maxspeed", "lightspeed", "weilanradio", "weilanmode", "pingjunspeed", "paiming",
        "totallicheng", "jifen", "level", "levelname", "touxiangpath", "absday", "banlvstate", "lng",
        "lat", "baselng", "baselat", "localtouxiangpath", "localweilanradio", "localweilanmode",
        "cellindex", "powerlichengmax", "powermiandarao", "powertwohour", "shangweilanbaojing",
        "zhendongcishu"};
    return keys;
}

void InitMyDateBase()
{
    for (const QString& key : SettingsKeys())
        MyBasicInfo::CheckAdd(key);
    MyBasicInfo::PrintAll();
}

void ClearDataBase()
{
    MyPosInfo::ClearMySelf();
    MyBasicInfo::ClearMySelf();
    MyFriendInfo::ClearMySelf();
    MyPaiMingInfo::ClearMySelf();
    // The switch promises to empty the data; the alarms and rides kept here are data too.
    AlarmLog::clear();
    RideLog::clear();
}

} // namespace MyUtil
