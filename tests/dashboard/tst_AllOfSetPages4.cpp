#include "DashboardFixture.h"

#include "platform/ui/PanGestureRecognizer.h"
#include "screens/dashboard/AllOfSetPages4.h"

#include <QNetworkAccessManager>
#include <QtTest>

using State = PanGestureRecognizer::State;

// The light-speed page: the speed along the dial, the stored value's position, the drag
// that follows the finger, and the upload of both limits with its roll-back.
class tst_AllOfSetPages4 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fx.reset(); }

    void speedAlongTheDial_data();
    void speedAlongTheDial();
    void storedValueLoadsUnclamped_data();
    void storedValueLoadsUnclamped();
    void labelAndDialFollowTheFinger();
    void releaseStoresAndSendsBothLimits();
    void failureRestoresTheAcceptedValue();

private:
    AllOfSetPages4* show() { return m_fx->page<AllOfSetPages4>("AllOfSetPages4"); }
    void drag(AllOfSetPages4* page, State state, double t, double y = 40);

    std::unique_ptr<DashboardFixture> m_fx;
    std::unique_ptr<QSignalSpy> m_answers;
};

void tst_AllOfSetPages4::init()
{
    m_fx = std::make_unique<DashboardFixture>(true);
    m_fx->set("maxspeed", "25");
    m_fx->set("lightspeed", "12");
    m_answers = std::make_unique<QSignalSpy>(m_fx->app.delegate->networkAccessManager(),
                                             &QNetworkAccessManager::finished);
}

void tst_AllOfSetPages4::drag(AllOfSetPages4* page, State state, double t, double y)
{
    page->pan()->drive(state, QPointF(t * page->MyLightCView()->width(), y));
}

void tst_AllOfSetPages4::speedAlongTheDial_data()
{
    QTest::addColumn<double>("t");
    QTest::addColumn<int>("speed");
    QTest::addColumn<float>("position");
    QTest::newRow("middle") << 0.5 << 17 << 0.5f;
    QTest::newRow("0.9") << 0.9 << 24 << 0.9f;
    QTest::newRow("just short of the right limit") << 164.0 / 180 << 24 << 164.0f / 180;
    QTest::newRow("right limit") << 165.0 / 180 << 25 << 165.0f / 180;
    QTest::newRow("right of the dial") << 1.4 << 25 << 165.0f / 180;
    QTest::newRow("left limit") << 15.0 / 180 << 10 << 15.0f / 180;
    QTest::newRow("left of the limit") << 0.02 << 10 << 15.0f / 180;
    QTest::newRow("left of the dial") << -0.6 << 10 << 15.0f / 180;
}

void tst_AllOfSetPages4::speedAlongTheDial()
{
    QFETCH(double, t);
    QFETCH(int, speed);
    QFETCH(float, position);
    AllOfSetPages4* page = show();
    drag(page, State::Began, t);
    QCOMPARE(page->slightspeed()->text(), QString::number(speed));
    QCOMPARE(page->MyLightCView()->getYuanHuanProcess(), position);
}

void tst_AllOfSetPages4::storedValueLoadsUnclamped_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<float>("position");
    QTest::newRow("10") << "10" << 15.0f / 180;
    QTest::newRow("17") << "17" << 85.0f / 180;
    QTest::newRow("25") << "25" << 165.0f / 180;
    QTest::newRow("0") << "0" << -85.0f / 180;
    QTest::newRow("40") << "40" << 315.0f / 180;
}

void tst_AllOfSetPages4::storedValueLoadsUnclamped()
{
    QFETCH(QString, stored);
    QFETCH(float, position);
    m_fx->set("lightspeed", stored);
    AllOfSetPages4* page = show();
    QCOMPARE(page->MyLightCView()->getYuanHuanProcess(), position);
    QCOMPARE(page->slightspeed()->text(), stored);
    QCOMPARE(page->limit().confirmed(), qint64(stored.toInt()));
}

void tst_AllOfSetPages4::labelAndDialFollowTheFinger()
{
    AllOfSetPages4* page = show();
    drag(page, State::Began, 0.5, 33);
    drag(page, State::Changed, 0.9, 44);
    QCOMPARE(page->slightspeed()->text(), QString("24"));
    drag(page, State::Cancelled, 0.5, 55);
    QCOMPARE(page->slightspeed()->text(), QString("17"));
    QCOMPARE(page->MyLightCView()->getYuanHuanProcess(), 0.5f);
    // A drag that does not end stores and sends nothing; every step is logged.
    QCOMPARE(m_fx->value("lightspeed"), QString("12"));
    QVERIFY(m_fx->log.matching("urlString = ").isEmpty());
    const QStringList steps = m_fx->log.matching("handleSingleTap!pointx:");
    QCOMPARE(steps.size(), 3);
    QCOMPARE(steps.last(), QString("handleSingleTap!pointx:150.000000,y:55.000000"));
}

void tst_AllOfSetPages4::releaseStoresAndSendsBothLimits()
{
    AllOfSetPages4* page = show();
    drag(page, State::Began, 0.2);
    drag(page, State::Ended, 0.5);
    QCOMPARE(m_fx->value("lightspeed"), QString("17"));
    QCOMPARE(page->limit().pending(), qint64(17));
    QTRY_COMPARE(m_answers->count(), 1);
    const QList<SimRequest> sent = m_fx->sim->requestsTo("/TolvarUpdateSpeed.php");
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().query, QByteArray("devid=86000001&maxspeed=25&lightspeed=17"));
    QCOMPARE(page->limit().confirmed(), qint64(17));
    QCOMPARE(m_fx->log.matching("handleSingleTap!pointx:").size(), 2);
}

void tst_AllOfSetPages4::failureRestoresTheAcceptedValue()
{
    m_fx->sim->addFault(SimFault::of(SimFault::Kind::Drop, "/TolvarUpdateSpeed.php", -1));
    AllOfSetPages4* page = show();
    drag(page, State::Ended, 0.9);
    QTRY_COMPARE(m_answers->count(), 1);
    QVERIFY(AlertController::topAlert());
    QCOMPARE(AlertController::topAlert()->message(), QString("网络访问出错,速度设置失败!"));
    QCOMPARE(m_fx->value("lightspeed"), QString("12"));
    QCOMPARE(page->slightspeed()->text(), QString("12"));
    QCOMPARE(page->MyLightCView()->getYuanHuanProcess(), AllOfSetPages4::positionFor(12));
    // The maximum speed sent with it is untouched.
    QCOMPARE(m_fx->value("maxspeed"), QString("25"));
}

QTEST_MAIN(tst_AllOfSetPages4)
#include "tst_AllOfSetPages4.moc"
