#pragma once

#include "platform/map/MapOverlayRenderer.h"
#include "platform/map/MapPolyline.h"

#include <QColor>

// Strokes a polyline with a width in points and a colour. The map joins the lines of
// consecutive renderers of one style into one stroke, so a track sent in many pieces is
// drawn as one line.
class MapPolylineRenderer : public MapOverlayRenderer
{
public:
    explicit MapPolylineRenderer(MapPolylinePtr polyline);

    const MapPolylinePtr& polyline() const { return m_polyline; }
    double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width) { m_lineWidth = width; }
    QColor strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor& color) { m_strokeColor = color; }

    // Strokes this polyline alone.
    void draw(QPainter& painter, const MapCamera& camera) const override;
    // The pen every stroke of this style uses.
    static void applyPen(QPainter& painter, double width, const QColor& color);

private:
    MapPolylinePtr m_polyline;
    double m_lineWidth = 1.0;
    QColor m_strokeColor = QColor(0, 0, 0, 153);
};
