#pragma once

#include "views/GaugeView.h"

// One day bar of the mileage page: a black bar rising from the bottom with a
// disc at its top that shows the day's low-carbon figure (three times the value).
class DiTanCustomView : public GaugeView
{
    Q_OBJECT
    Q_PROPERTY(float DiTanProcess READ getDiTanProcess WRITE setDiTanProcess)

public:
    using GaugeView::GaugeView;

    float getDiTanProcess() const { return m_process; }
    void setDiTanProcess(float process);

    // The figure written on the disc: three times the value, one decimal.
    static QString labelText(float process);

protected:
    void draw(QPainter& painter, const QSizeF& size) const override;

private:
    float m_process = 0;
};
