#pragma once

#include "views/HalfDialView.h"

// The light-speed dial: a grey half circle whose part right of the value is teal.
class LightCustomView : public HalfDialView
{
    Q_OBJECT

public:
    using HalfDialView::HalfDialView;

protected:
    void draw(QPainter& painter, const QSizeF& size) const override;
};
