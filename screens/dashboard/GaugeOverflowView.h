#pragma once

#include "views/GaugeView.h"

#include <QPointer>
#include <QWidget>

// Shows a gauge whose drawing reaches past its own frame (the battery page's logo rides to
// the ends of a half circle whose centre is the frame's bottom edge, so half of it would be
// cut off there). The gauge keeps its frame and its value but is not shown itself; this
// view, larger by a margin on every side, paints it without cutting it.
class GaugeOverflowView : public QWidget
{
    Q_OBJECT

public:
    // The gauge and this view share a parent; give this view the gauge's frame grown by the
    // room its drawing needs.
    GaugeOverflowView(GaugeView* gauge, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<GaugeView> m_gauge;
};
