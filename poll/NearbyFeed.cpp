#include "poll/NearbyFeed.h"

#include "store/MyFriendInfo.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObjectContext.h"

NearbyFeed::NearbyFeed(DeviceServer* server, std::function<QString()> devid, Hold hold,
                       QObject* parent)
    : PollFeed(server, std::move(hold), parent), m_devid(std::move(devid))
{
}

void NearbyFeed::tick()
{
    if (!m_NeedDownload || !beginRequest())
        return;
    server()->getFriends(m_devid(), answered(&NearbyFeed::receive), failed());
}

void NearbyFeed::receive(const QList<RiderInfo>& riders)
{
    if (riders.isEmpty())
        return;
    m_NeedDownload = false;
    emit ridersArrived(store(riders));
}

QList<RiderInfo> NearbyFeed::store(const QList<RiderInfo>& riders)
{
    // The answer replaces the cache in one transaction: riders who went away go.
    ContextBatch batch(StoreContext::shared());
    QList<RiderInfo> kept;
    QStringList usernames;
    for (const RiderInfo& rider : riders) {
        if (rider.username.length() < 2)
            continue;
        MyFriendInfo::CheckAdd(rider);
        kept.append(rider);
        usernames.append(rider.username);
    }
    MyFriendInfo::KeepOnly(usernames);
    return kept;
}
