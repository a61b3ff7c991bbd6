#include "DashboardFixture.h"

#include "platform/ui/Localized.h"
#include "screens/dashboard/AllOfSetPages3.h"
#include "screens/dashboard/AllOfSetPages4.h"

#include <QNetworkAccessManager>
#include <QtTest>

// The two speed-limit pages: where a drag on the maximum-speed dial snaps, the light speed
// along its dial, what a stored value loads to, and the upload of both limits with its
// roll-back when the server does not take it.
class tst_SpeedPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fx.reset(); }

    void maxSpeedSnaps_data();
    void maxSpeedSnaps();
    void storedMaxSpeedLoads_data();
    void storedMaxSpeedLoads();
    void lightSpeedAlongTheDial_data();
    void lightSpeedAlongTheDial();
    void unfinishedDragStoresAndSendsNothing();
    void releaseStoresAndSendsBothLimits();
    void failureRestoresTheAcceptedValue();
    void lightSpeedFailureLeavesTheMaximumSpeed();
    void quickSecondDragThatFailsFallsBackToTheFirst();
    void answerAfterThePageIsGoneStillRestoresTheStore();

private:
    AllOfSetPages3* maxPage() { return m_fx->page<AllOfSetPages3>("AllOfSetPages3"); }
    AllOfSetPages4* lightPage() { return m_fx->page<AllOfSetPages4>("AllOfSetPages4"); }
    void waitForAnswers(int count) { QTRY_COMPARE_WITH_TIMEOUT(m_answers->count(), count, 10000); }
    QByteArray lastSpeedQuery() const
    {
        return m_fx->sim->requestsTo("/TolvarUpdateSpeed.php").last().query;
    }
    void failNextUpload()
    {
        m_fx->sim->addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarUpdateSpeed.php"));
    }

    static SpeedLimit& maxLimit() { return SpeedLimit::of(SpeedLimit::Kind::MaxSpeed); }

    std::unique_ptr<DashboardFixture> m_fx;
    std::unique_ptr<QSignalSpy> m_answers;
};

void tst_SpeedPage::init()
{
    m_fx = std::make_unique<DashboardFixture>(true);
    m_fx->set("maxspeed", "20");
    m_fx->set("lightspeed", "12");
    m_answers = std::make_unique<QSignalSpy>(m_fx->app.delegate->networkAccessManager(),
                                             &QNetworkAccessManager::finished);
}

void tst_SpeedPage::maxSpeedSnaps_data()
{
    QTest::addColumn<float>("t");
    QTest::addColumn<qint64>("speed");
    QTest::newRow("5/24") << 0.20833333f << qint64(15);
    QTest::newRow("0.21") << 0.21f << qint64(20);
    QTest::newRow("0.5") << 0.5f << qint64(20);
    QTest::newRow("0.80277777") << 0.80277777f << qint64(25);
    QTest::newRow("0.81") << 0.81f << qint64(30);
}

void tst_SpeedPage::maxSpeedSnaps()
{
    QFETCH(float, t);
    QFETCH(qint64, speed);
    QCOMPARE(AllOfSetPages3::snap(t), speed);
}

void tst_SpeedPage::storedMaxSpeedLoads_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<float>("position");
    QTest::newRow("17") << "17" << 0.0833333358168602f;
    QTest::newRow("18") << "18" << 0.3333333432674408f;
    QTest::newRow("22") << "22" << 0.3333333432674408f;
    QTest::newRow("23") << "23" << 0.6666666865348816f;
    QTest::newRow("27.9") << "27.9" << 0.6666666865348816f;
    QTest::newRow("28") << "28" << 0.9166666865348816f;
}

void tst_SpeedPage::storedMaxSpeedLoads()
{
    QFETCH(QString, stored);
    QFETCH(float, position);
    m_fx->set("maxspeed", stored);
    AllOfSetPages3* page = maxPage();
    QCOMPARE(dial(page, "MyMaxSpeedCView"), position);
    QCOMPARE(shown(page, "maxspeedlicheng"), stored);
}

void tst_SpeedPage::lightSpeedAlongTheDial_data()
{
    QTest::addColumn<double>("t");
    QTest::addColumn<int>("speed");
    QTest::addColumn<float>("position");
    QTest::newRow("middle") << 0.5 << 17 << 0.5f;
    QTest::newRow("just short of the right limit") << 164.0 / 180 << 24 << 164.0f / 180;
    QTest::newRow("right limit") << 165.0 / 180 << 25 << 165.0f / 180;
    QTest::newRow("right of the dial") << 1.4 << 25 << 165.0f / 180;
    QTest::newRow("left of the limit") << 0.02 << 10 << 15.0f / 180;
}

void tst_SpeedPage::lightSpeedAlongTheDial()
{
    QFETCH(double, t);
    QFETCH(int, speed);
    QFETCH(float, position);
    AllOfSetPages4* page = lightPage();
    drag(page, "MyLightCView", State::Began, t);
    QCOMPARE(shown(page, "slightspeed"), QString::number(speed));
    QCOMPARE(dial(page, "MyLightCView"), position);
}

void tst_SpeedPage::unfinishedDragStoresAndSendsNothing()
{
    // The dial follows the finger beyond its ends; the label keeps the stored limit.
    AllOfSetPages3* page = maxPage();
    drag(page, "MyMaxSpeedCView", State::Began, 1.25);
    QCOMPARE(dial(page, "MyMaxSpeedCView"), 1.25f);
    drag(page, "MyMaxSpeedCView", State::Cancelled, -0.5);
    QCOMPARE(dial(page, "MyMaxSpeedCView"), -0.5f);
    QCOMPARE(shown(page, "maxspeedlicheng"), QString("20"));
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
    QVERIFY(m_fx->log.matching("urlString = ").isEmpty());
}

