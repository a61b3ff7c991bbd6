#pragma once

#include "platform/ui/Screen.h"

#include <QLabel>
#include <QPointer>

class Timer;

// The track-mode page under the position map: today's mileage, the average speed and the
// minutes saved over covering today's distance at 5.4 an hour, refreshed every second
// from the settings store while the page is on screen.
class AllOfPosPages1 : public Screen
{
    Q_OBJECT

public:
    static constexpr float WalkingSpeed = 5.4f;

    explicit AllOfPosPages1(QWidget* parent = nullptr);

    void progressChange();
    // Whole minutes saved riding `distance` at `speed` instead of walking it; 0 below
    // walking speed or for a speed that is not a number.
    static int minutesSaved(const QString& speed, const QString& distance);

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidDisappear() override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* makeFigure(int column, const QString& caption, const QString& unit);

    QPointer<QLabel> m_textlicheng;
    QPointer<QLabel> m_speedlicheng;
    QPointer<QLabel> m_timelicheng;
    Timer* m_timer = nullptr;
};
