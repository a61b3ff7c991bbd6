#include "screens/position/ViewControllerTestMap.h"

#include "platform/map/MapView.h"

ViewControllerTestMap::ViewControllerTestMap(QWidget* parent) : Screen(parent) {}

void ViewControllerTestMap::viewDidAppear()
{
    m_mapView = new MapView(QRectF(0, 0, width(), height() * 0.7), this);
    m_mapView->setObjectName(QStringLiteral("mapView"));
    m_mapView->setDelegate(this);
    m_mapView->show();
}
