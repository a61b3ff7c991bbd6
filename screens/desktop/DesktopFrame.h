#pragma once

#include <QMainWindow>

class AlarmLogWindow;
class ConnectionBar;
class RideListWindow;
class ConnectionState;
class Window;

// The desktop window around the phone-sized screen: the screen itself in the middle,
// the menu bar above it and the connection's status bar under it. What the desktop adds
// to the phone app lives here, so no screen of the phone changes for it.
class DesktopFrame : public QMainWindow
{
    Q_OBJECT

public:
    DesktopFrame(Window* phone, ConnectionState& connection, QWidget* parent = nullptr);

    // The frame that holds `phone`, or null when it stands alone.
    static DesktopFrame* holding(QWidget* phone);
    ConnectionBar* connectionBar() const { return m_bar; }

    // The desktop's own windows, made on first use and kept for the run.
    AlarmLogWindow* alarmLog();
    void showAlarmLog();
    RideListWindow* rides();
    void showRides();
    // Writes the ride chosen in the ride list, or its day, to a GPX file the rider names.
    void exportGpx();

private:
    void addMenus();
    // Shows `window` beside the frame and in front.
    void present(QWidget* window);

    ConnectionBar* m_bar;
    AlarmLogWindow* m_alarmLog = nullptr;
    RideListWindow* m_rides = nullptr;
};
