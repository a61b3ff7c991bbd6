#include "platform/ui/Theme.h"
#include "views/ArcAngles.h"
#include "views/LightCustomView.h"
#include "views/MaxSpeedCustomView.h"
#include "views/PixelProbe.h"
#include "views/WeiLanCustomView.h"

#include <QtTest>
#include <functional>
#include <memory>
#include <numbers>

// The three half-circle dials in a 288 × 160 view: line 18, radius 107,
// centre (144, 160); knob of radius 7.2 at 83.6 from the centre.
class tst_HalfDialView : public QObject
{
    Q_OBJECT

private slots:
    void geometryOfTheSharedBase();
    void markerAndKnobFollowTheValue_data();
    void markerAndKnobFollowTheValue();
    void geofenceScaleLabelsSitAtTheirPoints();
    void maxSpeedChildrenZoneAndItsTurnedLabel();
    void lightDialIsTealRightOfTheValue();
};

namespace {

const QPointF centre(144, 160);
constexpr double radius = 107;
const QSize dialSize(288, 160);

QPointF onRing(double degrees, double distance = radius)
{
    return ArcAngles::pointAt(centre, distance, degrees * std::numbers::pi / 180);
}

template <typename Dial> QImage dialAt(float process)
{
    Dial dial;
    dial.setYuanHuanProcess(process);
    return dial.toImage(dialSize);
}

using Renderer = std::function<QImage(float)>;

} // namespace

Q_DECLARE_METATYPE(Renderer)

#define QVERIFY_AT(image, degrees, colour)                                                         \
    do {                                                                                           \
        const QPointF point = onRing(degrees);                                                     \
        QVERIFY_COLOUR(image, point.x(), point.y(), colour);                                       \
    } while (false)

void tst_HalfDialView::geometryOfTheSharedBase()
{
    const HalfDialView::Geometry left = HalfDialView::geometry(dialSize, 0);
    QCOMPARE(left.lineWidth, 18.0);
    QVERIFY(qAbs(left.radius - 107) < 1e-4);
    QCOMPARE(left.centre, centre);
    QVERIFY(qAbs(left.valueAngle - std::numbers::pi) < 1e-6);
    QVERIFY(qAbs(left.knobRadius - 7.2) < 1e-6);
    QVERIFY(qAbs(left.knobCentre.x() - (144 - 83.6)) < 1e-4);
    QVERIFY(qAbs(left.knobCentre.y() - 160) < 1e-4);

    const HalfDialView::Geometry top = HalfDialView::geometry(dialSize, 0.5f);
    QVERIFY(qAbs(top.valueAngle - 1.5 * std::numbers::pi) < 1e-6);
    QVERIFY(qAbs(top.knobCentre.x() - 144) < 1e-4);
    QVERIFY(qAbs(top.knobCentre.y() - (160 - 83.6)) < 1e-4);

    const HalfDialView::Geometry right = HalfDialView::geometry(dialSize, 1);
    QVERIFY(qAbs(right.valueAngle - 2 * std::numbers::pi) < 1e-6);
    QVERIFY(qAbs(right.knobCentre.x() - (144 + 83.6)) < 1e-4);

    // Offsets and sums in single precision.
    const HalfDialView::Geometry between = HalfDialView::geometry(dialSize, 0.3f);
    QCOMPARE(between.knobCentre.x(), 94.86116027832031);
    QCOMPARE(between.knobCentre.y(), 92.36617279052734);
}

void tst_HalfDialView::markerAndKnobFollowTheValue_data()
{
    QTest::addColumn<Renderer>("render");
    QTest::addColumn<bool>("marker");
    QTest::addColumn<float>("process");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QColor>("track"); // the ring's colour just beside the marker
    const QColor light = Theme::GaugeTrack;
    const Renderer weiLan = dialAt<WeiLanCustomView>;
    const Renderer maxSpeed = dialAt<MaxSpeedCustomView>;
    const Renderer lightSpeed = dialAt<LightCustomView>;
    QTest::newRow("WeiLan at 0") << weiLan << true << 0.0f << 180.0 << light;
    QTest::newRow("WeiLan at 0.5") << weiLan << true << 0.5f << 270.0 << light;
    QTest::newRow("WeiLan at 1") << weiLan << true << 1.0f << 360.0 << light;
    QTest::newRow("MaxSpeed at 0") << maxSpeed << true << 0.0f << 180.0 << Theme::GaugeZone;
    QTest::newRow("MaxSpeed at 0.5") << maxSpeed << true << 0.5f << 270.0 << light;
    QTest::newRow("MaxSpeed at 1") << maxSpeed << true << 1.0f << 360.0 << light;
    QTest::newRow("Light at 0") << lightSpeed << false << 0.0f << 180.0 << light;
    QTest::newRow("Light at 0.5") << lightSpeed << false << 0.5f << 270.0 << light;
    QTest::newRow("Light at 1") << lightSpeed << false << 1.0f << 360.0 << light;
}

