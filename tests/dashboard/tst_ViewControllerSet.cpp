#include "DashboardFixture.h"

#include "platform/Timer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/dashboard/AllOfSetPages1.h"
#include "screens/dashboard/AllOfSetPages2.h"
#include "screens/dashboard/ViewControllerSet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QtTest>

using Direction = PageViewController::NavigationDirection;

// The dashboard section: its pager and page dots, the tabs, and the refresh that keeps the
// settings store in step with the device server while the section is on screen.
class tst_ViewControllerSet : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsFivePagesUnderThePagerAndTheDots();
    void swipingStopsAtBothEnds();
    void dotMovesWhenSwipeBeginsAndStaysIfCancelled();
    void pageControlTapsPageOneStepUnanimated();
    void onlyTheVisiblePageTicks();
    void tabsLeaveTheSectionAndReleaseIt();

    void refreshStoresTheRecordOnlyOnOk_data();
    void refreshStoresTheRecordOnlyOnOk();
    void refreshStoresEveryFieldInOrder();
    void refreshRunsAtOnceThenEvery30SecondsWhileOnScreen();
    void pagesFollowTheServerWithin33Ticks();

private:
    ViewControllerSet* start();
    int refreshesSent() const;
    PageViewController* pager() const { return m_set->pageViewController(); }
    Screen* pageAt(int index) const { return m_set->AllOfSetPages().at(index); }

    std::unique_ptr<DashboardFixture> m_fx;
    QPointer<ViewControllerSet> m_set;
};

void tst_ViewControllerSet::init()
{
    m_fx = std::make_unique<DashboardFixture>(true);
}

void tst_ViewControllerSet::cleanup()
{
    m_fx.reset();
}

ViewControllerSet* tst_ViewControllerSet::start()
{
    m_set = qobject_cast<ViewControllerSet*>(m_fx->storyboard->start("ViewControllerSet"));
    return m_set;
}

int tst_ViewControllerSet::refreshesSent() const
{
    int sent = 0;
    for (const QString& line : m_fx->log.matching("urlString = "))
        sent += line.contains("/TolvarGetEveryThingTimerIOS.php?devid=86000001") ? 1 : 0;
    return sent;
}

void tst_ViewControllerSet::loadsFivePagesUnderThePagerAndTheDots()
{
    QVERIFY(start());
    QStringList ids;
    for (Screen* page : m_set->AllOfSetPages())
        ids << page->identifier();
    QCOMPARE(ids, QStringList({"AllOfSetPages1", "AllOfSetPages2", "AllOfSetPages3",
                               "AllOfSetPages4", "AllOfSetPages5"}));
    QCOMPARE(m_set->CurpageIndex(), quint64(0));
    QCOMPARE(pager()->visiblePage(), pageAt(0));
    QCOMPARE(pager()->identifier(), QString("PageViewController"));
    // 640 - 80: the pager leaves the lowest eighth to the tabs.
    QCOMPARE(pager()->geometry(), QRect(0, 0, 360, 560));

    PageControl* dots = m_set->pageControl();
    QCOMPARE(dots->numberOfPages(), 5);
    QCOMPARE(dots->currentPage(), 0);
    QCOMPARE(dots->geometry(), QRect(140, 368, 80, 16));
    QCOMPARE(dots->backgroundColor().alpha(), 0);

    m_fx->host.resize(720, 1280);
    QCOMPARE(pager()->geometry(), QRect(0, 0, 720, 1120));
    QCOMPARE(dots->geometry(), QRect(320, 735, 80, 16));
}

void tst_ViewControllerSet::swipingStopsAtBothEnds()
{
    start();
    QCOMPARE(m_set->viewControllerBeforeViewController(pager(), pageAt(0)), nullptr);
    QCOMPARE(m_set->viewControllerAfterViewController(pager(), pageAt(4)), nullptr);
    QCOMPARE(m_set->viewControllerBeforeViewController(pager(), pageAt(3)), pageAt(2));
    QCOMPARE(m_set->viewControllerAfterViewController(pager(), pageAt(3)), pageAt(4));
    QCOMPARE(m_fx->log.count("11"), 2);
    QCOMPARE(m_fx->log.count("22"), 2);

    QVERIFY(!pager()->beginSwipe(Direction::Reverse));
    pager()->setViewControllers({pageAt(4)}, Direction::Forward, false);
    QVERIFY(!pager()->beginSwipe(Direction::Forward));
    QCOMPARE(pager()->visiblePage(), pageAt(4));
}

void tst_ViewControllerSet::dotMovesWhenSwipeBeginsAndStaysIfCancelled()
{
    start();
    QVERIFY(pager()->beginSwipe(Direction::Forward));
    QCOMPARE(m_set->pageControl()->currentPage(), 1);
    pager()->endSwipe(true);
    QCOMPARE(pager()->visiblePage(), pageAt(1));
    // A page first shown by a swipe shows everything it made while loading.
    auto* battery = qobject_cast<AllOfSetPages2*>(pageAt(1));
    QVERIFY(battery->switchpower()->isVisible());
    QVERIFY(battery->PowerCustom1()->isVisible());
    QVERIFY(battery->powerlichengmax()->isVisible());

    QVERIFY(pager()->beginSwipe(Direction::Forward));
    QCOMPARE(m_set->pageControl()->currentPage(), 2);
    pager()->endSwipe(false);
    // The dot moved with the swipe's start and is not put back.
    QCOMPARE(pager()->visiblePage(), pageAt(1));
    QCOMPARE(m_set->pageControl()->currentPage(), 2);

    QVERIFY(pager()->beginSwipe(Direction::Reverse));
    QCOMPARE(m_set->pageControl()->currentPage(), 0);
}

