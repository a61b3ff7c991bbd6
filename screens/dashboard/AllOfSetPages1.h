#pragma once

#include "platform/Timer.h"
#include "platform/ui/Button.h"
#include "screens/dashboard/DashboardPage.h"
#include "views/DiTanCustomView.h"
#include "views/YuanHuanCustomView.h"

#include <QLabel>
#include <QPointer>
#include <array>

struct AppContext;

// The dashboard's mileage page: this week's mileage against last week's on a ring, the
// low-carbon figure of each of the last seven days on a bar, and today's mileage. The gauges
// move towards their targets on a 0.03 s timer that re-reads the settings store every 33
// ticks, so fresh values show within a second without anyone telling the page.
class AllOfSetPages1 : public DashboardPage
{
    Q_OBJECT

public:
    static constexpr double AnimationInterval = 0.03;
    static constexpr float TicksPerRead = 33;
    static constexpr int Days = 7;

    explicit AllOfSetPages1(AppContext& context, QWidget* parent = nullptr);

    // The ring's target: this week's mileage over last week's, 0 to 1 (full when last week
    // had none).
    static float GetYuanHuanProcess();
    // A bar's target for one day's stored mileage: its low-carbon figure over 3, 0 to 1.
    static float GetDiTanValue(const QString& text);

    // One animation tick.
    void progressChange();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidDisappear() override;

private:
    void buildRing();
    void buildBars();
    void startAnimation();
    void readTargets();
    void showWeekdays();
    static float step(float current, float target);

    AppContext& m_app;
    QPointer<YuanHuanCustomView> m_MyYuanHuan;
    std::array<QPointer<DiTanCustomView>, Days> m_week;
    std::array<QPointer<QLabel>, Days> m_dayNames;
    QPointer<Button> m_totaylichengs;
    QPointer<QLabel> m_weeks;
    Timer* m_timer = nullptr;
    float m_TargetYuanHuanProcess = 0;
    std::array<float, Days> m_Targetweek{};
    float m_updatenum = 0;
};
