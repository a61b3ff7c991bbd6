#include "views/ArcAngles.h"

#include <QtTest>
#include <numbers>

// Converting the gauges' clockwise radians into QPainter's counter-clockwise degrees.
class tst_ArcAngles : public QObject
{
    Q_OBJECT

private slots:
    void sweepRunsThroughIncreasingAngles_data();
    void sweepRunsThroughIncreasingAngles();
    void directionsOnScreen();
    void pathGoesClockwiseOnScreen();
    void emptyAndFullArcs();
};

namespace {
constexpr double pi = std::numbers::pi;
}

void tst_ArcAngles::sweepRunsThroughIncreasingAngles_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("end");
    QTest::addColumn<double>("sweep");
    QTest::newRow("left to right over the top") << pi << 2 * pi << pi;
    QTest::newRow("open ring 130° to 410°")
        << 2.2689279859807363 << 7.155849974788643 << 4.886921988807907;
    QTest::newRow("equal ends") << 2 * pi << 2 * pi << 0.0;
    QTest::newRow("end before start wraps") << 2.5 * pi << 2 * pi << 1.5 * pi;
    QTest::newRow("exactly a full turn") << 0.0 << 2 * pi << 2 * pi;
    QTest::newRow("more than a full turn") << 1.0 << 1.0 + 3 * pi << 2 * pi;
}

void tst_ArcAngles::sweepRunsThroughIncreasingAngles()
{
    QFETCH(double, start);
    QFETCH(double, end);
    QFETCH(double, sweep);
    QVERIFY2(qAbs(ArcAngles::sweep(start, end) - sweep) < 1e-12,
             qPrintable(QString::number(ArcAngles::sweep(start, end), 'g', 17)));
}

void tst_ArcAngles::directionsOnScreen()
{
    // 0 is right, π/2 down, π left and 3π/2 up; QPainter calls down −90°.
    QCOMPARE(ArcAngles::toQtDegrees(0), 0.0);
    QVERIFY(qFuzzyCompare(ArcAngles::toQtDegrees(pi / 2), -90.0));
    QVERIFY(qFuzzyCompare(ArcAngles::toQtDegrees(pi), -180.0));
    QVERIFY(qFuzzyCompare(ArcAngles::toQtDegrees(1.5 * pi), -270.0));

    const QPointF centre(100, 100);
    const QPointF down = ArcAngles::pointAt(centre, 10, pi / 2);
    const QPointF up = ArcAngles::pointAt(centre, 10, 1.5 * pi);
    QVERIFY(qAbs(down.x() - 100) < 1e-9 && qAbs(down.y() - 110) < 1e-9);
    QVERIFY(qAbs(up.x() - 100) < 1e-9 && qAbs(up.y() - 90) < 1e-9);
}

void tst_ArcAngles::pathGoesClockwiseOnScreen()
{
    // A quarter from the right to the bottom passes through the lower right.
    const QPainterPath quarter = ArcAngles::path(QPointF(0, 0), 10, 0, pi / 2);
    const QPointF first = quarter.pointAtPercent(0);
    const QPointF middle = quarter.pointAtPercent(0.5);
    const QPointF last = quarter.pointAtPercent(1);
    QVERIFY(qAbs(first.x() - 10) < 1e-6 && qAbs(first.y()) < 1e-6);
    QVERIFY2(middle.x() > 6 && middle.y() > 6,
             qPrintable(QString("%1 %2").arg(middle.x()).arg(middle.y())));
    QVERIFY(qAbs(last.x()) < 1e-6 && qAbs(last.y() - 10) < 1e-6);

    // From the left over the top to the right: the middle is at the top.
    const QPainterPath upper = ArcAngles::path(QPointF(0, 0), 10, pi, 2 * pi);
    const QPointF top = upper.pointAtPercent(0.5);
    QVERIFY(qAbs(top.x()) < 1e-3 && qAbs(top.y() + 10) < 1e-3);
}

void tst_ArcAngles::emptyAndFullArcs()
{
    QVERIFY(ArcAngles::path(QPointF(0, 0), 10, 2 * pi, 2 * pi).isEmpty());
    const QPainterPath full = ArcAngles::path(QPointF(0, 0), 10, 0.3, 0.3 + 4 * pi);
    QVERIFY(qAbs(full.length() - 2 * pi * 10) < 0.3);
    const QPainterPath wrapped = ArcAngles::path(QPointF(0, 0), 10, 2.5 * pi, 2 * pi);
    QVERIFY(qAbs(wrapped.length() - 1.5 * pi * 10) < 0.3);
}

QTEST_MAIN(tst_ArcAngles)
#include "tst_ArcAngles.moc"