void tst_ViewControllerSet::pageControlTapsPageOneStepUnanimated()
{
    start();
    PageControl* dots = m_set->pageControl();
    dots->tapAt(dots->dotCentre(0).x() + 10);
    QCOMPARE(pager()->visiblePage(), pageAt(1));
    QCOMPARE(pager()->lastDirection(), Direction::Forward);
    QCOMPARE(pager()->lastAnimated(), false);
    QCOMPARE(m_fx->log.count("33"), 1);

    dots->tapAt(dots->dotCentre(1).x() + 10);
    QCOMPARE(pager()->visiblePage(), pageAt(2));
    dots->tapAt(dots->dotCentre(2).x() - 10);
    QCOMPARE(pager()->visiblePage(), pageAt(1));
    QCOMPARE(pager()->lastDirection(), Direction::Reverse);
    QCOMPARE(pager()->lastAnimated(), false);
    QCOMPARE(m_fx->log.count("33"), 3);

    // A tap beyond the first dot goes nowhere and sends no action.
    dots->tapAt(dots->dotCentre(1).x() - 10);
    dots->tapAt(dots->dotCentre(0).x() - 10);
    QCOMPARE(pager()->visiblePage(), pageAt(0));
    QCOMPARE(m_fx->log.count("33"), 4);
}

void tst_ViewControllerSet::onlyTheVisiblePageTicks()
{
    start();
    auto* mileage = qobject_cast<AllOfSetPages1*>(pageAt(0));
    auto* battery = qobject_cast<AllOfSetPages2*>(pageAt(1));
    PageControl* dots = m_set->pageControl();
    m_fx->loop.advance(5 * 30);
    // Ticks at 0, 30, ... 150: the ring climbs towards its full target.
    QCOMPARE(mileage->MyYuanHuan()->getYuanHuanProcess(), 0.06f);

    dots->tapAt(dots->dotCentre(0).x() + 10);
    QVERIFY(!mileage->timer()->isScheduled());
    QVERIFY(battery->timer()->isScheduled());
    m_fx->set("todaylicheng", "8.8");
    m_fx->loop.advanceSeconds(5);
    QCOMPARE(mileage->MyYuanHuan()->getYuanHuanProcess(), 0.06f);
    QCOMPARE(mileage->totaylichengs()->text(), QString("0"));

    // Back on screen it ticks at once and re-reads the store within 33 ticks.
    dots->tapAt(dots->dotCentre(1).x() - 10);
    QVERIFY(!battery->timer()->isScheduled());
    m_fx->loop.runDue();
    QCOMPARE(mileage->MyYuanHuan()->getYuanHuanProcess(), 0.07f);
    m_fx->loop.advance(32 * 30);
    QCOMPARE(mileage->totaylichengs()->text(), QString("8.8"));
}

void tst_ViewControllerSet::tabsLeaveTheSectionAndReleaseIt()
{
    start();
    QPointer<Timer> refresh = m_set->timer();
    QPointer<Screen> mileage = pageAt(0);
    m_set->PosImage()->tapRecognizer()->tap();
    QCOMPARE(m_fx->storyboard->topScreen()->identifier(), QString("ViewControllerPos"));
    QVERIFY(m_fx->log.contains("Set释放"));
    QVERIFY(!refresh || !refresh->isScheduled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_set.isNull());
    QVERIFY(mileage.isNull());

    // Back in a new section, the profile tab leads on.
    m_fx->storyboard->start("ViewControllerSet");
    m_set = qobject_cast<ViewControllerSet*>(m_fx->storyboard->topScreen());
    m_set->MineImage()->tapRecognizer()->tap();
    QCOMPARE(m_fx->storyboard->topScreen()->identifier(), QString("ViewControllerMine"));
}

void tst_ViewControllerSet::refreshStoresTheRecordOnlyOnOk_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("week");
    QTest::addColumn<QString>("absday");

    QTest::newRow("ok, absday a number") << QByteArray(R"([{"timerreturnmsg":"ok",
        "benzhoulicheng":"30.5","absday":12}])")
                                         << 200 << "30.5"
                                         << "12";
    QTest::newRow("ok inside a longer message")
        << QByteArray(R"([{"timerreturnmsg":"isok!","benzhoulicheng":"31","absday":"x"}])") << 200
        << "31"
        << "x";
    QTest::newRow("message without ok") << QByteArray(R"([{"timerreturnmsg":"error:1",
        "benzhoulicheng":"99","absday":5}])")
                                        << 200 << "7"
                                        << "0";
    QTest::newRow("no message") << QByteArray(R"([{"benzhoulicheng":"99"}])") << 200 << "7"
                                << "0";
    QTest::newRow("not json") << QByteArray("<html>busy</html>") << 200 << "7"
                              << "0";
    QTest::newRow("empty array") << QByteArray("[]") << 200 << "7"
                                 << "0";
    QTest::newRow("object, not array")
        << QByteArray(R"({"timerreturnmsg":"ok","benzhoulicheng":"99"})") << 200 << "7"
        << "0";
    QTest::newRow("server error") << QByteArray(R"([{"timerreturnmsg":"ok",
        "benzhoulicheng":"99"}])") << 500
                                  << "7"
                                  << "0";
}

