#pragma once

#include "views/GaugeView.h"

#include <QImage>

// The app's logo riding along a half circle: from the left end (0) over the
// top to the right end (1), turned as it goes. The battery page lays it over
// its half ring so that the logo sits at the moving end of the arc.
class RotateLvCustomView : public GaugeView
{
    Q_OBJECT
    Q_PROPERTY(float MyProcess READ getMyProcess WRITE setMyProcess)

public:
    explicit RotateLvCustomView(QWidget* parent = nullptr);

    float getMyProcess() const { return m_process; }
    void setMyProcess(float process);

    // The picture that rides the circle ("lvlogo2.png" unless another is set).
    QImage logo() const { return m_logo; }
    void setLogo(const QImage& logo);
    // "lvlogo2.png" from the app's images, or a drawn stand-in when it is missing.
    static QImage loadLogo();

    // Where the logo goes for one size and value.
    struct Placement
    {
        QPointF centre;
        double turn = 0; // radians, clockwise on screen
        double logoWidth = 0;
        double radius = 0;
    };
    static Placement placement(const QSizeF& size, float process);

    // The image redrawn at `factor` times its size at the screen's density.
    static QImage scaleToSize(const QImage& image, float factor);
    // The same at one pixel per point.
    static QImage scaleImage(const QImage& image, float factor);
    // The image turned clockwise by `radians` on a square canvas of its larger
    // side, drawn as a raw bitmap: mirrored top to bottom and, when it is not
    // square, stretched to the square from its own top left corner.
    static QImage rotate(const QImage& image, float radians);

protected:
    void draw(QPainter& painter, const QSizeF& size) const override;

private:
    static QImage scaled(const QImage& image, float factor, qreal density);
    const QImage& mirroredLogo(double logoWidth, qreal density) const;

    float m_process = 0;
    QImage m_logo;
    // The logo scaled and mirrored for the last width and density it was drawn at.
    mutable QImage m_mirrored;
    mutable double m_mirroredWidth = -1;
    mutable qreal m_mirroredDensity = 0;
};
