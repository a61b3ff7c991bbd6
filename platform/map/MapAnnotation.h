#pragma once

#include "platform/map/MapCoordinate.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <memory>

// Something the map marks at one position. The map and the screens that made it share it;
// a change of its coordinate moves its view on every map that shows it.
class MapAnnotation : public QObject
{
    Q_OBJECT

public:
    MapAnnotation() = default;

    virtual MapCoordinate coordinate() const = 0;
    virtual QString title() const { return QString(); }
    virtual QString subtitle() const { return QString(); }

    // The coordinate as a world point, kept up to date for the map's layout passes.
    QPointF worldPoint() const;

signals:
    void coordinateChanged();

protected:
    void coordinateWasSet();

private:
    mutable QPointF m_world;
    mutable bool m_worldKnown = false;
};

using MapAnnotationPtr = std::shared_ptr<MapAnnotation>;
