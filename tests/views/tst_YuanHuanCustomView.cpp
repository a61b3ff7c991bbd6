#include "platform/ui/Theme.h"
#include "views/ArcAngles.h"
#include "views/PixelProbe.h"
#include "views/YuanHuanCustomView.h"

#include <QtTest>
#include <numbers>

// The week ring in a 241 × 241 view: line 25, centre (120.5, 120.5), radius 108.
class tst_YuanHuanCustomView : public QObject
{
    Q_OBJECT

private slots:
    void emptyRingIsTheGreyTrackOpenAtTheBottom();
    void halfRingIsTealFromTheLowerLeftToTheTop();
    void fullRingIsTealOverAll280Degrees();
    void ringInAWideViewUsesTheSmallerSide();
};

namespace {

const QPointF centre(120.5, 120.5);
constexpr double radius = 108;

QImage ringAt(float process, QSize size = QSize(241, 241))
{
    YuanHuanCustomView view;
    view.setYuanHuanProcess(process);
    return view.toImage(size);
}

QPointF onRing(double degrees, double distance = radius)
{
    return ArcAngles::pointAt(centre, distance, degrees * std::numbers::pi / 180);
}

} // namespace

#define QVERIFY_RING(image, degrees, colour)                                                       \
    do {                                                                                           \
        const QPointF point = onRing(degrees);                                                     \
        QVERIFY_COLOUR(image, point.x(), point.y(), colour);                                       \
    } while (false)

void tst_YuanHuanCustomView::emptyRingIsTheGreyTrackOpenAtTheBottom()
{
    const QImage ring = ringAt(0);
    for (double degrees : {131.0, 180.0, 270.0, 360.0, 409.0})
        QVERIFY_RING(ring, degrees, Theme::GaugeRing);
    // Round caps reach half the line width past each end; the bottom stays open.
    QVERIFY_RING(ring, 126.0, Theme::GaugeRing);
    const QPointF pastCap = onRing(118);
    QVERIFY_CLEAR(ring, pastCap.x(), pastCap.y());
    const QPointF bottom = onRing(90);
    QVERIFY_CLEAR(ring, bottom.x(), bottom.y());
    QVERIFY_CLEAR(ring, centre.x(), centre.y());
    // The line is 25 wide around the radius.
    const QPointF inner = onRing(270, radius - 11);
    const QPointF outer = onRing(270, radius + 11);
    QVERIFY_COLOUR(ring, inner.x(), inner.y(), Theme::GaugeRing);
    QVERIFY_COLOUR(ring, outer.x(), outer.y(), Theme::GaugeRing);
    const QPointF inside = onRing(270, radius - 14);
    QVERIFY_CLEAR(ring, inside.x(), inside.y());
}

void tst_YuanHuanCustomView::halfRingIsTealFromTheLowerLeftToTheTop()
{
    // 130° + 140° = 270°, the top.
    const QImage ring = ringAt(0.5f);
    for (double degrees : {131.0, 200.0, 260.0})
        QVERIFY_RING(ring, degrees, Theme::Accent);
    for (double degrees : {285.0, 340.0, 409.0})
        QVERIFY_RING(ring, degrees, Theme::GaugeRing);
}

void tst_YuanHuanCustomView::fullRingIsTealOverAll280Degrees()
{
    const QImage ring = ringAt(1);
    for (double degrees : {131.0, 180.0, 270.0, 360.0, 409.0})
        QVERIFY_RING(ring, degrees, Theme::Accent);
    const QPointF bottom = onRing(90);
    QVERIFY_CLEAR(ring, bottom.x(), bottom.y());
}

void tst_YuanHuanCustomView::ringInAWideViewUsesTheSmallerSide()
{
    // 482 × 241: line 50, centre (241, 120.5), radius 120.5 − 25 = 95.5.
    const QImage ring = ringAt(0, QSize(482, 241));
    QVERIFY_COLOUR(ring, 241, 120.5 - 95.5, Theme::GaugeRing);
    QVERIFY_COLOUR(ring, 241, 2, Theme::GaugeRing);
    QVERIFY_CLEAR(ring, 241 - 130, 120.5);
    QVERIFY_COLOUR(ring, 241 - 95.5, 120.5, Theme::GaugeRing);
}

QTEST_MAIN(tst_YuanHuanCustomView)
#include "tst_YuanHuanCustomView.moc"
