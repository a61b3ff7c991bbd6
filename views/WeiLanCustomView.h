#pragma once

#include "views/HalfDialView.h"

// The geofence page's dial: a grey half circle with the radius scale from
// 30 m to 3 km written around it.
class WeiLanCustomView : public HalfDialView
{
    Q_OBJECT

public:
    using HalfDialView::HalfDialView;

    // One scale label: its text and the top left point it is written at.
    struct ScaleLabel
    {
        QString text;
        QPointF topLeft;
    };
    static QList<ScaleLabel> scaleLabels(const QSizeF& size);

protected:
    void draw(QPainter& painter, const QSizeF& size) const override;
};
