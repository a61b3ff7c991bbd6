#pragma once

#include "platform/Timer.h"
#include "platform/ui/Button.h"
#include "platform/ui/Switch.h"
#include "screens/dashboard/DashboardPage.h"
#include "screens/dashboard/GaugeOverflowView.h"
#include "views/PowerCustomView.h"
#include "views/PowerYuanHuanCustomView.h"
#include "views/RotateLvCustomView.h"

#include <QLabel>
#include <QPointer>

// The dashboard's battery page: the charge on a cylinder and on a half ring with the logo
// riding its free end, the remaining range for the chosen full-charge range (28 or 45 km),
// and the do-not-disturb switch of the battery alarm. The gauges move towards the charge on
// a 0.03 s timer that re-reads it every 33 ticks.
class AllOfSetPages2 : public DashboardPage
{
    Q_OBJECT

public:
    static constexpr double AnimationInterval = 0.03;
    static constexpr float TicksPerRead = 33;

    explicit AllOfSetPages2(QWidget* parent = nullptr);

    // One animation tick.
    void progressChange();
    // Toggles the full-charge range between 28 and 45 km.
    void process28();
    // Stores the do-not-disturb switch; switching it on ends a running alarm vibration.
    void processswitch();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidDisappear() override;

private:
    void buildGauges();
    void buildRange();
    void buildControls();
    void startAnimation();
    void showRange(float fullRange);

    QPointer<PowerCustomView> m_PowerCustom1;
    QPointer<PowerYuanHuanCustomView> m_PowerHuanyuan;
    QPointer<RotateLvCustomView> m_RotateCV;
    QPointer<GaugeOverflowView> m_logo;
    QPointer<QWidget> m_PowerCustomMini;
    QPointer<Switch> m_switchpower;
    QPointer<QLabel> m_powerlicheng;
    QPointer<QLabel> m_powerlichengmax;
    QPointer<Button> m_button28;
    Timer* m_timer = nullptr;
    float m_TargetProcess = 1;
    float m_updatenum = 0;
};
