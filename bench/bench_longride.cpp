// A whole day of riding through the position screen and the status poll: the
// simulator reports a track point every second for 24 hours (86,400 points),
// the screen's one-second track poll and the status poll follow it, and at the
// end the figures are the process's memory (and what it grew by per point, and
// what the track's lines hold per point) and the time to draw one frame of the
// position screen, against the same screen before the ride.
#include "BenchReport.h"
#include "app/AppDelegate.h"
#include "e2e/EventWait.h"
#include "e2e/LongRide.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/map/MapView.h"
#include "platform/notify/Haptics.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "poll/MyUtil.h"
#include "screens/position/ViewControllerPos.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr const char* Devid = "86000001";
constexpr double BaseLat = 30.2741;
constexpr double BaseLng = 120.1551;
constexpr int Day = 24 * 3600;
constexpr int Batch = 500; // one full track answer

// A line of /proc/self/status in megabytes ("VmRSS", "VmHWM").
double statusMegabytes(const QByteArray& field)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double frameNs(QWidget& host)
{
    QImage frame(host.size(), QImage::Format_ARGB32_Premultiplied);
    return medianNs(
        [&] {
            QPainter painter(&frame);
            host.render(&painter);
        },
        3, 15);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    Log::Quiet quiet;
    QTemporaryDir dir;
    FakeClock clock;
    DeviceServerSimulator sim;
    if (sim.listen() == 0)
        return 1;
    sim.setPosition(Devid, BaseLat, BaseLng);
    sim.setPower(Devid, 40.0);
    sim.setBanlvstate(Devid, 3);
    LocalNotificationCenter center;
    Haptics haptics;
    AppDelegate delegate(dir.path());
    delegate.setClock(&clock);
    delegate.setServerUrl(sim.baseUrl().toString());
    delegate.setNotificationCenter(&center);
    delegate.setHaptics(&haptics);
    MyUtil::InitMyDateBase();
    MyBasicInfo::SetValue(QStringLiteral("devid"), QString::fromLatin1(Devid));
    int polls = 0;
    QObject::connect(delegate.networkAccessManager(), &QNetworkAccessManager::finished,
                     [&polls](QNetworkReply* reply) {
                         if (reply->url().path() == "/TolvarGetEveryThingTimerIOS.php")
                             ++polls;
                     });

    ManualTimerLoop timers(&clock);
    PositionOnPhone phone(delegate.context());
    QWidget& host = phone.host();
    ViewControllerPos* screen = phone.screen();
    const TrackFeed* track = screen->trackFeed();
    MyUtil::GetEveryThing(); // the first location update arms the status poll
    timers.runDue();
    EventWait::until(
        [&] { return track->lastserverid() > 0 && !screen->nearbyFeed()->NeedDownload(); });
    const double before = frameNs(host);

    const double rssBefore = statusMegabytes("VmRSS");
    LongRide ride(sim, Devid, BaseLat, BaseLng);
    QElapsedTimer wall;
    wall.start();
    int batches = 0;
    while (ride.elapsed() < Day) {
        ride.ride(std::min(Batch, Day - ride.elapsed()));
        ++batches;
        const qint64 newest = sim.track(Devid, track->lastserverid()).last().serverid;
        timers.advance(qint64(Batch) * 1000);
        MyUtil::GetEveryThing();
        if (!EventWait::until([&] { return track->lastserverid() == newest && polls == batches; },
                              60000)) {
            std::fprintf(stderr, "the ride stalled after %d s\n", ride.elapsed());
            return 1;
        }
    }
    const double rideMs = wall.nsecsElapsed() / 1e6;

    const double after = frameNs(host);
    screen->findChild<MapView*>(QStringLiteral("mapView"))
        ->setCenterCoordinate(MapCoordinate{screen->lastposlat(), screen->lastposlng()}, false);
    const double latest = frameNs(host);
    report(QStringLiteral("longride_frame_at_start"), after, before,
           QStringLiteral("the same screen before the ride"));
    report(QStringLiteral("longride_frame_at_latest_point"), latest, before,
           QStringLiteral("the same screen before the ride"));
    const double rss = statusMegabytes("VmRSS");
    const qint64 points = track->lastserverid();
    const MapView* map = screen->findChild<MapView*>(QStringLiteral("mapView"));
    const qsizetype trackBytes =
        screen->overlaysLine().memoryBytes() + map->lineLayer().memoryBytes();
    std::printf("longride_memory rss=%.1fMB bytes_per_point=%.0f track_bytes_per_point=%.1f "
                "peak=%.1fMB points=%lld lines=%lld marks=%lld ratio=%.2f vs rss before the "
                "ride (%.1fMB)\n",
                rss, (rss - rssBefore) * 1024 * 1024 / double(points),
                double(trackBytes) / double(points), statusMegabytes("VmHWM"), points,
                qlonglong(screen->overlaysLine().size()), qlonglong(screen->blackpoint().size()),
                rss / rssBefore, rssBefore);
    std::printf("longride_day total=%.1fs answers=%d\n", rideMs / 1000.0, batches);
    return 0;
}
