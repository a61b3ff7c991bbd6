#pragma once

#include "platform/map/MapAnnotation.h"

// A plain mark: a coordinate with a title and a subtitle, all settable.
class MapPointAnnotation : public MapAnnotation
{
    Q_OBJECT

public:
    MapPointAnnotation() = default;
    MapPointAnnotation(const MapCoordinate& coordinate, const QString& title,
                       const QString& subtitle);

    MapCoordinate coordinate() const override { return m_coordinate; }
    void setCoordinate(const MapCoordinate& coordinate);
    QString title() const override { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    QString subtitle() const override { return m_subtitle; }
    void setSubtitle(const QString& subtitle) { m_subtitle = subtitle; }

private:
    MapCoordinate m_coordinate;
    QString m_title;
    QString m_subtitle;
};

using MapPointAnnotationPtr = std::shared_ptr<MapPointAnnotation>;
