#include "DashboardFixture.h"

#include "platform/NumberText.h"
#include "platform/ui/Localized.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "screens/dashboard/AllOfSetPages3.h"

#include <QNetworkAccessManager>
#include <QtTest>

using State = PanGestureRecognizer::State;

// The maximum-speed page: where a drag snaps, what a stored value loads to, and the upload
// of both limits with its roll-back on failure.
class tst_AllOfSetPages3 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fx.reset(); }

    void releaseSnaps_data();
    void releaseSnaps();
    void storedValueLoads_data();
    void storedValueLoads();
    void dialFollowsTheFingerUnclamped();
    void cancelledDragChangesNothingElse();
    void releaseStoresAndSendsBothLimits();
    void failureRestoresTheAcceptedValue();
    void quickSecondDragThatFailsFallsBackToTheFirst();
    void answerAfterTheSectionIsGoneStillRestoresTheStore();

private:
    AllOfSetPages3* show() { return m_fx->page<AllOfSetPages3>("AllOfSetPages3"); }
    void drag(AllOfSetPages3* page, State state, float t);
    void waitForAnswers(int count);
    QByteArray lastSpeedQuery() const;

    std::unique_ptr<DashboardFixture> m_fx;
    std::unique_ptr<QSignalSpy> m_answers;
};

void tst_AllOfSetPages3::init()
{
    m_fx = std::make_unique<DashboardFixture>(true);
    m_fx->set("maxspeed", "20");
    m_fx->set("lightspeed", "18");
    m_answers = std::make_unique<QSignalSpy>(m_fx->app.delegate->networkAccessManager(),
                                             &QNetworkAccessManager::finished);
}

void tst_AllOfSetPages3::drag(AllOfSetPages3* page, State state, float t)
{
    const int width = page->MyMaxSpeedCView()->width();
    page->pan()->drive(state, QPointF(double(t) * width, 40));
}

void tst_AllOfSetPages3::waitForAnswers(int count)
{
    QTRY_COMPARE_WITH_TIMEOUT(m_answers->count(), count, 10000);
}

QByteArray tst_AllOfSetPages3::lastSpeedQuery() const
{
    const QList<SimRequest> requests = m_fx->sim->requestsTo("/TolvarUpdateSpeed.php");
    return requests.isEmpty() ? QByteArray() : requests.last().query;
}

void tst_AllOfSetPages3::releaseSnaps_data()
{
    QTest::addColumn<float>("t");
    QTest::addColumn<qint64>("speed");
    QTest::newRow("0.2") << 0.2f << qint64(15);
    QTest::newRow("5/24") << 0.20833333f << qint64(15);
    QTest::newRow("0.21") << 0.21f << qint64(20);
    QTest::newRow("0.5") << 0.5f << qint64(20);
    QTest::newRow("0.8") << 0.8f << qint64(25);
    QTest::newRow("0.80277777") << 0.80277777f << qint64(25);
    QTest::newRow("0.81") << 0.81f << qint64(30);
    QTest::newRow("left of the dial") << -0.4f << qint64(15);
    QTest::newRow("right of the dial") << 1.3f << qint64(30);
}

void tst_AllOfSetPages3::releaseSnaps()
{
    QFETCH(float, t);
    QFETCH(qint64, speed);
    QCOMPARE(AllOfSetPages3::snap(t), speed);

    AllOfSetPages3* page = show();
    drag(page, State::Began, 0.5f);
    drag(page, State::Ended, t);
    QCOMPARE(page->maxspeedlicheng()->text(), QString::number(speed));
    QCOMPARE(m_fx->value("maxspeed"), QString::number(speed));
    QCOMPARE(page->MyMaxSpeedCView()->getYuanHuanProcess(), AllOfSetPages3::positionFor(speed));
    QCOMPARE(page->limit().pending(), speed);
}

void tst_AllOfSetPages3::storedValueLoads_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<float>("position");
    QTest::newRow("17") << "17" << 0.0833333358168602f;
    QTest::newRow("18") << "18" << 0.3333333432674408f;
    QTest::newRow("22") << "22" << 0.3333333432674408f;
    QTest::newRow("23") << "23" << 0.6666666865348816f;
    QTest::newRow("26") << "26" << 0.6666666865348816f;
    QTest::newRow("27.9") << "27.9" << 0.6666666865348816f;
    QTest::newRow("28") << "28" << 0.9166666865348816f;
    QTest::newRow("120") << "120" << 0.9166666865348816f;
    QTest::newRow("text") << "fast" << 0.0833333358168602f;
}

void tst_AllOfSetPages3::storedValueLoads()
{
    QFETCH(QString, stored);
    QFETCH(float, position);
    m_fx->set("maxspeed", stored);
    AllOfSetPages3* page = show();
    QCOMPARE(page->MyMaxSpeedCView()->getYuanHuanProcess(), position);
    QCOMPARE(page->maxspeedlicheng()->text(), stored);
    QCOMPARE(page->limit().confirmed(), NumberText::toLong(stored));
    QCOMPARE(page->limit().pending(), NumberText::toLong(stored));
}

