#include "platform/Log.h"
#include "poll/MyUtil.h"
#include "store/MyBasicInfo.h"
#include "store/MyUtil.h"
#include "support/TestApp.h"

#include <QtTest>
#include <limits>

// The numbers behind the alarms: geofence radius, distance, charge, the
// minutes since the last battery alarm, and what counts as a missing position.
class tst_PollArithmetic : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void radiusBands_data();
    void radiusBands();
    void distanceOfKnownPoints();
    void chargeRatio_data();
    void chargeRatio();
    void minutesSinceLastBatteryAlarm();
    void missingPosition_data();
    void missingPosition();
    void updateBasePosCopiesTextUnchanged();

private:
    std::unique_ptr<TestApp> m_app;
};

void tst_PollArithmetic::init()
{
    m_app = std::make_unique<TestApp>();
    Log::Quiet quiet;
    MyUtil::InitMyDateBase();
}

void tst_PollArithmetic::cleanup()
{
    m_app.reset();
}

void tst_PollArithmetic::radiusBands_data()
{
    QTest::addColumn<QString>("weilanradio");
    QTest::addColumn<int>("metres");
    QTest::newRow("fresh store") << "0" << 30;
    QTest::newRow("15") << "15.000000" << 30;
    QTest::newRow("just above 15") << "15.500000" << 31;
    QTest::newRow("27.5") << "27.500000" << 65;
    QTest::newRow("40") << "40.000000" << 100;
    // Single precision: (40.1 - 40) / 20 * 400 + 100 is 101.99997 as a float.
    QTest::newRow("40.1 in float") << "40.100000" << 101;
    QTest::newRow("40.15 in float") << "40.150000" << 103;
    QTest::newRow("50") << "50.000000" << 300;
    QTest::newRow("60") << "60.000000" << 500;
    QTest::newRow("80") << "80.000000" << 750;
    QTest::newRow("100") << "100.000000" << 1000;
    QTest::newRow("120") << "120.000000" << 1500;
    QTest::newRow("140") << "140.000000" << 2000;
    QTest::newRow("152.5") << "152.500000" << 2500;
    QTest::newRow("165") << "165.000000" << 3000;
    QTest::newRow("above 165") << "170" << 3000;
    QTest::newRow("not a number") << "wide" << 30;
}

void tst_PollArithmetic::radiusBands()
{
    QFETCH(QString, weilanradio);
    QFETCH(int, metres);
    Log::Quiet quiet;
    MyBasicInfo::SetValue("weilanradio", weilanradio);
    QCOMPARE(MyUtil::GetBanJing(), metres);
}

void tst_PollArithmetic::distanceOfKnownPoints()
{
    QCOMPARE(MyUtil::Distance(120.1551, 30.2741, 120.1551, 30.2741), 0.0);
    // One degree of latitude on a sphere of radius 6378137 m is 111319.49 m.
    QVERIFY(qAbs(MyUtil::Distance(120.0, 30.0, 120.0, 31.0) - 111319.4908) < 0.001);
    // Along the equator the longitude difference counts in full.
    QVERIFY(qAbs(MyUtil::Distance(10.0, 0.0, 11.0, 0.0) - 111319.4908) < 0.001);
    // Hangzhou to Shanghai, about 164 km; the order of the points does not matter.
    const double there = MyUtil::Distance(120.1551, 30.2741, 121.4737, 31.2304);
    const double back = MyUtil::Distance(121.4737, 31.2304, 120.1551, 30.2741);
    QVERIFY(qAbs(there - 164000.0) < 2000.0);
    QCOMPARE(there, back);
    // Across the equator and the prime meridian (negative coordinates).
    QVERIFY(qAbs(MyUtil::Distance(-0.5, -0.5, 0.5, 0.5) - 157417.0) < 50.0);
}

void tst_PollArithmetic::chargeRatio_data()
{
    QTest::addColumn<QString>("power");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<int>("percent");
    QTest::newRow("fresh store") << "0" << 0.0f << 0;
    QTest::newRow("below 29") << "20" << 0.0f << 0;
    QTest::newRow("29") << "29" << 0.0f << 0;
    // 0.45f times 100 in single precision is 45; in double it would be 44.
    QTest::newRow("34: the alarm level") << "34" << 0.45f << 45;
    QTest::newRow("34.2") << "34.2" << 0.468f << 46;
    QTest::newRow("38") << "38" << 0.81f << 81;
    QTest::newRow("40") << "40.0" << 0.9216f << 92;
    // 41.4 as a float is 41.4000015, not below 41.4.
    QTest::newRow("41.4") << "41.4" << 1.0f << 100;
    QTest::newRow("50") << "50" << 1.0f << 100;
    QTest::newRow("with a unit") << " 34V" << 0.45f << 45;
}

