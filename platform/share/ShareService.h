#pragma once

#include <QString>

class Clock;
class SendMessageRequest;

// Image-message sharing (the messaging library's stand-in): the app registers its
// identifier at launch and sends media messages with sendReq. On this platform a sent
// message lands in an outbox folder as its picture (PNG) and a small JSON description
// (scene, text flag, thumbnail name, sizes, time), and the send is logged.
class ShareService
{
public:
    virtual ~ShareService() = default;
    virtual bool registerApp(const QString& appId) = 0;
    virtual QString registeredAppId() const = 0;

    // Hands the request over; answers whether it was taken. Writes to the outbox here.
    virtual bool sendReq(const SendMessageRequest& request);

    // Where sent messages go; by default "outbox" in the app's local data folder.
    void setOutboxFolder(const QString& folder) { m_outbox = folder; }
    QString outboxFolder() const;
    // The clock that stamps sent messages (the system time when none is set).
    void setClock(Clock* clock) { m_clock = clock; }
    // The JSON file of the last message sent, empty before the first.
    QString lastSentFile() const { return m_lastSent; }

private:
    QString m_outbox;
    Clock* m_clock = nullptr;
    QString m_lastSent;
};
