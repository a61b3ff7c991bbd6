#include "tools/devserver/SimWorld.h"

#include "tools/devserver/SimRandom.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

const GeoPoint kHome{30.2741, 120.1551};
const QString kRider = "86000001";
const QString kUnbound = "86000002";
constexpr qsizetype kKeptLogLines = 5000;

QDateTime startOf(const SimulatorOptions& options)
{
    if (options.start.isValid())
        return options.start;
    return QDateTime(QDate(2026, 3, 5), QTime(10, 0));
}

} // namespace

SimWorld::SimWorld(const SimulatorOptions& options)
    : m_seed(options.seed), m_verbose(options.verbose), m_clock(startOf(options), options.speed),
      m_roster(options.seed)
{
    if (options.dataDir.isEmpty()) {
        m_tempDir = std::make_unique<QTemporaryDir>();
        m_dataDir = m_tempDir->path();
    } else {
        m_dataDir = QDir(options.dataDir).absolutePath();
    }
    QDir().mkpath(m_dataDir + "/outbox");
    QDir().mkpath(avatarFolder());
    QString error;
    if (!m_store.open(m_dataDir + "/devserver.sqlite", &error))
        log("database not usable, keeping everything in memory: " + error);
    for (const SimDevice& device : m_store.devices()) {
        // An older simulator took any devid; such a device is left in the file, unused.
        if (SimDevice::isValidDevid(device.devid))
            m_devices.insert(device.devid, device);
        else
            log("ignoring stored device with a devid that is not digits only");
    }
    m_outbox = m_store.mails();
    seedDevices();
    for (const QString& devid : m_devices.keys())
        startTracker(devid);
}

void SimWorld::seedDevices()
{
    if (!m_devices.contains(kRider)) {
        SimDevice rider;
        rider.devid = kRider;
        rider.username = "rider01";
        rider.pwd = "secret1";
        rider.email = "rider01@example.com";
        rider.weixin = "qixingzhe01";
        rider.touxiang = "/touxiang/" + kRider + ".png";
        rider.registered = now().date().addDays(-137);
        m_devices.insert(kRider, rider);
        save(rider);
    }
    if (!m_devices.contains(kUnbound)) {
        SimDevice unbound;
        unbound.devid = kUnbound;
        m_devices.insert(kUnbound, unbound);
        save(unbound);
    }
}

GeoPoint SimWorld::baseOf(const QString& devid) const
{
    if (devid == kRider)
        return kHome;
    SimRandom random(SimRandom::hash(m_seed, devid + "/base"));
    const double radius = random.range(1500, 4000);
    const double angle = random.range(0, 2 * std::numbers::pi);
    return kHome.offset(radius * std::cos(angle), radius * std::sin(angle));
}

void SimWorld::startTracker(const QString& devid)
{
    // Each tracker starts at midnight of the first day, so today's track and
    // mileage exist from the first request on.
    const QDateTime midnight(now().date(), QTime(0, 0));
    auto tracker = std::make_shared<TrackerSimulation>(m_seed, devid, baseOf(devid), midnight);
    tracker->advanceTo(now());
    m_trackers.insert(devid, tracker);
}

void SimWorld::advance(qint64 seconds)
{
    m_clock.advance(seconds);
    catchUp();
}

void SimWorld::catchUp()
{
    const QDateTime when = now();
    for (const auto& tracker : std::as_const(m_trackers))
        tracker->advanceTo(when);
}

SimDevice* SimWorld::device(const QString& devid)
{
    auto it = m_devices.find(devid);
    return it == m_devices.end() ? nullptr : &it.value();
}

TrackerSimulation* SimWorld::tracker(const QString& devid)
{
    return m_trackers.value(devid).get();
}

bool SimWorld::addDevice(const QString& devid)
{
    if (!SimDevice::isValidDevid(devid) || m_devices.contains(devid))
        return false;
    SimDevice device;
    device.devid = devid;
    m_devices.insert(devid, device);
    save(device);
    startTracker(devid);
    return true;
}

void SimWorld::save(const SimDevice& device)
{
    m_store.saveDevice(device);
}

QList<RiderRoster::Ranked> SimWorld::ranking()
{
    catchUp();
    QList<RiderRoster::Rider> accounts;
    for (const SimDevice& device : std::as_const(m_devices)) {
        if (!device.hasAccount())
            continue;
        const TrackerSimulation* t = tracker(device.devid);
        RiderRoster::Rider rider;
        rider.username = device.username;
        rider.weixin = device.weixin;
        rider.avatarPath = device.touxiang;
        rider.jifen = jifenOf(device.devid);
        rider.position = t->position();
        rider.weekKm = std::round(t->weekKm(now().date()) * 10) / 10;
        rider.devid = device.devid;
        accounts.append(rider);
    }
    return m_roster.ranking(accounts, now().date());
}

QList<RiderRoster::Ranked> SimWorld::nearby(const QString& devid)
{
    const TrackerSimulation* t = tracker(devid);
    if (!t)
        return {};
    return m_roster.nearby(ranking(), devid, t->position());
}

int SimWorld::paimingOf(const QString& devid)
{
    for (const RiderRoster::Ranked& entry : ranking()) {
        if (entry.rider.devid == devid)
            return entry.paiming;
    }
    return 0;
}

int SimWorld::jifenOf(const QString& devid)
{
    const TrackerSimulation* t = tracker(devid);
    return t ? int(t->totalKm() * 3) : 0;
}

SimMail SimWorld::sendMail(const QString& to, const QString& subject, const QString& body,
                           const QString& code)
{
    SimMail mail{now(), to, subject, body, code, {}};
    const QString stamp = mail.sent.toString("yyyyMMdd-HHmmss");
    mail.file = QStringLiteral("%1/outbox/%2-%3.txt")
                    .arg(m_dataDir, stamp)
                    .arg(m_outbox.size() + 1, 4, 10, QChar('0'));
    QFile file(mail.file);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        QTextStream out(&file);
        out << "To: " << to << "\nSubject: " << subject
            << "\nDate: " << mail.sent.toString(Qt::ISODate) << "\n\n"
            << body << "\n";
    }
    m_outbox.append(mail);
    m_store.addMail(mail);
    log(QStringLiteral("mail to %1: %2 (%3)").arg(to, subject, mail.file));
    if (!code.isEmpty())
        log(QStringLiteral("verification code for %1: %2").arg(to, code));
    return mail;
}

QString SimWorld::avatarFolder() const
{
    return m_dataDir + "/touxiang";
}

void SimWorld::log(const QString& line)
{
    const QString stamped = "[devserver " + now().toString("yyyy-MM-dd HH:mm:ss") + "] " + line;
    m_log.append(stamped);
    if (m_log.size() > kKeptLogLines)
        m_log.removeFirst();
    if (m_verbose)
        std::fprintf(stderr, "%s\n", stamped.toLocal8Bit().constData());
}
