#pragma once

#include <QString>

class AlertPresenter;
class Clock;
class DeviceServer;
class ImageLoader;
class LocalNotificationCenter;
class LocationManager;
class NotificationCenter;
class QNetworkAccessManager;
class ShareService;

// What the screens get from the app: the services the composition root made, handed to
// every screen's constructor by the screen catalogue. The app owns it for the whole run
// and a service it swaps later is seen by the screens made before. A missing service is
// null; the screens then do without it.
struct AppContext
{
    Clock* clock = nullptr;
    DeviceServer* server = nullptr;
    QNetworkAccessManager* network = nullptr;
    // Base URL of the device server (no trailing slash).
    QString serverUrl;
    LocationManager* location = nullptr;
    LocalNotificationCenter* notifications = nullptr;
    ImageLoader* images = nullptr;
    AlertPresenter* alerts = nullptr;
    ShareService* share = nullptr;
    // Named notifications between screens and pages.
    NotificationCenter* center = nullptr;
    // The e-mail address the rider proved with a mailed code during this run; empty
    // until a code check succeeds. Registration accepts only this address.
    QString verifiedEmail;
};
