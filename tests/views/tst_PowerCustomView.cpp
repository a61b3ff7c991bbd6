#include "platform/ui/Theme.h"
#include "views/PixelProbe.h"
#include "views/PowerCustomView.h"

#include <QtTest>

// The battery cylinder in a 100 × 200 view: caps 50 high, body up to 150.
class tst_PowerCustomView : public QObject
{
    Q_OBJECT

private slots:
    void percentIsTruncatedAnd99ReadsHundred_data();
    void percentIsTruncatedAnd99ReadsHundred();
    void emptyBatteryIsTwoRedCapsOnTheBottom();
    void fullBatteryFillsTheView();
    void aQuarterIsRedAndMoreIsGreen();
    void percentSitsOnTheMiddleOfTheBody();
};

namespace {

QImage batteryAt(float process)
{
    PowerCustomView view;
    view.setPowerProcess(process);
    return view.toImage(QSize(100, 200));
}

// Rows of the view in which white text lies.
QRect whiteRows(const QImage& battery)
{
    return PixelProbe::boundsOf(battery, battery.rect(), PixelProbe::isWhite);
}

} // namespace

void tst_PowerCustomView::percentIsTruncatedAnd99ReadsHundred_data()
{
    QTest::addColumn<float>("process");
    QTest::addColumn<int>("shown");
    QTest::newRow("0") << 0.0f << 0;
    QTest::newRow("0.25") << 0.25f << 25;
    QTest::newRow("0.26") << 0.26f << 26;
    QTest::newRow("0.987 truncates") << 0.987f << 98;
    QTest::newRow("0.98") << 0.98f << 98;
    QTest::newRow("0.99") << 0.99f << 100;
    QTest::newRow("1") << 1.0f << 100;
    QTest::newRow("negative truncates towards zero") << -0.015f << -1;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0;
}

void tst_PowerCustomView::percentIsTruncatedAnd99ReadsHundred()
{
    QFETCH(float, process);
    QFETCH(int, shown);
    QCOMPARE(PowerCustomView::shownPercent(process), shown);
}

void tst_PowerCustomView::emptyBatteryIsTwoRedCapsOnTheBottom()
{
    const QImage battery = batteryAt(0);
    QVERIFY_COLOUR(battery, 50, 152, Theme::Alarm);
    QVERIFY_COLOUR(battery, 50, 198, Theme::Alarm);
    QVERIFY_COLOUR(battery, 2, 175, Theme::Alarm);
    QVERIFY_CLEAR(battery, 50, 147);
    QVERIFY_CLEAR(battery, 1, 151);
    QCOMPARE(PixelProbe::countOf(battery, QRect(0, 0, 100, 149), PixelProbe::isOpaque), 0);
}

void tst_PowerCustomView::fullBatteryFillsTheView()
{
    const QImage battery = batteryAt(1);
    QVERIFY_COLOUR(battery, 50, 1, Theme::Good);
    QVERIFY_COLOUR(battery, 2, 100, Theme::Good);
    QVERIFY_COLOUR(battery, 97, 30, Theme::Good);
    QVERIFY_COLOUR(battery, 50, 198, Theme::Good);
    // The caps are ellipses: the corners stay clear.
    QVERIFY_CLEAR(battery, 1, 1);
    QVERIFY_CLEAR(battery, 98, 198);
}

void tst_PowerCustomView::aQuarterIsRedAndMoreIsGreen()
{
    // The body's side, left of any text, in the middle of the fill.
    const QImage quarter = batteryAt(0.25f);
    QVERIFY_COLOUR(quarter, 3, 150, Theme::Alarm);
    QVERIFY_COLOUR(quarter, 50, 124, Theme::Alarm);
    QVERIFY_CLEAR(quarter, 50, 110);
    const QImage more = batteryAt(0.26f);
    QVERIFY_COLOUR(more, 3, 150, Theme::Good);
}

void tst_PowerCustomView::percentSitsOnTheMiddleOfTheBody()
{
    // Middle line m = 200 − 25 − F / 2: 175 when empty, 100 when full.
    const QRect empty = whiteRows(batteryAt(0));
    QVERIFY2(empty.top() > 155 && empty.bottom() < 195 && empty.center().y() > 168 &&
                 empty.center().y() < 182,
             qPrintable(QString("%1..%2").arg(empty.top()).arg(empty.bottom())));
    const QRect full = whiteRows(batteryAt(1));
    QVERIFY2(full.center().y() > 93 && full.center().y() < 107,
             qPrintable(QString("%1..%2").arg(full.top()).arg(full.bottom())));
    // "100%" is wider than "0%", both centred on the middle.
    QVERIFY(full.width() > empty.width() + 15);
    QVERIFY(qAbs(full.center().x() - 50) < 6);
    QVERIFY(qAbs(empty.center().x() - 50) < 6);
}

QTEST_MAIN(tst_PowerCustomView)
#include "tst_PowerCustomView.moc"
