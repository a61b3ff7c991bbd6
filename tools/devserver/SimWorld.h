#pragma once

#include "tools/devserver/RiderRoster.h"
#include "tools/devserver/SimClock.h"
#include "tools/devserver/SimDevice.h"
#include "tools/devserver/SimMail.h"
#include "tools/devserver/SimStore.h"
#include "tools/devserver/SimulatorOptions.h"
#include "tools/devserver/TrackerSimulation.h"

#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// Everything the simulated server knows: its clock, the devices with their
// accounts and trackers, the rider community, the outbox and its own log.
class SimWorld
{
public:
    explicit SimWorld(const SimulatorOptions& options);

    quint64 seed() const { return m_seed; }
    QString dataDir() const { return m_dataDir; }
    QDateTime now() const { return m_clock.now(); }
    void advance(qint64 seconds);
    // Brings every tracker up to the current simulated time.
    void catchUp();

    SimDevice* device(const QString& devid);
    TrackerSimulation* tracker(const QString& devid);
    QStringList devids() const { return m_devices.keys(); }
    bool addDevice(const QString& devid);
    void save(const SimDevice& device);

    QList<RiderRoster::Ranked> ranking();
    QList<RiderRoster::Ranked> nearby(const QString& devid);
    const RiderRoster& roster() const { return m_roster; }
    int paimingOf(const QString& devid);
    int jifenOf(const QString& devid);

    SimMail sendMail(const QString& to, const QString& subject, const QString& body,
                     const QString& code = {});
    const QList<SimMail>& outbox() const { return m_outbox; }
    QString avatarFolder() const;

    void log(const QString& line);
    const QStringList& logLines() const { return m_log; }

private:
    void seedDevices();
    GeoPoint baseOf(const QString& devid) const;
    void startTracker(const QString& devid);

    quint64 m_seed;
    bool m_verbose;
    std::unique_ptr<QTemporaryDir> m_tempDir;
    QString m_dataDir;
    SimClock m_clock;
    SimStore m_store;
    RiderRoster m_roster;
    QMap<QString, SimDevice> m_devices;
    QMap<QString, std::shared_ptr<TrackerSimulation>> m_trackers;
    QList<SimMail> m_outbox;
    QStringList m_log;
};
