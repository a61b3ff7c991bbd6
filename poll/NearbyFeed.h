#pragma once

#include "poll/PollFeed.h"
#include "store/RiderInfo.h"

#include <QList>
#include <QString>
#include <functional>

// The riders near the tracker: asked for every second until an answer lists some, then
// kept in the nearby-rider cache, each answer replacing it in one transaction.
class NearbyFeed : public PollFeed
{
    Q_OBJECT

public:
    // `devid` names the tracker at each request.
    NearbyFeed(DeviceServer* server, std::function<QString()> devid, Hold hold = {},
               QObject* parent = nullptr);

    // Takes one answer: an empty one changes nothing; otherwise the fetch is done and the
    // riders with a user name of two characters or more replace the cache.
    void receive(const QList<RiderInfo>& riders);
    bool NeedDownload() const { return m_NeedDownload; }

signals:
    // The riders an answer put in the cache, in the answer's order.
    void ridersArrived(const QList<RiderInfo>& riders);

protected:
    void tick() override;

private:
    QList<RiderInfo> store(const QList<RiderInfo>& riders);

    std::function<QString()> m_devid;
    bool m_NeedDownload = true;
};
