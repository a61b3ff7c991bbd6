#include "platform/Log.h"
#include "poll/TrackFeed.h"
#include "screens/desktop/RideListWindow.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

// Rides kept from the track: what the track feed keeps, the split at standing gaps, the
// distance, the ride list and its GPX files as a real GPX reader takes them back.
class tst_Rides : public QObject
{
    Q_OBJECT

    Log::Quiet m_quiet;
    std::unique_ptr<TestApp> m_app;

    // A point arriving `seconds` after 14:07:09 local time on 5 March 2026.
    static RideLog::Point point(qint64 id, qint64 seconds, double lat = 30, double lng = 120,
                                int state = 1)
    {
        return {id, QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)).addSecs(seconds), lat, lng,
                state};
    }
    // What gpxpy reads from the file: its version, then each segment's points.
    static QStringList readBack(const QString& path)
    {
        QProcess python; // Debian's interpreter, the one python3-gpxpy is installed for
        python.start("/usr/bin/python3",
                     {"-c",
                      "import sys, gpxpy\ng = gpxpy.parse(open(sys.argv[1]))\nprint(g.version)\n"
                      "for s in g.tracks[0].segments: print('|'.join('%s %s %s' % (p.latitude,"
                      " p.longitude, p.time and p.time.isoformat()) for p in s.points))",
                      path});
        python.waitForFinished(-1);
        return QString(python.readAllStandardOutput() + python.readAllStandardError())
            .split('\n', Qt::SkipEmptyParts);
    }

private slots:
    // A zone east of UTC, so the times in a file must really be converted.
    void initTestCase() { qputenv("TZ", "CST-8"); }
    void init()
    {
        m_app = std::make_unique<TestApp>();
        MyUtil::InitMyDateBase();
        MyBasicInfo::SetValue("devid", "86000001");
        // Rides on 4 March, at 14:07 and at 18:00 on 5 March; another tracker's after them.
        QVERIFY(RideLog::append("86000001", {point(1, -86400, 30.1, 120.1), point(2, -86340),
                                             point(3, 0, 30.2, 120.3), point(4, 60, 30.25, 120.35),
                                             point(5, 14000, -33.45, -70.66)}));
        QVERIFY(RideLog::append("86000002", {point(1, 20000)}));
    }
    void cleanup() { m_app.reset(); }

    void ridesSplitAtFiveMinutesStandingAndSumTheirLegs()
    {
        // 0.01° north, 0.01° east at 30.01° N, silent 4:59, then 5:00 and a jump; then parked
        // reporting (drifting) for 4:59, and again for 5:00.
        QStringList rides;
        for (const Rides::Ride& ride :
             Rides::of({point(1, 0), point(2, 30, 30.01), point(3, 60, 30.01, 120.01),
                        point(4, 359, 30.01, 120.01), point(5, 659, 31), point(6, 700, 31, 120, 2),
                        point(7, 900, 31.5, 120, 2), point(8, 958, 31), point(9, 1100, 31, 120, 2),
                        point(10, 1258, 31)}))
            rides.append(QString("%1 s %2 m").arg(ride.seconds()).arg(ride.metres, 0, 'f', 2));
        QCOMPARE(rides, QStringList({"359 s 2077.15 m", "299 s 0.00 m", "0 s 0.00 m"}));
        // Points that waited on the server arrive together: a ride of their own, time unknown.
        RideLog::Point late = point(12, 1259, 31.01), later = point(13, 1259, 31.02);
        late.timed = later.timed = false;
        const QList<Rides::Ride> split =
            Rides::of({point(11, 1258, 31), late, later, point(14, 1260, 31)});
        QCOMPARE(split.size(), 3);
        QVERIFY(split[0].timed && !split[1].timed && split[2].timed);
        QCOMPARE(qRound(split[1].metres), 1113);
    }

    void feedKeepsEachPlacedPointOnce()
    {
        QDateTime now = point(0, 100000).arrival;
        TrackFeed feed(nullptr, [] { return QStringLiteral("86000003"); });
        feed.setClock([&now] { return now; });
        feed.receive(
            {{"10", "30.1", "120.2", "1"}, {"11", "0", "0", "1"}, {"12", "30.2", "120.3"}});
        now = now.addSecs(1);
        // A repeat, an id that goes backwards, and a position that is no number.
        feed.receive({{"12", "30.2", "120.3"}, {"5", "30.3", "120.4", "2"}, {"13", "abc", "1"}});
        // The first answer, and one after a minute and more without any, are untimed.
        now = now.addSecs(61);
        feed.receive({});
        now = now.addMSecs(60001);
        feed.receive({{"14", "30.4", "120.5", "1"}});
        QStringList kept;
        RideLog::forEach("86000003", [&](const RideLog::Point& p) {
            kept.append(QString::asprintf("%lld %lld %g %g %d %d", p.serverid,
                                          now.secsTo(p.arrival), p.lat, p.lng, p.state, p.timed));
        });
        QCOMPARE(kept, QStringList({"10 -122 30.1 120.2 1 0", "12 -122 30.2 120.3 0 0",
                                    "5 -121 30.3 120.4 2 1", "14 0 30.4 120.5 1 0"}));
    }

    void exportsRideOrDayAndAFailedExportChangesNothing()
    {
        RideListWindow window;
        QCOMPARE(window.rides().size(), 3);
        const QString path = m_app->dir.filePath("ride.gpx");
        const QString last = "-33.45 -70.66 2026-03-05T10:00:29+00:00";
        QVERIFY(window.exportTo(path, false, nullptr));
        QCOMPARE(readBack(path), QStringList({"1.1", last}));
        RideLog::Point untimed = point(6, 0);
        untimed.timed = false;
        QVERIFY(GpxWriter::write(path, "late", {{untimed}}, nullptr));
        QCOMPARE(readBack(path), QStringList({"1.1", "30.0 120.0 None"}));
        QVERIFY(window.exportTo(path, true, nullptr));
        const QStringList day = readBack(path);
        QCOMPARE(day, QStringList({"1.1",
                                   "30.2 120.3 2026-03-05T06:07:09+00:00|30.25 120.35 "
                                   "2026-03-05T06:08:09+00:00",
                                   last}));
        const QStringList files =
            QDir(m_app->dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
        // As on a full disk, no file grows past 100 bytes; the signal would end the test.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit usual{};
        getrlimit(RLIMIT_FSIZE, &usual);
        const rlimit small{100, usual.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        QString unwritable, full;
        const bool written = window.exportTo("/proc/ride.gpx", true, &unwritable) ||
                             window.exportTo(path, false, &full);
        setrlimit(RLIMIT_FSIZE, &usual);
        QVERIFY(!written);
        QCOMPARE(unwritable, "无法写入 /proc/ride.gpx：" + qt_error_string(ENOENT));
        QCOMPARE(full, "无法写入 " + path + "：" + qt_error_string(EFBIG));
        QCOMPARE(readBack(path), day);
        QCOMPARE(QDir(m_app->dir.path()).entryList(QDir::AllEntries | QDir::Hidden), files);
        // A tracker without rides has nothing to choose and nothing to write.
        MyBasicInfo::SetValue("devid", "86000009");
        window.reload();
        QVERIFY(window.rides().isEmpty() && !window.exportTo(path, true, &full));
        QCOMPARE(full, "还没有骑行记录");
        QCOMPARE(readBack(path), day);
    }
};

QTEST_MAIN(tst_Rides)
#include "tst_Rides.moc"
