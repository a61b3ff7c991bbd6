#include "DashboardFixture.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/dashboard/ViewControllerSet.h"
#include "views/PowerCustomView.h"
#include "views/YuanHuanCustomView.h"

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
    void cleanup() { m_fx.reset(); }

    void swipesGoThroughTheFivePagesAndMoveTheDot();
    void pageControlTapsPageOneStepUnanimated();
    void onlyTheVisiblePageTicks();
    void tabsLeaveTheSectionAndReleaseIt();
    void refreshRunsAtOnceThenEvery30SecondsWhileOnScreen();

private:
    int refreshesSent() const;
    PageViewController* pager() const
    {
        return child<PageViewController>(m_set, "pageViewController");
    }
    PageControl* dots() const { return child<PageControl>(m_set, "pageControl"); }
    Screen* page(int number) const
    {
        return child<Screen>(m_set, qPrintable(QStringLiteral("AllOfSetPages%1").arg(number)));
    }
    void tapDot(int dot, int offset) { dots()->tapAt(dots()->dotCentre(dot).x() + offset); }

    std::unique_ptr<DashboardFixture> m_fx;
    QPointer<Screen> m_set;
};

void tst_ViewControllerSet::init()
{
    m_fx = std::make_unique<DashboardFixture>(true);
    m_set = m_fx->storyboard->start("ViewControllerSet");
}

int tst_ViewControllerSet::refreshesSent() const
{
    const QString script = "/TolvarGetEveryThingTimerIOS.php?devid=86000001";
    return int(
        m_fx->log.matching("urlString = " + m_fx->sim->baseUrl().toString() + script).size());
}

void tst_ViewControllerSet::swipesGoThroughTheFivePagesAndMoveTheDot()
{
    QCOMPARE(pager()->visiblePage(), page(1));
    QVERIFY(!pager()->beginSwipe(Direction::Reverse));
    QVERIFY(pager()->beginSwipe(Direction::Forward));
    QCOMPARE(dots()->currentPage(), 1);
    pager()->endSwipe(true);
    // A page first shown by a swipe shows everything it made while loading.
    for (const char* name : {"switchpower", "PowerCustom1", "powerlichengmax"})
        QVERIFY2(child<QWidget>(page(2), name)->isVisible(), name);
    // The dot moves with the swipe's start and is not put back when it is cancelled.
    QVERIFY(pager()->beginSwipe(Direction::Forward));
    pager()->endSwipe(false);
    QCOMPARE(pager()->visiblePage(), page(2));
    QCOMPARE(dots()->currentPage(), 2);
    QVERIFY(pager()->beginSwipe(Direction::Reverse));
    QCOMPARE(dots()->currentPage(), 0);
    pager()->endSwipe(false);

    for (int number = 3; number <= 5; ++number) {
        QVERIFY(pager()->beginSwipe(Direction::Forward));
        pager()->endSwipe(true);
        QCOMPARE(pager()->visiblePage()->identifier(), QString("AllOfSetPages%1").arg(number));
    }
    QVERIFY(!pager()->beginSwipe(Direction::Forward));
    // The pager leaves the lowest eighth to the tabs; the dots sit at 735 of 1280.
    QCOMPARE(pager()->geometry(), QRect(0, 0, 360, 560));
    m_fx->host.resize(720, 1280);
    QCOMPARE(pager()->geometry(), QRect(0, 0, 720, 1120));
    QCOMPARE(dots()->geometry(), QRect(320, 735, 80, 16));
}

void tst_ViewControllerSet::pageControlTapsPageOneStepUnanimated()
{
    tapDot(0, 10);
    QCOMPARE(pager()->visiblePage(), page(2));
    QCOMPARE(pager()->lastDirection(), Direction::Forward);
    tapDot(1, 10);
    tapDot(2, -10);
    QCOMPARE(pager()->visiblePage(), page(2));
    QCOMPARE(pager()->lastDirection(), Direction::Reverse);
    QCOMPARE(pager()->lastAnimated(), false);
    // A tap beyond the first dot goes nowhere and sends no action.
    tapDot(1, -10);
    tapDot(0, -10);
    QCOMPARE(pager()->visiblePage(), page(1));
    QCOMPARE(m_fx->log.count("33"), 4);
}

