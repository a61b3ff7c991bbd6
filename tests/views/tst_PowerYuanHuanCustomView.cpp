#include "platform/ui/Theme.h"
#include "views/ArcAngles.h"
#include "views/PixelProbe.h"
#include "views/PowerYuanHuanCustomView.h"

#include <QtTest>
#include <numbers>

// The battery half ring in a 280 × 140 view: line 9, centre (140, 140), radius 135.5.
class tst_PowerYuanHuanCustomView : public QObject
{
    Q_OBJECT

private slots:
    void emptyValueIsTheWholeUpperHalf();
    void halfValueRunsFromTheTopToTheRightEnd();
    void fullValueDrawsNothing();
    void arcHasRoundCapsAndNoTrack();
};

namespace {

QImage halfRingAt(float process)
{
    PowerYuanHuanCustomView view;
    view.setYuanHuanProcess(process);
    return view.toImage(QSize(280, 140));
}

QPointF onRing(double degrees, double distance = 135.5)
{
    return ArcAngles::pointAt(QPointF(140, 140), distance, degrees * std::numbers::pi / 180);
}

} // namespace

#define QVERIFY_AT(image, degrees, colour)                                                         \
    do {                                                                                           \
        const QPointF point = onRing(degrees);                                                     \
        QVERIFY_COLOUR(image, point.x(), point.y(), colour);                                       \
    } while (false)
#define QVERIFY_CLEAR_AT(image, degrees)                                                           \
    do {                                                                                           \
        const QPointF point = onRing(degrees);                                                     \
        QVERIFY_CLEAR(image, point.x(), point.y());                                                \
    } while (false)

void tst_PowerYuanHuanCustomView::emptyValueIsTheWholeUpperHalf()
{
    const QImage ring = halfRingAt(0);
    for (double degrees : {182.0, 225.0, 270.0, 315.0, 358.0})
        QVERIFY_AT(ring, degrees, Theme::Accent);
}

void tst_PowerYuanHuanCustomView::halfValueRunsFromTheTopToTheRightEnd()
{
    const QImage ring = halfRingAt(0.5f);
    for (double degrees : {185.0, 225.0, 265.0})
        QVERIFY_CLEAR_AT(ring, degrees);
    for (double degrees : {275.0, 315.0, 358.0})
        QVERIFY_AT(ring, degrees, Theme::Accent);
}

void tst_PowerYuanHuanCustomView::fullValueDrawsNothing()
{
    const QImage ring = halfRingAt(1);
    QCOMPARE(PixelProbe::countOf(ring, ring.rect(), PixelProbe::isOpaque), 0);
}

void tst_PowerYuanHuanCustomView::arcHasRoundCapsAndNoTrack()
{
    // At 0.75 the arc starts at 315°; the round cap reaches 4.5 back along the ring.
    const QImage ring = halfRingAt(0.75f);
    QVERIFY_AT(ring, 314.0, Theme::Accent);
    QVERIFY_CLEAR_AT(ring, 310.0);
    QVERIFY_CLEAR_AT(ring, 270.0);
    QVERIFY_AT(ring, 340.0, Theme::Accent);
}

QTEST_MAIN(tst_PowerYuanHuanCustomView)
#include "tst_PowerYuanHuanCustomView.moc"
