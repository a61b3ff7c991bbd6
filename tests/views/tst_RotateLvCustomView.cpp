#include "views/PixelProbe.h"
#include "views/RotateLvCustomView.h"

#include <QPainter>
#include <QtTest>
#include <numbers>

// The logo along the half circle. With a four-colour test logo (red top left,
// green top right, blue bottom left, yellow bottom right) every turn and the
// top-to-bottom mirroring show as a different corner colour.
class tst_RotateLvCustomView : public QObject
{
    Q_OBJECT

private slots:
    void placementAtTheEndsAndTheTop();
    void rotateMirrorsAndTurnsClockwise();
    void rotateStretchesANonSquareImageFromItsCorner();
    void scalingKeepsThePictureAtTheNewSize();
    void logoSitsAndTurnsAlongTheHalfCircle();
    void drawingMatchesRotatingTheScaledLogo();
    void scaledLogoFollowsTheViewWidth();
    void appLogoIsAvailable();
};

namespace {

constexpr double pi = std::numbers::pi;
const QColor red(220, 30, 30);
const QColor green(30, 200, 60);
const QColor blue(30, 60, 220);
const QColor yellow(240, 220, 20);

QImage quadrants(int width = 60, int height = 60)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const int halfWidth = width / 2;
    const int halfHeight = height / 2;
    painter.fillRect(0, 0, halfWidth, halfHeight, red);
    painter.fillRect(halfWidth, 0, width - halfWidth, halfHeight, green);
    painter.fillRect(0, halfHeight, halfWidth, height - halfHeight, blue);
    painter.fillRect(halfWidth, halfHeight, width - halfWidth, height - halfHeight, yellow);
    return image;
}

QImage viewAt(float process, const QSize& size = QSize(320, 200))
{
    RotateLvCustomView view;
    view.setLogo(quadrants());
    view.setMyProcess(process);
    return view.toImage(size);
}

// The four corner colours of a square around `centre`, `offset` in from it.
void verifyCorners(const QImage& image, const QPointF& centre, double offset,
                   const QList<QColor>& topLeftTopRightBottomLeftBottomRight)
{
    const QList<QPointF> corners = {
        centre + QPointF(-offset, -offset), centre + QPointF(offset, -offset),
        centre + QPointF(-offset, offset), centre + QPointF(offset, offset)};
    for (int i = 0; i < 4; ++i) {
        const QPointF& point = corners[i];
        if (!image.rect().contains(point.toPoint()))
            continue;
        QVERIFY_COLOUR(image, point.x(), point.y(), topLeftTopRightBottomLeftBottomRight[i]);
    }
}

} // namespace

void tst_RotateLvCustomView::placementAtTheEndsAndTheTop()
{
    const QSizeF size(320, 200);
    const auto left = RotateLvCustomView::placement(size, 0);
    QCOMPARE(left.logoWidth, 30.0);
    QCOMPARE(left.radius, 145.0);
    QVERIFY(qAbs(left.centre.x() - 15) < 1e-4 && qAbs(left.centre.y() - 200) < 1e-4);
    QVERIFY(qAbs(left.turn - pi / 2) < 1e-6);

    const auto top = RotateLvCustomView::placement(size, 0.5f);
    QVERIFY(qAbs(top.centre.x() - 160) < 1e-4 && qAbs(top.centre.y() - 55) < 1e-4);
    QVERIFY(qAbs(top.turn - pi) < 1e-6);

    const auto right = RotateLvCustomView::placement(size, 1);
    QVERIFY(qAbs(right.centre.x() - 305) < 1e-4 && qAbs(right.centre.y() - 200) < 1e-4);
    QVERIFY(qAbs(right.turn - 1.5 * pi) < 1e-6);

    // Products and the turn narrowed to single precision.
    const auto between = RotateLvCustomView::placement(size, 0.3f);
    QCOMPARE(between.centre.x(), 74.77114868164062);
    QCOMPARE(between.centre.y(), 82.6925277709961);
    QCOMPARE(between.turn, 2.5132741928100586);
}

void tst_RotateLvCustomView::rotateMirrorsAndTurnsClockwise()
{
    const QImage straight = RotateLvCustomView::rotate(quadrants(), 0);
    QCOMPARE(straight.size(), QSize(60, 60));
    verifyCorners(straight, QPointF(30, 30), 15, {blue, yellow, red, green});

    const QImage quarter = RotateLvCustomView::rotate(quadrants(), float(pi / 2));
    QCOMPARE(quarter.size(), QSize(60, 60));
    verifyCorners(quarter, QPointF(30, 30), 15, {red, blue, green, yellow});
}

