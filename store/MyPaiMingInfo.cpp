#include "store/MyPaiMingInfo.h"

#include "store/RiderCache.h"

namespace {

const RiderCache& cache()
{
    static const RiderCache list(QStringLiteral("MyPaiMingInfo"),
                                 {QStringLiteral("已经存在:%1"), QStringLiteral("新建:%1"),
                                  QStringLiteral("本周排名 Add\u00a0ok")});
    return list;
}

} // namespace

void MyPaiMingInfo::CheckAdd(const QString& username, const QString& level, const QString& levelname,
                         const QString& paiming, const QString& touxiangpath, const QString& lat,
                         const QString& lng, const QString& weixin)
{
    cache().CheckAdd({username, level, levelname, paiming, touxiangpath, lat, lng, weixin});
}

void MyPaiMingInfo::CheckAdd(const RiderInfo& rider)
{
    cache().CheckAdd(rider);
}

void MyPaiMingInfo::Add(const QString& username, const QString& level, const QString& levelname,
                    const QString& paiming, const QString& touxiangpath, const QString& lat,
                    const QString& lng, const QString& weixin)
{
    cache().Add({username, level, levelname, paiming, touxiangpath, lat, lng, weixin});
}

QList<RiderInfo> MyPaiMingInfo::GetValue(const QString& paiming)
{
    return cache().GetValue(paiming);
}

int MyPaiMingInfo::GetCount()
{
    return cache().GetCount();
}

void MyPaiMingInfo::ClearMySelf()
{
    cache().ClearMySelf();
}

void MyPaiMingInfo::Replace(const QList<RiderInfo>& riders)
{
    cache().Replace(riders);
}
