#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

// Whether the device server answers the status poll and how old the stored device state
// is, as one line of text for the window's status bar. The time of the last "ok" answer
// lives in the settings store, so the age still holds after a restart.
class ConnectionState : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* LastOkKey = "lastoktime";
    static constexpr int FailuresUntilUnreachable = 2;
    static constexpr qint64 StaleAfterSecs = 10 * 60;

    explicit ConnectionState(std::function<QDateTime()> now, QObject* parent = nullptr);

    // The server answered a status request; `ok` when its message was "ok".
    void answered(bool ok);
    // A status request got no answer.
    void failed();

    bool reachable() const { return m_failures < FailuresUntilUnreachable; }
    // When the last "ok" answer came; invalid before the first one.
    QDateTime lastOk() const;
    QString text() const;

signals:
    void changed();

private:
    QString ageText() const;

    std::function<QDateTime()> m_now;
    int m_failures = 0;
};
