#pragma once

#include <QMap>
#include <QString>
#include <QtGlobal>

// One speed limit of the device as the device server last accepted it (confirmed), and the
// uploads of it still on their way. There is one per kind for the whole run, shared by
// every page that sets it. Each upload carries its own value, so an answer confirms exactly
// what its request sent, and only the newest upload's failure puts the last accepted value
// back; an older upload that fails after a newer one was sent leaves the decision to it.
class SpeedLimit
{
public:
    enum class Kind { MaxSpeed, LightSpeed };
    // What the page must do after an answer.
    enum class Outcome {
        Nothing,
        Restore,        // show the confirmed value again (the newest upload had failed)
        RestoreAndAlert // the newest upload failed: tell the rider and show the confirmed value
    };

    static SpeedLimit& of(Kind kind);

    // The settings key that holds the limit ("maxspeed" or "lightspeed").
    QString key() const;
    qint64 confirmed() const { return m_confirmed; }
    bool hasUploadsInFlight() const { return !m_inFlight.isEmpty(); }

    // The stored value was loaded: it becomes the confirmed value unless an upload is still
    // on its way (the server has not yet said what it holds).
    void load(qint64 stored);
    // An upload of `value` is being sent; the answer names it by the ticket returned.
    quint64 send(qint64 value);
    Outcome accepted(quint64 ticket);
    Outcome failed(quint64 ticket);

    // Forgets everything (a new run; tests).
    void reset();

private:
    explicit SpeedLimit(Kind kind) : m_kind(kind) {}

    Kind m_kind;
    qint64 m_confirmed = 0;
    QMap<quint64, qint64> m_inFlight;
    quint64 m_lastTicket = 0;
    quint64 m_acceptedTicket = 0;
    bool m_lastFailed = false;
};
