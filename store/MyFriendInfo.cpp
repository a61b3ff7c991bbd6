#include "store/MyFriendInfo.h"

#include "store/RiderCache.h"

namespace {

const RiderCache& cache()
{
    static const RiderCache list(QStringLiteral("MyFriendInfo"),
                                 {QStringLiteral("已经存在MyFriendInfo:%1"), QStringLiteral("新建MyFriendInfo:%1"),
                                  QStringLiteral("周围驴友 Add\u00a0ok")});
    return list;
}

} // namespace

void MyFriendInfo::CheckAdd(const QString& username, const QString& level, const QString& levelname,
                         const QString& paiming, const QString& touxiangpath, const QString& lat,
                         const QString& lng, const QString& weixin)
{
    cache().CheckAdd({username, level, levelname, paiming, touxiangpath, lat, lng, weixin});
}

void MyFriendInfo::CheckAdd(const RiderInfo& rider)
{
    cache().CheckAdd(rider);
}

void MyFriendInfo::Add(const QString& username, const QString& level, const QString& levelname,
                    const QString& paiming, const QString& touxiangpath, const QString& lat,
                    const QString& lng, const QString& weixin)
{
    cache().Add({username, level, levelname, paiming, touxiangpath, lat, lng, weixin});
}

QList<RiderInfo> MyFriendInfo::GetValue(const QString& paiming)
{
    return cache().GetValue(paiming);
}

int MyFriendInfo::GetCount()
{
    return cache().GetCount();
}

void MyFriendInfo::ClearMySelf()
{
    cache().ClearMySelf();
}

void MyFriendInfo::KeepOnly(const QStringList& usernames)
{
    cache().KeepOnly(usernames);
}

QList<RiderInfo> MyFriendInfo::GetByUsername(const QString& username)
{
    return cache().GetByUsername(username);
}
