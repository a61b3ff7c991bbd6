#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QGeoPositionInfo;
class QGeoPositionInfoSource;
class QIODevice;

// The phone's location service on this platform: position updates from the
// platform's own source where it gives any, otherwise an NMEA route replayed in
// a loop, each delivered on the main thread with latitude, longitude and
// horizontal accuracy. The status poll runs on every update.
class LocationManager : public QObject
{
    Q_OBJECT

public:
    // The ride bundled with the app, replayed on machines without a GPS.
    static constexpr const char* DemoRoute = ":/route/demo.nmea";
    // Command-line option of the app that names a route to replay instead.
    static constexpr const char* ReplayOption = "location-replay";

    explicit LocationManager(QObject* parent = nullptr);
    ~LocationManager() override;

    // Kept as the welcome screen sets them. Sources on this platform neither
    // pause nor stop in the background, so both only record the request.
    void setPausesLocationUpdatesAutomatically(bool pauses) { m_pauses = pauses; }
    bool pausesLocationUpdatesAutomatically() const { return m_pauses; }
    void setAllowsBackgroundLocationUpdates(bool allows) { m_background = allows; }
    bool allowsBackgroundLocationUpdates() const { return m_background; }

    // Replays this NMEA file in a loop instead of asking the platform.
    void setReplayFile(const QString& path) { m_replayPath = path; }
    QString replayFile() const { return m_replayPath; }
    // Uses this source instead of the platform's and takes ownership of it.
    void setSource(QGeoPositionInfoSource* source);
    // How long the platform's source may stay silent before the demo route takes over.
    void setFallbackDelay(int ms) { m_fallbackTimer.setInterval(ms); }
    // Pause between the last fix of a replayed route and its first one again.
    void setReplayRestartDelay(int ms) { m_restartTimer.setInterval(ms); }

    void startUpdatingLocation();
    void stopUpdatingLocation();
    bool isUpdating() const { return m_updating; }
    // Name of the platform's source in use; empty while replaying or before the first start.
    QString sourceName() const;
    // The route being replayed; empty when the updates come from elsewhere.
    QString replaying() const { return m_replaying; }

    // Delivers an update as if the source had produced it.
    void injectLocation(double latitude, double longitude, double horizontalAccuracy);

signals:
    void didUpdateLocation(double latitude, double longitude, double horizontalAccuracy);

private:
    void adopt(QGeoPositionInfoSource* source);
    void dropSource();
    void startPlatformSource();
    void startReplay(const QString& path);
    void fallBackToReplay(const QString& reason);
    void restartReplay();
    void onPositionUpdated(const QGeoPositionInfo& info);

    QGeoPositionInfoSource* m_source = nullptr;
    QIODevice* m_replayDevice = nullptr;
    QString m_replayPath;
    QString m_replaying;
    bool m_platformSource = false;
    bool m_updating = false;
    bool m_pauses = true;
    bool m_background = false;
    QTimer m_fallbackTimer;
    QTimer m_restartTimer;
};