void tst_PollArithmetic::chargeRatio()
{
    QFETCH(QString, power);
    QFETCH(float, ratio);
    QFETCH(int, percent);
    Log::Quiet quiet;
    MyBasicInfo::SetValue("power", power);
    const float got = MyUtil::GetDianYaBiLv();
    QVERIFY2(qAbs(got - ratio) < 1e-5f, qPrintable(QString::number(got, 'g', 9)));
    const float scaled = got * 100.0f;
    QCOMPARE(int(scaled), percent);
}

void tst_PollArithmetic::minutesSinceLastBatteryAlarm()
{
    // The fake clock stands at 2026-03-05 14:07:09.
    Log::Capture log;
    QCOMPARE(MyUtil::intervalSinceNow("2026-03-05 12:06:09"), 121);
    QCOMPARE(MyUtil::intervalSinceNow("2026-03-05 12:06:10"), 120);
    QCOMPARE(MyUtil::intervalSinceNow("2026-03-05 14:07:09"), 0);
    QCOMPARE(MyUtil::intervalSinceNow("2026-03-04 14:07:09"), 1440);
    // A time ahead of the clock gives negative minutes, truncated toward zero.
    QCOMPARE(MyUtil::intervalSinceNow("2026-03-05 14:08:08"), 0);
    QCOMPARE(MyUtil::intervalSinceNow("2026-03-05 14:09:10"), -2);
    QCOMPARE(MyUtil::intervalSinceNow("yesterday"), std::numeric_limits<int>::max());

    QCOMPARE(MyUtil::GetShiJianCha(), 1000);
    QVERIFY(log.contains("GetShiJianCha:1000"));
    MyBasicInfo::SetValue("powertwohour", "1234");
    QCOMPARE(MyUtil::GetShiJianCha(), 1000);

    MyUtil::UpdatePowerJianGe();
    QCOMPARE(MyBasicInfo::GetValue("powertwohour"), QStringLiteral("2026-03-05 14:07:09"));
    QVERIFY(log.contains("UpdatePowerJianGe:2026-03-05 14:07:09"));
    m_app->clock.advance(121 * 60 - 1);
    QCOMPARE(MyUtil::GetShiJianCha(), 120);
    m_app->clock.advance(1);
    QCOMPARE(MyUtil::GetShiJianCha(), 121);
    QVERIFY(log.contains("GetShiJianCha:121"));
    MyBasicInfo::SetValue("powertwohour", "not a time at all");
    QCOMPARE(MyUtil::GetShiJianCha(), std::numeric_limits<int>::max());
}

void tst_PollArithmetic::missingPosition_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lng");
    QTest::addColumn<bool>("missing");
    QTest::newRow("Hangzhou") << "30.2741"
                              << "120.1551" << false;
    QTest::newRow("south and west") << "-34.6037"
                                    << "-58.3816" << false;
    QTest::newRow("below 1 but real") << "0.5"
                                      << "32.58" << false;
    QTest::newRow("on the equator") << "0"
                                    << "5.0" << false;
    QTest::newRow("on the prime meridian") << "51.4779"
                                           << "0" << false;
    QTest::newRow("both zero") << "0"
                               << "0" << true;
    QTest::newRow("both zero as decimals") << "0.000000"
                                           << "-0.0" << true;
    QTest::newRow("empty latitude") << ""
                                    << "120.1551" << true;
    QTest::newRow("empty longitude") << "30.2741"
                                     << "" << true;
    QTest::newRow("not a number") << "abc"
                                  << "120.1551" << true;
    QTest::newRow("blank") << "  "
                           << "120.1551" << true;
    QTest::newRow("leading space") << " 30.2741"
                                   << "120.1551" << false;
    QTest::newRow("overflowing") << "1e309"
                                 << "120.1551" << true;
    QTest::newRow("off the globe") << "30.2741"
                                   << "181" << true;
    QTest::newRow("infinite") << "30.2741"
                              << "-Infinity" << true;
}

void tst_PollArithmetic::missingPosition()
{
    QFETCH(QString, lat);
    QFETCH(QString, lng);
    QFETCH(bool, missing);
    QCOMPARE(MyUtil::IsMissingPosition(lat, lng), missing);
}

void tst_PollArithmetic::updateBasePosCopiesTextUnchanged()
{
    Log::Quiet quiet;
    MyBasicInfo::SetValue("lat", "-34.603700");
    MyBasicInfo::SetValue("lng", "-58.3816 ");
    MyUtil::UpdateBasePos();
    QCOMPARE(MyBasicInfo::GetValue("baselat"), QStringLiteral("-34.603700"));
    QCOMPARE(MyBasicInfo::GetValue("baselng"), QStringLiteral("-58.3816 "));
}

QTEST_GUILESS_MAIN(tst_PollArithmetic)
#include "tst_PollArithmetic.moc"