void tst_SpeedPage::releaseStoresAndSendsBothLimits()
{
    AllOfSetPages3* max = maxPage();
    drag(max, "MyMaxSpeedCView", State::Began, 0.5);
    drag(max, "MyMaxSpeedCView", State::Ended, 0.95);
    QCOMPARE(shown(max, "maxspeedlicheng"), QString("30"));
    QCOMPARE(dial(max, "MyMaxSpeedCView"), AllOfSetPages3::positionFor(30));
    QCOMPARE(m_fx->value("maxspeed"), QString("30"));
    QCOMPARE(maxLimit().confirmed(), qint64(20));
    waitForAnswers(1);
    QCOMPARE(lastSpeedQuery(), QByteArray("devid=86000001&maxspeed=30&lightspeed=12"));
    QCOMPARE(maxLimit().confirmed(), qint64(30));
    QCOMPARE(m_fx->sim->device("86000001").maxspeed, QString("30"));

    AllOfSetPages4* light = lightPage();
    drag(light, "MyLightCView", State::Began, 0.2);
    drag(light, "MyLightCView", State::Ended, 0.5);
    QCOMPARE(m_fx->value("lightspeed"), QString("17"));
    waitForAnswers(2);
    QCOMPARE(lastSpeedQuery(), QByteArray("devid=86000001&maxspeed=30&lightspeed=17"));
    QCOMPARE(SpeedLimit::of(SpeedLimit::Kind::LightSpeed).confirmed(), qint64(17));
    QVERIFY(AlertController::visibleAlerts().isEmpty());
}

void tst_SpeedPage::failureRestoresTheAcceptedValue()
{
    failNextUpload();
    AllOfSetPages3* page = maxPage();
    drag(page, "MyMaxSpeedCView", State::Ended, 0.9);
    QCOMPARE(m_fx->value("maxspeed"), QString("30"));
    waitForAnswers(1);
    AlertController* alert = AlertController::topAlert();
    QVERIFY(alert);
    QCOMPARE(alert->title(), QString("提示"));
    QCOMPARE(alert->message(), QString("网络访问出错,速度设置失败!"));
    QCOMPARE(alert->actionTitles(), QStringList({"确定"}));
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
    QCOMPARE(shown(page, "maxspeedlicheng"), QString("20"));
    QCOMPARE(dial(page, "MyMaxSpeedCView"), AllOfSetPages3::positionFor(20));
    QCOMPARE(m_fx->log.matching("error = ").size(), 1);
    alert->pressAction(0);
    QVERIFY(AlertController::visibleAlerts().isEmpty());

    // The rider reading English gets the alert in English.
    QVERIFY(Localized::install(*qApp, "en"));
    failNextUpload();
    drag(page, "MyMaxSpeedCView", State::Ended, 0.9);
    waitForAnswers(2);
    const QString english = AlertController::topAlert()->message();
    Localized::uninstall();
    QCOMPARE(english, QString("Network error, the speed was not set!"));
}

void tst_SpeedPage::lightSpeedFailureLeavesTheMaximumSpeed()
{
    m_fx->sim->addFault(SimFault::of(SimFault::Kind::Drop, "/TolvarUpdateSpeed.php", -1));
    // A stored light speed loads as it is, past the dial's end.
    m_fx->set("lightspeed", "40");
    AllOfSetPages4* page = lightPage();
    QCOMPARE(dial(page, "MyLightCView"), 315.0f / 180);
    QCOMPARE(SpeedLimit::of(SpeedLimit::Kind::LightSpeed).confirmed(), qint64(40));
    drag(page, "MyLightCView", State::Ended, 0.9);
    QCOMPARE(m_fx->value("lightspeed"), QString("24"));
    waitForAnswers(1);
    QVERIFY(AlertController::topAlert());
    QCOMPARE(m_fx->value("lightspeed"), QString("40"));
    QCOMPARE(shown(page, "slightspeed"), QString("40"));
    QCOMPARE(dial(page, "MyLightCView"), 315.0f / 180);
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
}

void tst_SpeedPage::quickSecondDragThatFailsFallsBackToTheFirst()
{
    // The first upload is answered late, the second fails at once: the server holds 25.
    m_fx->sim->addFault(SimFault::delay(1500, "/TolvarUpdateSpeed.php"));
    failNextUpload();
    AllOfSetPages3* page = maxPage();
    drag(page, "MyMaxSpeedCView", State::Ended, 0.7);
    QTRY_COMPARE(m_fx->requestsTo("/TolvarUpdateSpeed.php"), 1);
    drag(page, "MyMaxSpeedCView", State::Ended, 0.9);
    waitForAnswers(1);
    // The failure puts back what the server had accepted so far.
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
    QCOMPARE(AlertController::visibleAlerts().size(), 1);
    waitForAnswers(2);
    QCOMPARE(maxLimit().confirmed(), qint64(25));
    QCOMPARE(m_fx->value("maxspeed"), QString("25"));
    QCOMPARE(shown(page, "maxspeedlicheng"), QString("25"));
    QCOMPARE(dial(page, "MyMaxSpeedCView"), AllOfSetPages3::positionFor(25));
    QCOMPARE(AlertController::visibleAlerts().size(), 1);
}

void tst_SpeedPage::answerAfterThePageIsGoneStillRestoresTheStore()
{
    failNextUpload();
    QPointer<AllOfSetPages3> page = maxPage();
    drag(page, "MyMaxSpeedCView", State::Ended, 0.9);
    delete page;
    waitForAnswers(1);
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
}

QTEST_MAIN(tst_SpeedPage)
#include "tst_SpeedPage.moc"
