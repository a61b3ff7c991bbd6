#pragma once

#include "protocol/DeviceServer.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class Timer;

// What the one-second feeds share: a timer their owner runs while it is on display, and
// the rule that at most one request is outstanding, so a slow server neither piles up
// requests nor has the same answer handled twice.
class PollFeed : public QObject
{
    Q_OBJECT

public:
    // A token an answer keeps until it has run; the feed's owner uses it to stay alive for
    // answers still due after it is let go.
    using Hold = std::function<std::shared_ptr<void>()>;

    // Ticks at once, then every second.
    void resume();
    // Ticks no more until resumed.
    void pause();
    bool isRequestInFlight() const { return m_inFlight; }
    Timer* timer() const { return m_timer; }

protected:
    // The timer is scheduled at once: the first tick comes a second after construction.
    // Without a server the feed never asks.
    PollFeed(DeviceServer* server, Hold hold, QObject* parent);
    virtual void tick() = 0;

    // Marks a request to `server()` as outstanding; false when one already is, or when the
    // feed has no server.
    bool beginRequest();
    DeviceServer* server() const { return m_server; }
    // The answer handler to give the server: it ends the request and passes the answer on
    // to `take` while this feed lives.
    template <class Feed, class Answer>
    std::function<void(const Answer&)> answered(void (Feed::*take)(const Answer&));
    // The failure handler to give the server: it logs the error and ends the request.
    DeviceServer::Failure failed();

private:
    std::shared_ptr<void> holdToken() const;

    DeviceServer* m_server;
    Hold m_hold;
    Timer* m_timer;
    bool m_inFlight = false;
};

template <class Feed, class Answer>
std::function<void(const Answer&)> PollFeed::answered(void (Feed::*take)(const Answer&))
{
    return [self = QPointer<PollFeed>(this), hold = holdToken(), take](const Answer& answer) {
        if (!self)
            return;
        self->m_inFlight = false;
        (static_cast<Feed*>(self.data())->*take)(answer);
    };
}
