#pragma once

#include <QAbstractButton>
#include <QColor>

// An on/off switch: a rounded track, filled with the on-tint while on and outlined with the
// tint while off, and a round thumb that slides across. A tap flips it and sends
// valueChanged; setOn changes it without a signal. It can be drawn scaled about its centre.
class Switch : public QAbstractButton
{
    Q_OBJECT

public:
    // The natural size at scale 1, in points.
    static constexpr int NaturalWidth = 51;
    static constexpr int NaturalHeight = 31;

    explicit Switch(QWidget* parent = nullptr);

    bool isOn() const { return isChecked(); }
    void setOn(bool on);
    void setOnTintColor(const QColor& color);
    QColor onTintColor() const { return m_onTint; }
    void setTintColor(const QColor& color);
    QColor tintColor() const { return m_tint; }
    void setThumbTintColor(const QColor& color);
    QColor thumbTintColor() const { return m_thumb; }
    // Scale of the drawing in both directions about the widget's centre.
    void setScale(qreal scale);
    qreal scale() const { return m_scale; }

    // A tap as a finger gives it (tests and the tour).
    void tap();
    QSize sizeHint() const override;
    // The rectangle the track takes in the widget, after scaling.
    QRectF trackRect() const;

signals:
    void valueChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override;

private:
    QColor m_onTint = QColor(52, 199, 89);
    QColor m_tint = QColor(229, 229, 234);
    QColor m_thumb = Qt::white;
    qreal m_scale = 1.0;
};