void tst_AllOfSetPages3::dialFollowsTheFingerUnclamped()
{
    AllOfSetPages3* page = show();
    drag(page, State::Began, 0.3f);
    QCOMPARE(page->MyMaxSpeedCView()->getYuanHuanProcess(), 0.3f);
    drag(page, State::Changed, 1.25f);
    QCOMPARE(page->MyMaxSpeedCView()->getYuanHuanProcess(), 1.25f);
    drag(page, State::Changed, -0.5f);
    QCOMPARE(page->MyMaxSpeedCView()->getYuanHuanProcess(), -0.5f);
    // Until the release the label and the store keep the old limit.
    QCOMPARE(page->maxspeedlicheng()->text(), QString("20"));
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
    QVERIFY(m_fx->log.matching("urlString = ").isEmpty());
}

void tst_AllOfSetPages3::cancelledDragChangesNothingElse()
{
    AllOfSetPages3* page = show();
    drag(page, State::Began, 0.5f);
    drag(page, State::Cancelled, 0.9f);
    QCOMPARE(page->MyMaxSpeedCView()->getYuanHuanProcess(), 0.9f);
    QCOMPARE(page->maxspeedlicheng()->text(), QString("20"));
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
    QVERIFY(m_fx->log.matching("urlString = ").isEmpty());
}

void tst_AllOfSetPages3::releaseStoresAndSendsBothLimits()
{
    AllOfSetPages3* page = show();
    drag(page, State::Began, 0.5f);
    drag(page, State::Ended, 0.95f);
    QCOMPARE(page->limit().pending(), qint64(30));
    QCOMPARE(page->limit().confirmed(), qint64(20));
    waitForAnswers(1);
    QCOMPARE(lastSpeedQuery(), QByteArray("devid=86000001&maxspeed=30&lightspeed=18"));
    QCOMPARE(page->limit().confirmed(), qint64(30));
    QCOMPARE(m_fx->sim->device("86000001").maxspeed, QString("30"));
    QVERIFY(AlertController::visibleAlerts().isEmpty());
    QCOMPARE(m_fx->log.matching("htmlstr = ").size(), 1);
}

void tst_AllOfSetPages3::failureRestoresTheAcceptedValue()
{
    m_fx->sim->addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarUpdateSpeed.php"));
    AllOfSetPages3* page = show();
    drag(page, State::Ended, 0.9f);
    QCOMPARE(m_fx->value("maxspeed"), QString("30"));
    waitForAnswers(1);
    AlertController* alert = AlertController::topAlert();
    QVERIFY(alert);
    QCOMPARE(alert->title(), QString("提示"));
    QCOMPARE(alert->message(), QString("网络访问出错,速度设置失败!"));
    QCOMPARE(alert->actionTitles(), QStringList({"确定"}));
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
    QCOMPARE(page->maxspeedlicheng()->text(), QString("20"));
    QCOMPARE(page->MyMaxSpeedCView()->getYuanHuanProcess(), 0.3333333432674408f);
    QCOMPARE(page->limit().pending(), qint64(20));
    QCOMPARE(m_fx->log.matching("error = ").size(), 1);
    alert->pressAction(0);
    QVERIFY(AlertController::visibleAlerts().isEmpty());

    // The rider reading English gets the alert in English.
    QVERIFY(Localized::install(*qApp, "en"));
    m_fx->sim->addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarUpdateSpeed.php"));
    drag(page, State::Ended, 0.9f);
    waitForAnswers(2);
    const QString english = AlertController::topAlert()->message();
    Localized::uninstall();
    QCOMPARE(english, QString("Network error, the speed was not set!"));
}

void tst_AllOfSetPages3::quickSecondDragThatFailsFallsBackToTheFirst()
{
    // The first upload is answered late, the second fails at once: the server holds 25.
    m_fx->sim->addFault(SimFault::delay(1500, "/TolvarUpdateSpeed.php"));
    m_fx->sim->addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarUpdateSpeed.php"));
    AllOfSetPages3* page = show();
    drag(page, State::Ended, 0.7f);
    QTRY_COMPARE(m_fx->sim->requestsTo("/TolvarUpdateSpeed.php").size(), 1);
    drag(page, State::Ended, 0.9f);
    waitForAnswers(1);
    // The failure puts back what the server had accepted so far.
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
    QCOMPARE(AlertController::visibleAlerts().size(), 1);
    waitForAnswers(2);
    QCOMPARE(page->limit().confirmed(), qint64(25));
    QCOMPARE(m_fx->value("maxspeed"), QString("25"));
    QCOMPARE(page->maxspeedlicheng()->text(), QString("25"));
    QCOMPARE(page->MyMaxSpeedCView()->getYuanHuanProcess(), AllOfSetPages3::positionFor(25));
    QCOMPARE(AlertController::visibleAlerts().size(), 1);
}

void tst_AllOfSetPages3::answerAfterTheSectionIsGoneStillRestoresTheStore()
{
    m_fx->sim->addFault(SimFault::of(SimFault::Kind::ServerError, "/TolvarUpdateSpeed.php"));
    QPointer<AllOfSetPages3> page = show();
    drag(page, State::Ended, 0.9f);
    delete page;
    waitForAnswers(1);
    QCOMPARE(m_fx->value("maxspeed"), QString("20"));
}

QTEST_MAIN(tst_AllOfSetPages3)
#include "tst_AllOfSetPages3.moc"
