#pragma once

#include "platform/location/LocationManager.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

#include <QPointer>

struct AppContext;

struct DeviceInfo;

// The welcome screen, first of every run: fills the settings store with its defaults, starts
// the location updates that drive the status poll for the whole run, asks for the right to
// notify, and two seconds later routes the rider by the stored device number. It stays
// underneath every later screen.
class ViewController : public Screen
{
    Q_OBJECT

public:
    explicit ViewController(AppContext& context, QWidget* parent = nullptr);
    ~ViewController() override;

    // The routing step: binding without a device number, otherwise by the device query.
    void tapPageWelcom();
    // One location update: logged, then the status poll runs.
    void didUpdateLocation(double latitude, double longitude, double horizontalAccuracy);

    // Keeps the account the device query reported (also used by the binding screen).
    static void storeDeviceAccount(const DeviceInfo& info);

protected:
    void viewDidLoad() override;

private:
    void startLocationUpdates();
    void registerNotificationSettings();
    void routeByAnswer(const DeviceInfo& info);

    AppContext& m_app;
    QPointer<ImageView> m_welcomimage;
    QPointer<LocationManager> m_locationManager;
    bool m_queryFailed = false;
};
