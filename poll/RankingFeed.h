#pragma once

#include "poll/PollFeed.h"
#include "store/RiderInfo.h"

#include <QList>

// The weekly ranking: a countdown of one-second ticks asks for it on every tick until an
// answer lists riders, then again after an hour of ticks; each such answer replaces the
// ranking cache in one transaction.
class RankingFeed : public PollFeed
{
    Q_OBJECT

public:
    static constexpr qint64 PaiMingCountMax = 3600;

    explicit RankingFeed(DeviceServer* server, Hold hold = {}, QObject* parent = nullptr);

    // Takes one answer: an empty one changes nothing; otherwise it restarts the countdown
    // and replaces the cache.
    void merge(const QList<RiderInfo>& riders);
    // Ticks left before the next request; at or below 0 every tick asks.
    qint64 PaiMingCount() const { return m_PaiMingCount; }

signals:
    // The riders of an answer that replaced the cache, in the answer's order.
    void rankingArrived(const QList<RiderInfo>& riders);

protected:
    void tick() override;

private:
    void store(const QList<RiderInfo>& riders);

    qint64 m_PaiMingCount = 0;
};
