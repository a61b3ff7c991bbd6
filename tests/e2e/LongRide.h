#pragma once

#include "platform/ui/Storyboard.h"

#include <QString>
#include <QWidget>

class DeviceServerSimulator;
class ViewControllerPos;
struct AppContext;

// Rides the simulated tracker away from its base in a straight line to the
// north-east, one reported track point per simulated second: each second the
// simulator's time moves on and the tracker is held at the next position, which
// it reports. A straight ride keeps the map's start in sight of few points only,
// as a real day out would.
class LongRide
{
public:
    static constexpr double SpeedMetresPerSecond = 5.0;

    LongRide(DeviceServerSimulator& sim, const QString& devid, double baseLat, double baseLng);

    // Rides this many seconds further.
    void ride(int seconds);
    int elapsed() const { return m_elapsed; }
    // Where the tracker stands after this many seconds of the ride.
    double latAt(int second) const;
    double lngAt(int second) const;

private:
    DeviceServerSimulator& m_sim;
    QString m_devid;
    double m_baseLat;
    double m_baseLng;
    int m_elapsed = 0;
};

// The position screen as the rider opens it, on a phone-sized window: the screen a long
// ride is watched through.
class PositionOnPhone
{
public:
    explicit PositionOnPhone(AppContext& context);
    ViewControllerPos* screen() const { return m_screen; }
    QWidget& host() { return m_host; }

private:
    QWidget m_host;
    Storyboard m_storyboard{&m_host};
    ViewControllerPos* m_screen = nullptr;
};
