#pragma once

#include <QColor>

class QPainter;

// The style polylines are stroked in: a width in points and a colour. The map joins the
// lines of consecutive overlays of one style into one stroke, so a track sent in many
// pieces is drawn as one line.
class MapPolylineRenderer
{
public:
    double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width) { m_lineWidth = width; }
    QColor strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor& color) { m_strokeColor = color; }

    // The pen every stroke of this style uses.
    static void applyPen(QPainter& painter, double width, const QColor& color);

private:
    double m_lineWidth = 1.0;
    QColor m_strokeColor = QColor(0, 0, 0, 153);
};