void tst_HalfDialView::markerAndKnobFollowTheValue()
{
    QFETCH(Renderer, render);
    QFETCH(bool, marker);
    QFETCH(float, process);
    QFETCH(double, degrees);
    QFETCH(QColor, track);
    const QImage dial = render(process);

    // The knob, black, 83.6 from the centre at the value angle (its upper half at the ends).
    const QPointF knob = onRing(degrees, 83.6) + (process == 0.5f ? QPointF() : QPointF(0, -3));
    QVERIFY_COLOUR(dial, knob.x(), knob.y(), Qt::black);
    const QPointF pastKnob = onRing(degrees, 83.6 - 9);
    QVERIFY_CLEAR(dial, pastKnob.x(), pastKnob.y());

    if (!marker)
        return;
    // The marker covers 2° either side of the value on the ring, with butt caps: 4°
    // away (3.7 along the ring, less than the 9 a round cap would reach) is the track.
    const double inside = process == 0 ? 1 : process == 1 ? -1 : 0;
    QVERIFY_AT(dial, degrees + inside, Theme::Accent);
    if (process < 1)
        QVERIFY_AT(dial, degrees + 4, track);
    if (process > 0)
        QVERIFY_AT(dial, degrees - 4, Theme::GaugeTrack);
}

void tst_HalfDialView::geofenceScaleLabelsSitAtTheirPoints()
{
    const QList<WeiLanCustomView::ScaleLabel> labels = WeiLanCustomView::scaleLabels(dialSize);
    const QList<std::tuple<QString, double, double>> expected = {
        {"30", 13.006851196289062, 112.3223876953125},
        {"100", 33.076759338378906, 66.92435455322266},
        {"500", 72.5, 36.158363342285156},
        {"1K", 155.67886352539062, 26.509902954101562},
        {"2K", 236.20672607421875, 67.79327392578125},
        {"3K", 261.4615783691406, 117.24748229980469},
    };
    QCOMPARE(labels.size(), expected.size());
    const QImage dial = dialAt<WeiLanCustomView>(0);
    for (int i = 0; i < labels.size(); ++i) {
        const auto& [text, x, y] = expected[i];
        QCOMPARE(labels[i].text, text);
        QCOMPARE(labels[i].topLeft.x(), x);
        QCOMPARE(labels[i].topLeft.y(), y);
        // The point is the text's top left: black ink lies right of and below it only.
        const QPoint anchor = labels[i].topLeft.toPoint();
        const QRect ink = PixelProbe::boundsOf(dial, QRect(anchor - QPoint(12, 12), QSize(60, 40)),
                                               PixelProbe::isBlack);
        QVERIFY2(!ink.isEmpty(), qPrintable(text));
        QVERIFY2(ink.left() >= anchor.x() - 1 && ink.top() >= anchor.y(), qPrintable(text));
        QVERIFY2(ink.left() <= anchor.x() + 4 && ink.top() <= anchor.y() + 12, qPrintable(text));
    }
}

void tst_HalfDialView::maxSpeedChildrenZoneAndItsTurnedLabel()
{
    const QImage dial = dialAt<MaxSpeedCustomView>(0.5f);
    QVERIFY_AT(dial, 183.0, Theme::GaugeZone);
    QVERIFY_AT(dial, 207.0, Theme::GaugeZone);
    QVERIFY_AT(dial, 213.0, Theme::GaugeTrack);
    QVERIFY_AT(dial, 240.0, Theme::GaugeTrack);

    const QPointF labelCentre = MaxSpeedCustomView::zoneLabelCentre(dialSize);
    QCOMPARE(labelCentre.x(), 42.58653259277344);
    QCOMPARE(labelCentre.y(), 133.77268981933594);
    QVERIFY(qAbs(MaxSpeedCustomView::zoneLabelDegrees() + 75.0) < 1e-5);

    // Written along the ring, nearly upright: the white ink is taller than wide and
    // runs from lower left to upper right around the label's centre.
    const QRect area(labelCentre.toPoint() - QPoint(30, 30), QSize(60, 60));
    const QRect ink = PixelProbe::boundsOf(dial, area, PixelProbe::isWhite);
    QVERIFY2(ink.height() > 24 && ink.width() < ink.height(),
             qPrintable(QString("%1 x %2").arg(ink.width()).arg(ink.height())));
    QVERIFY(qAbs(ink.center().x() - labelCentre.x()) < 4);
    QVERIFY(qAbs(ink.center().y() - labelCentre.y()) < 4);
    const int upperRight = PixelProbe::countOf(
        dial, QRect(labelCentre.toPoint() + QPoint(0, -16), QSize(8, 8)), PixelProbe::isWhite);
    const int upperLeft = PixelProbe::countOf(
        dial, QRect(labelCentre.toPoint() + QPoint(-8, -16), QSize(8, 8)), PixelProbe::isWhite);
    QVERIFY2(upperRight > upperLeft, qPrintable(QString("%1 %2").arg(upperRight).arg(upperLeft)));
}

void tst_HalfDialView::lightDialIsTealRightOfTheValue()
{
    const QImage low = dialAt<LightCustomView>(15.0f / 180);
    QVERIFY_AT(low, 192.0, Theme::GaugeTrack);
    for (double degrees : {198.0, 270.0, 358.0})
        QVERIFY_AT(low, degrees, Theme::Accent);

    const QImage high = dialAt<LightCustomView>(165.0f / 180);
    for (double degrees : {182.0, 270.0, 342.0})
        QVERIFY_AT(high, degrees, Theme::GaugeTrack);
    QVERIFY_AT(high, 348.0, Theme::Accent);

    const QImage right = dialAt<LightCustomView>(1);
    QCOMPARE(PixelProbe::countOf(right, right.rect(), PixelProbe::near(Theme::Accent)), 0);
    QVERIFY_AT(right, 358.0, Theme::GaugeTrack);
}

QTEST_MAIN(tst_HalfDialView)
#include "tst_HalfDialView.moc"
