#pragma once

#include "views/GaugeView.h"

// The battery page's half ring: a teal arc over the top of a half circle whose
// left part, the share given by the value, is left empty.
class PowerYuanHuanCustomView : public GaugeView
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