void tst_RotateLvCustomView::rotateStretchesANonSquareImageFromItsCorner()
{
    // 40 × 20 on a 40 × 40 canvas, drawn from (−20, −10) around the centre, 40 × 40:
    // the top 10 rows stay empty and the picture runs off the bottom.
    const QImage turned = RotateLvCustomView::rotate(quadrants(40, 20), 0);
    QCOMPARE(turned.size(), QSize(40, 40));
    QVERIFY_CLEAR(turned, 20, 5);
    QVERIFY_COLOUR(turned, 10, 15, blue);
    QVERIFY_COLOUR(turned, 10, 35, red);
    QVERIFY_COLOUR(turned, 30, 15, yellow);
}

void tst_RotateLvCustomView::scalingKeepsThePictureAtTheNewSize()
{
    const QImage half = RotateLvCustomView::scaleToSize(quadrants(), 0.5f);
    QCOMPARE(half.deviceIndependentSize(), QSizeF(30, 30));
    verifyCorners(half, QPointF(15, 15), 7, {red, green, blue, yellow});
    const QImage twice = RotateLvCustomView::scaleImage(quadrants(), 2.0f);
    QCOMPARE(twice.size(), QSize(120, 120));
    QCOMPARE(twice.devicePixelRatio(), 1.0);
    verifyCorners(twice, QPointF(60, 60), 30, {red, green, blue, yellow});
}

void tst_RotateLvCustomView::logoSitsAndTurnsAlongTheHalfCircle()
{
    // Left end: turned by 90°, centre (15, 200); only its upper half is inside the view.
    verifyCorners(viewAt(0), QPointF(15, 200), 7, {red, blue, green, yellow});
    // Top: turned by 180°, centre (160, 55).
    const QImage top = viewAt(0.5f);
    verifyCorners(top, QPointF(160, 55), 7, {green, red, yellow, blue});
    QVERIFY_CLEAR(top, 160, 55 - 17);
    QVERIFY_CLEAR(top, 160 - 17, 55);
    QVERIFY_CLEAR(top, 160, 55 + 17);
    // Right end: turned by 270°, centre (305, 200).
    verifyCorners(viewAt(1), QPointF(305, 200), 7, {yellow, green, blue, red});
}

void tst_RotateLvCustomView::drawingMatchesRotatingTheScaledLogo()
{
    for (float process : {0.5f, 0.3f}) {
        const auto place = RotateLvCustomView::placement(QSizeF(320, 200), process);
        const QImage turned = RotateLvCustomView::rotate(
            RotateLvCustomView::scaleToSize(quadrants(), float(30.0 / 60)), float(place.turn));
        QImage expected(320, 200, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(place.centre - QPointF(15, 15), turned);
        painter.end();

        const QImage drawn = viewAt(process);
        int strong = 0;
        int largest = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x) {
                const QColor a = drawn.pixelColor(x, y);
                const QColor b = expected.pixelColor(x, y);
                const int d = qAbs(a.alpha() - b.alpha()) + qAbs(a.red() - b.red()) +
                              qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
                strong += d >= 128 ? 1 : 0;
                largest = qMax(largest, d);
            }
        // The same picture: at a tilt only the resampled edges differ (a tenth of
        // the logo's 900 pixels at most); a wrong turn or mirror changes most of it.
        QVERIFY2(strong < 90, qPrintable(QString::number(strong)));
        if (process == 0.5f)
            QVERIFY2(largest < 40, qPrintable(QString::number(largest)));
    }
}

void tst_RotateLvCustomView::scaledLogoFollowsTheViewWidth()
{
    RotateLvCustomView view;
    view.setLogo(quadrants());
    view.setMyProcess(0.5f);
    const QImage small = view.toImage(QSize(320, 200));
    QVERIFY_CLEAR(small, 160 - 25, 55);
    // Twice as wide: a 60 logo at (320, 200 − 290); the cached 30 would leave this clear.
    const QImage large = view.toImage(QSize(640, 400));
    QVERIFY_COLOUR(large, 320 - 25, 110 - 25, green);
    QVERIFY_COLOUR(large, 320 + 25, 110 + 25, blue);
    // Back at the first width, the same as before.
    QCOMPARE(view.toImage(QSize(320, 200)), small);
}

void tst_RotateLvCustomView::appLogoIsAvailable()
{
    const QImage logo = RotateLvCustomView::loadLogo();
    QVERIFY(!logo.isNull());
    QVERIFY(logo.width() >= 30);
    RotateLvCustomView view;
    view.setMyProcess(0.5f);
    const QImage drawn = view.toImage(QSize(320, 200));
    QVERIFY(PixelProbe::countOf(drawn, QRect(145, 40, 30, 30), PixelProbe::isOpaque) > 300);
    QCOMPARE(PixelProbe::countOf(drawn, QRect(0, 0, 320, 35), PixelProbe::isOpaque), 0);
}

QTEST_MAIN(tst_RotateLvCustomView)
#include "tst_RotateLvCustomView.moc"
