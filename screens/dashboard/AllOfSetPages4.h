#pragma once

#include "screens/dashboard/SpeedPage.h"
#include "views/LightCustomView.h"

struct AppContext;

// The dashboard's light-speed page: the rider drags along the dial to any whole speed from
// 10 to 25 km/h; on release it is stored and sent to the device server.
class AllOfSetPages4 : public SpeedPage
{
    Q_OBJECT

public:
    explicit AllOfSetPages4(AppContext& context, QWidget* parent = nullptr);

    // Degrees along the dial for a touch at t, kept within 15 to 165.
    static float angleFor(float t);
    // The light speed at an angle: 10 at 15 degrees, 25 only at 165.
    static int speedAt(float angle);
    // Where the dial shows a stored light speed (not clamped).
    static float positionFor(qint64 speed);

    void InitLightSpeed();

protected:
    void viewDidLoad() override;
    void initSpeed() override { InitLightSpeed(); }
    void handlePanFrom(PanGestureRecognizer* recognizer) override;

private:
    QPointer<LightCustomView> m_MyLightCView;
    QPointer<QLabel> m_slightspeed;
};