void tst_ViewControllerSet::onlyTheVisiblePageTicks()
{
    auto* ring = child<YuanHuanCustomView>(page(1), "MyYuanHuan");
    m_fx->set("power", "42");
    m_fx->loop.advance(5 * 30);
    // Ticks at 0, 30, ... 150: the ring climbs towards its full target.
    QCOMPARE(ring->getYuanHuanProcess(), 0.06f);

    tapDot(0, 10);
    auto* cylinder = child<PowerCustomView>(page(2), "PowerCustom1");
    m_fx->loop.advance(4 * 30);
    QCOMPARE(ring->getYuanHuanProcess(), 0.06f);
    QCOMPARE(cylinder->getPowerProcess(), 0.05f);

    // Back on screen it ticks at once.
    tapDot(1, -10);
    m_fx->loop.runDue();
    QCOMPARE(ring->getYuanHuanProcess(), 0.07f);
    m_fx->loop.advance(10 * 30);
    QCOMPARE(cylinder->getPowerProcess(), 0.05f);
}

void tst_ViewControllerSet::tabsLeaveTheSectionAndReleaseIt()
{
    QPointer<Screen> mileage = page(1);
    child<ImageView>(m_set, "PosImage")->tapRecognizer()->tap();
    QCOMPARE(m_fx->storyboard->topScreen()->identifier(), QString("ViewControllerPos"));
    QVERIFY(m_fx->log.contains("Set释放"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_set.isNull());
    QVERIFY(mileage.isNull());

    // Back in a new section, the profile tab leads on.
    m_set = m_fx->storyboard->start("ViewControllerSet");
    child<ImageView>(m_set, "MineImage")->tapRecognizer()->tap();
    QCOMPARE(m_fx->storyboard->topScreen()->identifier(), QString("ViewControllerMine"));
}

void tst_ViewControllerSet::refreshRunsAtOnceThenEvery30SecondsWhileOnScreen()
{
    QSignalSpy answers(m_fx->app.delegate->networkAccessManager(),
                       &QNetworkAccessManager::finished);
    m_fx->loop.runDue();
    QCOMPARE(refreshesSent(), 1);
    // The answer is stored, and raises no alarm.
    QTRY_COMPARE(answers.count(), 1);
    QCOMPARE(m_fx->value("maxspeed"), m_fx->sim->device("86000001").maxspeed);
    QCOMPARE(m_fx->value("zhendongcishu"), QString("0"));
    m_fx->sim->addFault(
        SimFault::of(SimFault::Kind::ServerError, "/TolvarGetEveryThingTimerIOS.php"));
    m_fx->loop.advance(29990);
    QCOMPARE(refreshesSent(), 1);
    m_fx->loop.advance(10);
    QCOMPARE(refreshesSent(), 2);
    m_fx->loop.advanceSeconds(60);
    QCOMPARE(refreshesSent(), 4);
    // A refresh that fails says nothing.
    QTRY_COMPARE(answers.count(), 4);
    QVERIFY(m_fx->log.matching("error = ").isEmpty());

    // Hidden (another screen over it) it sends nothing; back on screen it refreshes at once.
    DashboardFixture::setAppeared(m_set, false);
    m_fx->loop.advanceSeconds(120);
    QCOMPARE(refreshesSent(), 4);
    DashboardFixture::setAppeared(m_set, true);
    m_fx->loop.runDue();
    QCOMPARE(refreshesSent(), 5);
}

QTEST_MAIN(tst_ViewControllerSet)
#include "tst_ViewControllerSet.moc"
