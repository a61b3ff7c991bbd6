#pragma once

#include "screens/dashboard/SpeedPage.h"
#include "views/MaxSpeedCustomView.h"

struct AppContext;

// The dashboard's maximum-speed page: the rider drags along the dial and, on release, the
// limit snaps to 15, 20, 25 or 30 km/h, is stored and is sent to the device server.
class AllOfSetPages3 : public SpeedPage
{
    Q_OBJECT

public:
    explicit AllOfSetPages3(AppContext& context, QWidget* parent = nullptr);

    // The limit a drag released at t chooses.
    static qint64 snap(float t);
    // Where the dial shows a limit: the middle of its quarter (15 in the children zone).
    static float positionFor(qint64 speed);

    void InitMaxSpeed();

protected:
    void viewDidLoad() override;
    void initSpeed() override { InitMaxSpeed(); }
    void handlePanFrom(PanGestureRecognizer* recognizer) override;

private:
    QPointer<MaxSpeedCustomView> m_MyMaxSpeedCView;
    QPointer<QLabel> m_maxspeedlicheng;
};
