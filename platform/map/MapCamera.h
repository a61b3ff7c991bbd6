#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// What part of the world a map shows: the world point at the centre of a viewport of a
// given size, at a zoom level. Converts between world points and viewport points.
class MapCamera
{
public:
    MapCamera() = default;
    MapCamera(const QPointF& centerWorld, double zoom, const QSizeF& viewport);

    QPointF centerWorld() const { return m_center; }
    double zoom() const { return m_zoom; }
    QSizeF viewport() const { return m_viewport; }
    // Points per world unit.
    double scale() const { return m_scale; }

    QPointF toView(const QPointF& world) const;
    QPointF toWorld(const QPointF& view) const;
    // The world rectangle the viewport shows, widened by `marginPoints` on every side.
    QRectF visibleWorld(double marginPoints = 0) const;

private:
    QPointF m_center{0.5, 0.5};
    double m_zoom = 0;
    QSizeF m_viewport;
    double m_scale = 256;
};
