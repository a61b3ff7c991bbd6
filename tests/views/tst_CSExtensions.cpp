#include "platform/Log.h"
#include "views/CSExtensions.h"
#include "views/PixelProbe.h"

#include <QPainter>
#include <QtTest>

// Cutting, scaling and turning images. The test image is 100 × 50 with four
// upright bands, 25 wide each: red, green, blue, yellow from left to right.
class tst_CSExtensions : public QObject
{
    Q_OBJECT

private slots:
    void proportionalRectangles_data();
    void proportionalRectangles();
    void coverKeepsTheMiddle();
    void fitLeavesTransparentBands();
    void sameSizeIsDrawnUnscaled();
    void stretchSqueezes();
    void turningMakesTheBoundingCanvas();
    void cutTakesPixelsNotPoints();
    void emptyTargetLogsAndGivesNone();
};

namespace {

const QColor red(220, 30, 30);
const QColor green(30, 200, 60);
const QColor blue(30, 60, 220);
const QColor yellow(240, 220, 20);

QImage bands()
{
    QImage image(100, 50, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const QColor colours[] = {red, green, blue, yellow};
    for (int i = 0; i < 4; ++i)
        painter.fillRect(i * 25, 0, 25, 50, colours[i]);
    return image;
}

} // namespace

void tst_CSExtensions::proportionalRectangles_data()
{
    QTest::addColumn<QSizeF>("source");
    QTest::addColumn<QSizeF>("target");
    QTest::addColumn<bool>("cover");
    QTest::addColumn<QRectF>("drawn");
    QTest::newRow("wide, cover") << QSizeF(100, 50) << QSizeF(50, 50) << true
                                 << QRectF(-25, 0, 100, 50);
    QTest::newRow("wide, fit") << QSizeF(100, 50) << QSizeF(50, 50) << false
                               << QRectF(0, 12.5, 50, 25);
    QTest::newRow("tall, cover") << QSizeF(50, 100) << QSizeF(50, 50) << true
                                 << QRectF(0, -25, 50, 100);
    QTest::newRow("tall, fit") << QSizeF(50, 100) << QSizeF(50, 50) << false
                               << QRectF(12.5, 0, 25, 50);
    QTest::newRow("same shape, larger")
        << QSizeF(40, 20) << QSizeF(80, 40) << true << QRectF(0, 0, 80, 40);
    QTest::newRow("same size") << QSizeF(30, 70) << QSizeF(30, 70) << false << QRectF(0, 0, 30, 70);
}

void tst_CSExtensions::proportionalRectangles()
{
    QFETCH(QSizeF, source);
    QFETCH(QSizeF, target);
    QFETCH(bool, cover);
    QFETCH(QRectF, drawn);
    QCOMPARE(CSExtensions::proportionalRect(source, target, cover), drawn);
}

void tst_CSExtensions::coverKeepsTheMiddle()
{
    const QImage covered =
        CSExtensions::imageByScalingProportionallyToMinimumSize(bands(), QSizeF(50, 50));
    QCOMPARE(covered.size(), QSize(50, 50));
    QVERIFY_COLOUR(covered, 1, 25, green);
    QVERIFY_COLOUR(covered, 24, 1, green);
    QVERIFY_COLOUR(covered, 26, 48, blue);
    QVERIFY_COLOUR(covered, 49, 25, blue);
}

void tst_CSExtensions::fitLeavesTransparentBands()
{
    const QImage fitted = CSExtensions::imageByScalingProportionallyToSize(bands(), QSizeF(50, 50));
    QCOMPARE(fitted.size(), QSize(50, 50));
    QVERIFY_CLEAR(fitted, 25, 5);
    QVERIFY_CLEAR(fitted, 25, 11);
    QVERIFY_CLEAR(fitted, 25, 38);
    QVERIFY_CLEAR(fitted, 25, 45);
    QVERIFY_COLOUR(fitted, 5, 14, red);
    QVERIFY_COLOUR(fitted, 18, 25, green);
    QVERIFY_COLOUR(fitted, 31, 25, blue);
    QVERIFY_COLOUR(fitted, 45, 35, yellow);
}

void tst_CSExtensions::sameSizeIsDrawnUnscaled()
{
    const QImage source = bands();
    QCOMPARE(CSExtensions::imageByScalingProportionallyToMinimumSize(source, QSizeF(100, 50)),
             source);
    QCOMPARE(CSExtensions::imageByScalingProportionallyToSize(source, QSizeF(100, 50)), source);
    QCOMPARE(CSExtensions::imageRotatedByDegrees(source, 0), source);
}

void tst_CSExtensions::stretchSqueezes()
{
    const QImage squeezed = CSExtensions::imageByScalingToSize(bands(), QSizeF(50, 50));
    QCOMPARE(squeezed.size(), QSize(50, 50));
    QVERIFY_COLOUR(squeezed, 6, 2, red);
    QVERIFY_COLOUR(squeezed, 18, 47, green);
    QVERIFY_COLOUR(squeezed, 31, 25, blue);
    QVERIFY_COLOUR(squeezed, 44, 48, yellow);
    QCOMPARE(PixelProbe::countOf(squeezed, squeezed.rect(),
                                 [](const QColor& c) { return c.alpha() < 250; }),
             0);
}

void tst_CSExtensions::turningMakesTheBoundingCanvas()
{
    // Clockwise by a right angle: the left band ends at the top.
    const QImage byDegrees = CSExtensions::imageRotatedByDegrees(bands(), 90);
    QCOMPARE(byDegrees.size(), QSize(50, 100));
    QVERIFY_COLOUR(byDegrees, 25, 10, red);
    QVERIFY_COLOUR(byDegrees, 3, 40, green);
    QVERIFY_COLOUR(byDegrees, 47, 60, blue);
    QVERIFY_COLOUR(byDegrees, 25, 90, yellow);
    QCOMPARE(CSExtensions::imageRotatedByRadians(bands(), M_PI / 2), byDegrees);

    // Counter-clockwise puts the left band at the bottom.
    const QImage back = CSExtensions::imageRotatedByDegrees(bands(), -90);
    QVERIFY_COLOUR(back, 25, 90, red);

    // 45°: (100 + 50) / √2 = 106.07 each way; the corners of the canvas stay clear.
    const QImage diagonal = CSExtensions::imageRotatedByDegrees(bands(), 45);
    QCOMPARE(diagonal.size(), QSize(107, 107));
    QVERIFY_CLEAR(diagonal, 2, 2);
    QVERIFY_CLEAR(diagonal, 104, 104);
    QVERIFY(!PixelProbe::clear(diagonal, 53, 53));
}

void tst_CSExtensions::cutTakesPixelsNotPoints()
{
    QImage retina = bands().scaled(200, 100);
    retina.setDevicePixelRatio(2);
    const QImage cut = CSExtensions::imageAtRect(retina, QRectF(0, 0, 10, 10));
    QCOMPARE(cut.size(), QSize(10, 10));
    QCOMPARE(cut.devicePixelRatio(), 1.0);
    QCOMPARE(cut.deviceIndependentSize(), QSizeF(10, 10));
    QVERIFY_COLOUR(cut, 9, 9, red);

    const QImage across = CSExtensions::imageAtRect(bands(), QRectF(20, 10, 10, 5));
    QCOMPARE(across.size(), QSize(10, 5));
    QVERIFY_COLOUR(across, 2, 2, red);
    QVERIFY_COLOUR(across, 7, 2, green);

    QCOMPARE(CSExtensions::imageAtRect(bands(), QRectF(95, 45, 10, 10)).size(), QSize(5, 5));
    QCOMPARE(CSExtensions::imageAtRect(bands(), QRectF(0.5, 0.5, 2, 2)).size(), QSize(3, 3));
    QVERIFY(CSExtensions::imageAtRect(bands(), QRectF(100, 0, 10, 10)).isNull());
    QVERIFY(CSExtensions::imageAtRect(bands(), QRectF(-20, -20, 10, 10)).isNull());
}

void tst_CSExtensions::emptyTargetLogsAndGivesNone()
{
    Log::Capture log;
    QVERIFY(
        CSExtensions::imageByScalingProportionallyToMinimumSize(bands(), QSizeF(0, 50)).isNull());
    QVERIFY(CSExtensions::imageByScalingProportionallyToSize(bands(), QSizeF(50, 0)).isNull());
    QVERIFY(CSExtensions::imageByScalingToSize(bands(), QSizeF(-5, 5)).isNull());
    QVERIFY(CSExtensions::imageByScalingToSize(bands(), QSizeF(qInf(), 5)).isNull());
    QCOMPARE(log.count("could not scale image"), 4);

    // Turning an empty image gives none without a word.
    log.clear();
    QVERIFY(CSExtensions::imageRotatedByDegrees(QImage(), 30).isNull());
    QVERIFY(log.lines().isEmpty());
}

QTEST_MAIN(tst_CSExtensions)
#include "tst_CSExtensions.moc"
