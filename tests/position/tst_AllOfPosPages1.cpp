#include "PositionFixture.h"

#include "platform/Timer.h"
#include "screens/position/AllOfPosPages1.h"

#include <QLabel>
#include <QtTest>

// The track-mode page: today's figures and the minutes saved, ticking while on screen.
class tst_AllOfPosPages1 : public QObject
{
    Q_OBJECT

private slots:
    void minutesSaved_data();
    void minutesSaved();
    void labelsShowTheStoreAsItIsEverySecond();
    void hiddenPageDoesNotTick();
};

void tst_AllOfPosPages1::minutesSaved_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<int>("minutes");
    QTest::newRow("double walking speed") << "10.8"
                                          << "5.4" << 30;
    QTest::newRow("walking speed") << "5.4"
                                   << "100" << 0;
    QTest::newRow("slower") << "4"
                            << "10" << 0;
    QTest::newRow("not a number") << "abc"
                                  << "10" << 0;
    QTest::newRow("no distance") << "20"
                                 << "0" << 0;
    // (12 / 5.4 - 12 / 18) x 60 = 93.33: truncated.
    QTest::newRow("truncated") << "18"
                               << "12" << 93;
    QTest::newRow("leading number") << "10.8km/h"
                                    << "5.4km" << 30;
    QTest::newRow("huge distance") << "10.8" << QString(30, '9') << 1000000000;
    QTest::newRow("huge both") << QString(50, '9') << QString(50, '9') << 0;
}

void tst_AllOfPosPages1::minutesSaved()
{
    QFETCH(QString, speed);
    QFETCH(QString, distance);
    QFETCH(int, minutes);
    QCOMPARE(AllOfPosPages1::minutesSaved(speed, distance), minutes);
}

void tst_AllOfPosPages1::labelsShowTheStoreAsItIsEverySecond()
{
    PositionFixture fx;
    auto* page = fx.storyboard->instantiate<AllOfPosPages1>("AllOfPosPages1");
    page->setParent(&fx.host);
    page->setBaseGeometry(QRect(0, 0, 360, 150));
    page->loadViewIfNeeded();
    MyBasicInfo::SetValue("todaylicheng", "5.40");
    MyBasicInfo::SetValue("pingjunspeed", "10.80");
    // Nothing is shown before the first tick.
    QVERIFY(page->textlicheng()->text().isEmpty());
    PositionFixture::setAppeared(page, true);
    fx.loop.runDue();
    QCOMPARE(page->textlicheng()->text(), QString("5.40"));
    QCOMPARE(page->speedlicheng()->text(), QString("10.80"));
    QCOMPARE(page->timelicheng()->text(), QString("30"));
    MyBasicInfo::SetValue("pingjunspeed", "4");
    fx.loop.advance(999);
    QCOMPARE(page->timelicheng()->text(), QString("30"));
    fx.loop.advance(1);
    QCOMPARE(page->timelicheng()->text(), QString("0"));
    QCOMPARE(page->speedlicheng()->text(), QString("4"));
    delete page;
}

void tst_AllOfPosPages1::hiddenPageDoesNotTick()
{
    PositionFixture fx;
    auto* page = fx.storyboard->instantiate<AllOfPosPages1>("AllOfPosPages1");
    page->setParent(&fx.host);
    page->loadViewIfNeeded();
    PositionFixture::setAppeared(page, true);
    fx.loop.runDue();
    PositionFixture::setAppeared(page, false);
    MyBasicInfo::SetValue("todaylicheng", "7.7");
    fx.loop.advance(5000);
    QVERIFY(page->textlicheng()->text() != QString("7.7"));
    // Shown again, it ticks at once.
    PositionFixture::setAppeared(page, true);
    fx.loop.runDue();
    QCOMPARE(page->textlicheng()->text(), QString("7.7"));
    delete page;
}

QTEST_MAIN(tst_AllOfPosPages1)
#include "tst_AllOfPosPages1.moc"
