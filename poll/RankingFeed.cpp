#include "poll/RankingFeed.h"

#include "store/MyPaiMingInfo.h"

RankingFeed::RankingFeed(DeviceServer* server, Hold hold, QObject* parent)
    : PollFeed(server, std::move(hold), parent)
{
}

void RankingFeed::tick()
{
    --m_PaiMingCount;
    if (m_PaiMingCount > 0 || !beginRequest())
        return;
    server()->getPaiMing(answered(&RankingFeed::merge), failed());
}

void RankingFeed::merge(const QList<RiderInfo>& riders)
{
    if (riders.isEmpty())
        return;
    m_PaiMingCount = PaiMingCountMax;
    store(riders);
    emit rankingArrived(riders);
}

void RankingFeed::store(const QList<RiderInfo>& riders)
{
    // The answer is this week's whole ranking: a rider who dropped out must not keep
    // an old rank and shadow the rider who holds it now.
    MyPaiMingInfo::Replace(riders);
}
