#include "tour/DesktopTour.h"

#include "platform/ui/Window.h"
#include "poll/ConnectionState.h"
#include "poll/MyUtil.h"
#include "poll/StatusPoller.h"
#include "screens/desktop/AlarmLogWindow.h"
#include "screens/desktop/DesktopFrame.h"
#include "screens/desktop/RideListWindow.h"
#include "store/MyBasicInfo.h"
#include "tour/SimulatorControl.h"
#include "tour/Tour.h"

#include <QPointer>

namespace DesktopTour {

namespace {

ConnectionState* connection()
{
    StatusPoller* poller = StatusPoller::installed();
    return poller ? poller->connection() : nullptr;
}

// A status poll now, without waiting out the minute between polls.
void pollNow()
{
    if (StatusPoller* poller = StatusPoller::installed()) {
        poller->setLastPollTime(poller->now().addSecs(-61));
        MyUtil::GetEveryThing();
    }
}

DesktopFrame* desktop(Tour& tour)
{
    return DesktopFrame::holding(tour.window());
}

bool answeredJustNow()
{
    ConnectionState* state = connection();
    StatusPoller* poller = StatusPoller::installed();
    return state && state->reachable() && state->lastOk().isValid() &&
           state->lastOk().secsTo(poller->now()) < 60;
}

// The server fails the next two status polls; the second failure makes it unreachable.
void failTwice(Tour&)
{
    ConnectionState* state = connection();
    if (!state)
        return;
    auto* watch = new QObject(state);
    QObject::connect(state, &ConnectionState::changed, watch, [state, watch] {
        if (state->reachable())
            pollNow();
        else
            watch->deleteLater();
    });
    SimulatorControl::change(
        QStringLiteral("/_sim/fault?kind=500&script=/TolvarGetEveryThingTimerIOS.php&count=2"),
        [](const QJsonDocument&) { pollNow(); });
}

// The walk cannot wait ten minutes, so it moves the last answer back a quarter of an hour,
// as the store holds it when the server has not answered for that long.
void lastAnswerLongAgo(Tour&)
{
    StatusPoller* poller = StatusPoller::installed();
    ConnectionState* state = connection();
    if (!poller || !state)
        return;
    MyBasicInfo::SetValue(ConnectionState::LastOkKey,
                          poller->now().addSecs(-15 * 60).toString("yyyy-MM-dd HH:mm:ss"));
    emit state->changed();
}

void addStatusBar(Tour& tour)
{
    Tour::Step step{QStringLiteral("connected"),
                    [](Tour&) { pollNow(); },
                    [](Tour&) { return answeredJustNow(); },
                    8000,
                    300,
                    true,
                    QStringLiteral("StatusBar"),
                    desktop};
    tour.add(step);
    step.detail = QStringLiteral("unreachable");
    step.action = failTwice;
    step.until = [](Tour&) { return connection() && !connection()->reachable(); };
    tour.add(step);
    step.detail = QStringLiteral("out-of-date");
    step.action = lastAnswerLongAgo;
    step.until = {};
    tour.add(step);
    // The server answers again: back to connected for the rest of the walk.
    tour.add({QString(), [](Tour&) { pollNow(); }, [](Tour&) { return answeredJustNow(); }, 8000, 0,
              false});
}

} // namespace

// The windows are looked at from the menu, as a rider opens them, and closed again.
template <class Open, class Shown>
void addWindow(Tour& tour, const QString& name, Open open, Shown shown)
{
    tour.add({QString(),
              [open](Tour& t) { (desktop(t)->*open)(); },
              {},
              0,
              500,
              true,
              name,
              [shown](Tour& t) -> QWidget* { return (desktop(t)->*shown)(); }});
    tour.add({QString(), [shown](Tour& t) { (desktop(t)->*shown)()->close(); }, {}, 0, 0, false});
}

void addRideList(Tour& tour)
{
    addWindow(tour, QStringLiteral("Rides"), &DesktopFrame::showRides, &DesktopFrame::rides);
}

void addStatusBarAndAlarmLog(Tour& tour)
{
    addStatusBar(tour);
    addWindow(tour, QStringLiteral("AlarmLog"), &DesktopFrame::showAlarmLog,
              &DesktopFrame::alarmLog);
}

} // namespace DesktopTour
