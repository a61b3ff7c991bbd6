#pragma once

#include "views/GaugeView.h"

// The week ring of the mileage page: a grey ring open at the bottom, filled
// clockwise in teal by the share of last week's mileage ridden this week.
class YuanHuanCustomView : public GaugeView
{
    Q_OBJECT
    Q_PROPERTY(float YuanHuanProcess READ getYuanHuanProcess WRITE setYuanHuanProcess)

public:
    using GaugeView::GaugeView;

    float getYuanHuanProcess() const { return m_process; }
    void setYuanHuanProcess(float process);

protected:
    void draw(QPainter& painter, const QSizeF& size) const override;

private:
    float m_process = 0;
};
