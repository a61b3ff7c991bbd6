#include "platform/ui/Theme.h"
#include "views/DiTanCustomView.h"
#include "views/PixelProbe.h"

#include <QtTest>

// The day bar in a 20 × 100 view: bar 2 wide, disc of radius 10.
class tst_DiTanCustomView : public QObject
{
    Q_OBJECT

private slots:
    void labelIsThreeTimesTheValueWithOneDecimal_data();
    void labelIsThreeTimesTheValueWithOneDecimal();
    void shortBarHidesUnderAGreyDiscOnTheBottom();
    void longBarCarriesABlackDiscOnItsTop();
    void fullBarPutsTheDiscHalfAWidthBelowTheTop();
};

namespace {

QImage barAt(float process)
{
    DiTanCustomView view;
    view.setDiTanProcess(process);
    return view.toImage(QSize(20, 100));
}

// White label pixels in the band of rows around a disc centre.
int whiteAround(const QImage& bar, int discY)
{
    return PixelProbe::countOf(bar, QRect(0, discY - 8, 20, 16), PixelProbe::isWhite);
}

} // namespace

void tst_DiTanCustomView::labelIsThreeTimesTheValueWithOneDecimal_data()
{
    QTest::addColumn<float>("process");
    QTest::addColumn<QString>("label");
    QTest::newRow("0") << 0.0f << "0.0";
    QTest::newRow("0.1") << 0.1f << "0.3";
    QTest::newRow("0.5") << 0.5f << "1.5";
    QTest::newRow("10 km of a day") << 0.69f << "2.1";
    QTest::newRow("1") << 1.0f << "3.0";
    QTest::newRow("unclamped") << 1.5f << "4.5";
}

void tst_DiTanCustomView::labelIsThreeTimesTheValueWithOneDecimal()
{
    QFETCH(float, process);
    QFETCH(QString, label);
    QCOMPARE(DiTanCustomView::labelText(process), label);
}

void tst_DiTanCustomView::shortBarHidesUnderAGreyDiscOnTheBottom()
{
    // At 0.1 the bar is 9 long, shorter than 10: the disc rests on the bottom (centre y 90).
    const QImage bar = barAt(0.1f);
    QVERIFY_COLOUR(bar, 10, 81, Theme::GaugeDisc);
    QVERIFY_COLOUR(bar, 10, 97.5, Theme::GaugeDisc);
    QVERIFY_CLEAR(bar, 10, 78);
    QVERIFY_CLEAR(bar, 1, 98);
    QVERIFY(whiteAround(bar, 90) > 20);
    QCOMPARE(PixelProbe::countOf(bar, bar.rect(), PixelProbe::isBlack), 0);

    // Empty: no bar at all, the same grey disc.
    const QImage empty = barAt(0);
    QVERIFY_COLOUR(empty, 10, 81, Theme::GaugeDisc);
    QCOMPARE(PixelProbe::countOf(empty, QRect(0, 0, 20, 79), PixelProbe::isOpaque), 0);
}

void tst_DiTanCustomView::longBarCarriesABlackDiscOnItsTop()
{
    // At 0.5 the bar is 45 long: its top is at y 55, where the black disc is centred.
    const QImage bar = barAt(0.5f);
    QVERIFY_COLOUR(bar, 10, 75, Qt::black);
    QVERIFY_COLOUR(bar, 9.5, 98, Qt::black);
    QVERIFY_CLEAR(bar, 7, 75);
    QVERIFY_CLEAR(bar, 12, 75);
    QVERIFY_COLOUR(bar, 10, 46, Qt::black);
    QVERIFY_CLEAR(bar, 10, 43);
    QVERIFY(whiteAround(bar, 55) > 20);
    QCOMPARE(whiteAround(bar, 90), 0);
}

void tst_DiTanCustomView::fullBarPutsTheDiscHalfAWidthBelowTheTop()
{
    const QImage bar = barAt(1);
    QVERIFY_COLOUR(bar, 10, 1, Qt::black);
    QVERIFY_COLOUR(bar, 10, 50, Qt::black);
    QVERIFY_COLOUR(bar, 10, 99, Qt::black);
    QVERIFY(whiteAround(bar, 10) > 20);
}

QTEST_MAIN(tst_DiTanCustomView)
#include "tst_DiTanCustomView.moc"
