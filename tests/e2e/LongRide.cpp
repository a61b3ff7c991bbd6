#include "LongRide.h"

#include "screens/ScreenCatalog.h"
#include "screens/position/ViewControllerPos.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double MetresPerDegree = 111319.49;
}

LongRide::LongRide(DeviceServerSimulator& sim, const QString& devid, double baseLat, double baseLng)
    : m_sim(sim), m_devid(devid), m_baseLat(baseLat), m_baseLng(baseLng)
{
}

void LongRide::ride(int seconds)
{
    for (int i = 0; i < seconds; ++i) {
        ++m_elapsed;
        m_sim.advance(1);
        m_sim.setPosition(m_devid, latAt(m_elapsed), lngAt(m_elapsed));
    }
}

double LongRide::latAt(int second) const
{
    return m_baseLat + second * SpeedMetresPerSecond * std::numbers::sqrt2 / 2 / MetresPerDegree;
}

double LongRide::lngAt(int second) const
{
    const double metresPerDegree = MetresPerDegree * std::cos(m_baseLat * std::numbers::pi / 180);
    return m_baseLng + second * SpeedMetresPerSecond * std::numbers::sqrt2 / 2 / metresPerDegree;
}

PositionOnPhone::PositionOnPhone(AppContext& context)
{
    m_host.resize(360, 640);
    m_host.show();
    ScreenCatalog::install(m_storyboard, context);
    m_screen = m_storyboard.instantiate<ViewControllerPos>(QStringLiteral("ViewControllerPos"));
    m_screen->setParent(&m_host);
    m_screen->setBaseGeometry(QRect(0, 0, 360, 640));
    m_screen->show();
    m_screen->loadViewIfNeeded();
    m_screen->beginAppearanceTransition(true);
    m_screen->endAppearanceTransition();
}
