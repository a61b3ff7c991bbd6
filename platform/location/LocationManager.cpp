#include "platform/location/LocationManager.h"

#include "platform/Log.h"

#include <QFile>
#include <QGeoPositionInfo>
#include <QGeoPositionInfoSource>
#include <QNmeaPositionInfoSource>

namespace {

// Metres of error per unit of HDOP for the replayed fixes, a consumer GPS figure.
constexpr double ReplayRangeError = 2.5;

} // namespace

LocationManager::LocationManager(QObject* parent) : QObject(parent)
{
    m_fallbackTimer.setSingleShot(true);
    m_fallbackTimer.setInterval(10000);
    connect(&m_fallbackTimer, &QTimer::timeout, this,
            [this] { fallBackToReplay(QStringLiteral("gave no position")); });
    m_restartTimer.setSingleShot(true);
    m_restartTimer.setInterval(2000);
    connect(&m_restartTimer, &QTimer::timeout, this, &LocationManager::restartReplay);
}

LocationManager::~LocationManager() = default;

void LocationManager::setSource(QGeoPositionInfoSource* source)
{
    dropSource();
    adopt(source);
    if (m_updating)
        m_source->startUpdates();
}

void LocationManager::startUpdatingLocation()
{
    m_updating = true;
    if (m_source) {
        m_source->startUpdates();
        if (m_platformSource)
            m_fallbackTimer.start();
    } else if (!m_replayPath.isEmpty()) {
        startReplay(m_replayPath);
    } else {
        startPlatformSource();
    }
}

void LocationManager::stopUpdatingLocation()
{
    m_updating = false;
    m_fallbackTimer.stop();
    m_restartTimer.stop();
    if (m_source)
        m_source->stopUpdates();
}

QString LocationManager::sourceName() const
{
    return m_source && m_replaying.isEmpty() ? m_source->sourceName() : QString();
}

void LocationManager::injectLocation(double latitude, double longitude, double horizontalAccuracy)
{
    emit didUpdateLocation(latitude, longitude, horizontalAccuracy);
}

void LocationManager::adopt(QGeoPositionInfoSource* source)
{
    m_source = source;
    m_source->setParent(this);
    connect(m_source, &QGeoPositionInfoSource::positionUpdated, this,
            &LocationManager::onPositionUpdated);
    connect(m_source, &QGeoPositionInfoSource::errorOccurred, this,
            [this](QGeoPositionInfoSource::Error error) {
                if (m_platformSource)
                    fallBackToReplay(QStringLiteral("failed (error %1)").arg(int(error)));
            });
}

void LocationManager::dropSource()
{
    m_fallbackTimer.stop();
    m_restartTimer.stop();
    if (m_source) {
        m_source->disconnect(this);
        m_source->stopUpdates();
        m_source->deleteLater();
    }
    m_source = nullptr;
    m_replayDevice = nullptr;
    m_replaying.clear();
    m_platformSource = false;
}

void LocationManager::startPlatformSource()
{
    QGeoPositionInfoSource* source = QGeoPositionInfoSource::createDefaultSource(this);
    if (!source) {
        startReplay(QString::fromLatin1(DemoRoute));
        return;
    }
    adopt(source);
    m_platformSource = true;
    m_source->startUpdates();
    // Some platform sources (a location daemon without a fix or without a bus)
    // never report an error; silence for too long counts as failure.
    m_fallbackTimer.start();
}

void LocationManager::startReplay(const QString& path)
{
    auto* file = new QFile(path);
    if (!file->open(QIODevice::ReadOnly)) {
        Log::write(QStringLiteral("location: cannot read route %1").arg(path));
        delete file;
        return;
    }
    auto* nmea = new QNmeaPositionInfoSource(QNmeaPositionInfoSource::SimulationMode, this);
    nmea->setUserEquivalentRangeError(ReplayRangeError);
    file->setParent(nmea);
    nmea->setDevice(file);
    adopt(nmea);
    m_replayDevice = file;
    m_replaying = path;
    if (m_updating)
        m_source->startUpdates();
}

void LocationManager::fallBackToReplay(const QString& reason)
{
    Log::write(QStringLiteral("location: %1 %2, replaying %3")
                   .arg(m_source ? m_source->sourceName() : QStringLiteral("platform source"),
                        reason, QString::fromLatin1(DemoRoute)));
    dropSource();
    startReplay(QString::fromLatin1(DemoRoute));
}

void LocationManager::restartReplay()
{
    const QString path = m_replaying;
    dropSource();
    startReplay(path);
}

void LocationManager::onPositionUpdated(const QGeoPositionInfo& info)
{
    m_fallbackTimer.stop();
    if (!m_updating || !info.coordinate().isValid())
        return;
    const double accuracy = info.hasAttribute(QGeoPositionInfo::HorizontalAccuracy)
                                ? info.attribute(QGeoPositionInfo::HorizontalAccuracy)
                                : -1.0;
    // The replay source reads one fix ahead; once the file is used up the fix
    // just delivered is the last, so the route starts over after a pause.
    if (m_replayDevice && m_replayDevice->atEnd())
        m_restartTimer.start();
    emit didUpdateLocation(info.coordinate().latitude(), info.coordinate().longitude(), accuracy);
}