void tst_ViewControllerSet::refreshStoresTheRecordOnlyOnOk()
{
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QFETCH(QString, week);
    QFETCH(QString, absday);
    m_fx->set("benzhoulicheng", "7");
    m_fx->sim->addFault(SimFault::raw(body, "/TolvarGetEveryThingTimerIOS.php", 1, status));
    QSignalSpy answers(m_fx->app.delegate->networkAccessManager(),
                       &QNetworkAccessManager::finished);
    ViewControllerSet set(m_fx->app.delegate->context());
    set.timerFired();
    QTRY_COMPARE(answers.count(), 1);
    QCOMPARE(m_fx->value("benzhoulicheng"), week);
    QCOMPARE(m_fx->value("absday"), absday);
    // The refresh raises no alarm and keeps the base and the vibration count.
    QCOMPARE(m_fx->value("zhendongcishu"), QString("0"));
    QCOMPARE(m_fx->value("baselat"), QString("0"));
    QVERIFY(m_fx->log.matching("error = ").isEmpty());
}

void tst_ViewControllerSet::refreshStoresEveryFieldInOrder()
{
    const QStringList keys = {"benzhoulicheng",
                              "shangzhoulicheng",
                              "todaylicheng",
                              "day1licheng",
                              "day2licheng",
                              "day3licheng",
                              "day4licheng",
                              "day5licheng",
                              "day6licheng",
                              "day7licheng",
                              "power",
                              "maxspeed",
                              "lightspeed",
                              "pingjunspeed",
                              "paiming",
                              "totallicheng",
                              "jifen",
                              "level",
                              "levelname",
                              "touxiangpath",
                              "absday",
                              "banlvstate",
                              "lng",
                              "lat"};
    QJsonObject record{{"timerreturnmsg", "ok"}};
    for (int i = 0; i < keys.size(); ++i) {
        if (keys[i] != "paiming")
            record.insert(keys[i], QString("v%1").arg(i));
    }
    const QByteArray body = QJsonDocument(QJsonArray{record}).toJson(QJsonDocument::Compact);
    m_fx->sim->addFault(SimFault::raw(body, "/TolvarGetEveryThingTimerIOS.php"));
    m_fx->set("paiming", "3");
    ViewControllerSet set(m_fx->app.delegate->context());
    set.timerFired();
    QTRY_COMPARE(m_fx->value("lat"), QString("v23"));
    for (int i = 0; i < keys.size(); ++i) {
        // A field the answer lacks is stored empty.
        QCOMPARE(m_fx->value(qPrintable(keys[i])),
                 keys[i] == "paiming" ? QString() : QString("v%1").arg(i));
    }
}

void tst_ViewControllerSet::refreshRunsAtOnceThenEvery30SecondsWhileOnScreen()
{
    start();
    m_fx->loop.runDue();
    QCOMPARE(refreshesSent(), 1);
    m_fx->loop.advance(29990);
    QCOMPARE(refreshesSent(), 1);
    m_fx->loop.advance(10);
    QCOMPARE(refreshesSent(), 2);
    m_fx->loop.advanceSeconds(60);
    QCOMPARE(refreshesSent(), 4);
    QTRY_COMPARE(m_fx->requestsTo("/TolvarGetEveryThingTimerIOS.php"), 4);

    // Hidden (another screen over it) it sends nothing; back on screen it refreshes at once.
    DashboardFixture::setAppeared(m_set, false);
    m_fx->loop.advanceSeconds(120);
    QCOMPARE(refreshesSent(), 4);
    DashboardFixture::setAppeared(m_set, true);
    m_fx->loop.runDue();
    QCOMPARE(refreshesSent(), 5);
}

void tst_ViewControllerSet::pagesFollowTheServerWithin33Ticks()
{
    start();
    auto* mileage = qobject_cast<AllOfSetPages1*>(pageAt(0));
    m_fx->loop.runDue();
    QTRY_VERIFY(!m_fx->log.matching("htmlstr = ").isEmpty());
    const QString today = m_fx->value("todaylicheng");
    QVERIFY(!today.isEmpty() && today != "0");
    QVERIFY(mileage->totaylichengs()->text() != today);
    m_fx->loop.advance(32 * 30);
    QVERIFY(mileage->totaylichengs()->text() != today);
    m_fx->loop.advance(30);
    QCOMPARE(mileage->totaylichengs()->text(), today);
}

QTEST_MAIN(tst_ViewControllerSet)
#include "tst_ViewControllerSet.moc"
