#pragma once

#include "platform/map/MapView.h"
#include "platform/map/MapViewDelegate.h"
#include "platform/ui/Screen.h"

#include <QPointer>

// A bare map screen for trying the map: at each appearance a map over the upper 70 % of
// the screen, with the screen as its delegate.
class ViewControllerTestMap : public Screen, public MapViewDelegate
{
    Q_OBJECT

public:
    explicit ViewControllerTestMap(QWidget* parent = nullptr);

protected:
    void viewDidAppear() override;

private:
    QPointer<MapView> m_mapView;
};
