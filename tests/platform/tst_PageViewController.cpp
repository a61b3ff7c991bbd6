#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A page that records its appearance events into a shared journal.
class JournalPage : public Screen
{
public:
    JournalPage(QString name, QStringList* journal) : m_name(std::move(name)), m_journal(journal) {}

protected:
    void viewWillAppear() override { *m_journal << m_name + " willAppear"; }
    void viewDidAppear() override { *m_journal << m_name + " didAppear"; }
    void viewWillDisappear() override { *m_journal << m_name + " willDisappear"; }
    void viewDidDisappear() override { *m_journal << m_name + " didDisappear"; }

private:
    QString m_name;
    QStringList* m_journal;
};

// A section over three pages, as the section screens use the pager.
class Section : public PageViewControllerDataSource, public PageViewControllerDelegate
{
public:
    QStringList journal;
    QList<Screen*> pages;
    PageViewController pager;
    PageControl dots;

    Section()
    {
        for (const char* name : {"p0", "p1", "p2"})
            pages << new JournalPage(name, &journal);
        pager.setDataSource(this);
        pager.setDelegate(this);
        pager.setBaseGeometry(QRect(0, 0, 320, 497));
        pager.setViewControllers({pages[0]}, PageViewController::NavigationDirection::Forward,
                                 false);
        dots.setNumberOfPages(3);
        dots.resize(80, 16);
    }
    Screen* viewControllerBeforeViewController(PageViewController*, Screen* page) override
    {
        const int i = int(pages.indexOf(page));
        journal << "before";
        return i > 0 ? pages[i - 1] : nullptr;
    }
    Screen* viewControllerAfterViewController(PageViewController*, Screen* page) override
    {
        const int i = int(pages.indexOf(page));
        journal << "after";
        return i < pages.size() - 1 ? pages[i + 1] : nullptr;
    }
    void willTransitionToViewControllers(PageViewController* p,
                                         const QList<Screen*>& pending) override
    {
        journal << QString("willTransition visible=%1").arg(pages.indexOf(p->visiblePage()));
        dots.setCurrentPage(int(pages.indexOf(pending.first())));
    }
    int visibleIndex() const { return int(pages.indexOf(pager.visiblePage())); }
    void appear()
    {
        pager.beginAppearanceTransition(true);
        pager.endAppearanceTransition();
        journal.clear();
    }
};

void drag(QWidget* widget, int fromX, int toX)
{
    const int y = widget->height() / 2;
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(fromX, y));
    const int steps = 6;
    for (int i = 1; i <= steps; ++i) {
        QMouseEvent move(QEvent::MouseMove, QPointF(fromX + (toX - fromX) * i / steps, y),
                         widget->mapToGlobal(QPointF(fromX + (toX - fromX) * i / steps, y)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(toX, y));
}

} // namespace

class tst_PageViewController : public QObject
{
    Q_OBJECT

private slots:
    void endsOfThePagesGiveNoPage();
    void willTransitionComesBeforeTheChange();
    void abandonedSwipeKeepsThePageAndTheDotOnThePending();
    void appearanceGoesToTheVisiblePageOnly();
    void mouseDragsSwipeBothWays();
    void pageControlTapsMoveOneDotEitherWay();
    void pageControlDirectionOfSetViewControllers();
    void pagesFollowThePagerSize();
    void pagesSlideIntoPlaceOnScreen();
};

void tst_PageViewController::endsOfThePagesGiveNoPage()
{
    Section s;
    QVERIFY(!s.pager.beginSwipe(PageViewController::NavigationDirection::Reverse));
    QCOMPARE(s.journal, QStringList({"before"}));
    s.pager.setViewControllers({s.pages[2]}, PageViewController::NavigationDirection::Forward,
                               false);
    s.journal.clear();
    QVERIFY(!s.pager.beginSwipe(PageViewController::NavigationDirection::Forward));
    QCOMPARE(s.journal, QStringList({"after"}));
    QCOMPARE(s.visibleIndex(), 2);
    QVERIFY(!s.pager.isSwiping());
}

void tst_PageViewController::willTransitionComesBeforeTheChange()
{
    Section s;
    s.appear();
    QVERIFY(s.pager.beginSwipe(PageViewController::NavigationDirection::Forward));
    QCOMPARE(s.journal.mid(0, 2), QStringList({"after", "willTransition visible=0"}));
    QCOMPARE(s.dots.currentPage(), 1);
    QCOMPARE(s.visibleIndex(), 0);
    s.pager.updateSwipe(0.6);
    s.pager.endSwipe(true);
    QCOMPARE(s.visibleIndex(), 1);
    QCOMPARE(s.pager.lastDirection(), PageViewController::NavigationDirection::Forward);
}

void tst_PageViewController::abandonedSwipeKeepsThePageAndTheDotOnThePending()
{
    Section s;
    s.appear();
    s.pager.beginSwipe(PageViewController::NavigationDirection::Forward);
    s.pager.updateSwipe(0.1);
    s.pager.endSwipe(false);
    QCOMPARE(s.visibleIndex(), 0);
    QCOMPARE(s.dots.currentPage(), 1);
    QCOMPARE(s.journal.mid(2), QStringList({"p0 willDisappear", "p1 willAppear", "p1 willDisappear",
                                            "p0 willAppear", "p1 didDisappear", "p0 didAppear"}));
    QVERIFY(s.pages[0]->isAppeared());
    QVERIFY(!s.pages[1]->isAppeared());
    QVERIFY(!s.pages[1]->isVisible());
}

void tst_PageViewController::appearanceGoesToTheVisiblePageOnly()
{
    Section s;
    s.pager.beginAppearanceTransition(true);
    s.pager.endAppearanceTransition();
    QCOMPARE(s.journal, QStringList({"p0 willAppear", "p0 didAppear"}));
    s.journal.clear();

    s.pager.setViewControllers({s.pages[2]}, PageViewController::NavigationDirection::Forward,
                               false);
    QCOMPARE(s.journal,
             QStringList({"p0 willDisappear", "p2 willAppear", "p0 didDisappear", "p2 didAppear"}));
    s.journal.clear();
    s.pager.beginAppearanceTransition(false);
    s.pager.endAppearanceTransition();
    QCOMPARE(s.journal, QStringList({"p2 willDisappear", "p2 didDisappear"}));
    s.journal.clear();
    // A hidden pager changes pages without telling them; they hear it when it appears.
    s.pager.setViewControllers({s.pages[1]}, PageViewController::NavigationDirection::Reverse,
                               false);
    QVERIFY(s.journal.isEmpty());
}

void tst_PageViewController::mouseDragsSwipeBothWays()
{
    Section s;
    s.pager.show();
    s.appear();
    drag(&s.pager, 250, 60);
    QCOMPARE(s.visibleIndex(), 1);
    QCOMPARE(s.dots.currentPage(), 1);
    drag(&s.pager, 60, 250);
    QCOMPARE(s.visibleIndex(), 0);
    QCOMPARE(s.pager.lastDirection(), PageViewController::NavigationDirection::Reverse);
    // A short drag is abandoned; a vertical one is no swipe at all.
    drag(&s.pager, 200, 170);
    QCOMPARE(s.visibleIndex(), 0);
    s.journal.clear();
    QTest::mousePress(&s.pager, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(105, 300), s.pager.mapToGlobal(QPointF(105, 300)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&s.pager, &move);
    QTest::mouseRelease(&s.pager, Qt::LeftButton, {}, QPoint(105, 300));
    QVERIFY(s.journal.isEmpty());
}

void tst_PageViewController::pageControlTapsMoveOneDotEitherWay()
{
    PageControl dots;
    dots.resize(80, 16);
    dots.setNumberOfPages(5);
    QSignalSpy changed(&dots, &PageControl::valueChanged);
    dots.tapAt(dots.dotCentre(0).x() + 20);
    QCOMPARE(dots.currentPage(), 1);
    dots.tapAt(dots.dotCentre(1).x() + 1);
    QCOMPARE(dots.currentPage(), 2);
    dots.tapAt(dots.dotCentre(2).x() - 1);
    QCOMPARE(dots.currentPage(), 1);
    QCOMPARE(changed.count(), 3);
    dots.tapAt(0);
    dots.tapAt(0);
    QCOMPARE(dots.currentPage(), 0);
    QCOMPARE(changed.count(), 4);
    QTest::mouseClick(&dots, Qt::LeftButton, {}, QPoint(79, 8));
    QCOMPARE(dots.currentPage(), 1);

    // The dots draw in their colours at their centres.
    dots.setCurrentPageIndicatorTintColor(QColor(19, 146, 134));
    dots.setPageIndicatorTintColor(QColor(47, 47, 47));
    QImage picture(dots.size(), QImage::Format_ARGB32);
    picture.fill(Qt::white);
    dots.render(&picture);
    QCOMPARE(picture.pixelColor(dots.dotCentre(1).toPoint()), QColor(19, 146, 134));
    QCOMPARE(picture.pixelColor(dots.dotCentre(3).toPoint()), QColor(47, 47, 47));
}

void tst_PageViewController::pageControlDirectionOfSetViewControllers()
{
    // What a section does on a tap of its page control: forward when the dot moved right.
    Section s;
    s.appear();
    QObject::connect(&s.dots, &PageControl::valueChanged, [&] {
        const int c = s.dots.currentPage();
        s.pager.setViewControllers({s.pages[c]},
                                   c > s.visibleIndex()
                                       ? PageViewController::NavigationDirection::Forward
                                       : PageViewController::NavigationDirection::Reverse,
                                   false);
    });
    s.dots.tapAt(s.dots.width());
    QCOMPARE(s.visibleIndex(), 1);
    QCOMPARE(s.pager.lastDirection(), PageViewController::NavigationDirection::Forward);
    QVERIFY(!s.pager.lastAnimated());
    s.dots.tapAt(0);
    QCOMPARE(s.visibleIndex(), 0);
    QCOMPARE(s.pager.lastDirection(), PageViewController::NavigationDirection::Reverse);
}

void tst_PageViewController::pagesFollowThePagerSize()
{
    Section s;
    QCOMPARE(s.pages[0]->geometry(), QRect(0, 0, 320, 497));
    s.pager.setBaseGeometry(QRect(0, 0, 414, 644));
    QCOMPARE(s.pages[0]->geometry(), QRect(0, 0, 414, 644));
}

void tst_PageViewController::pagesSlideIntoPlaceOnScreen()
{
    Section s;
    s.pager.show();
    s.appear();
    drag(&s.pager, 250, 100);
    QCOMPARE(s.visibleIndex(), 1);
    QVERIFY(s.pager.isSliding());
    QVERIFY(s.pages[0]->isVisible());
    s.pager.finishAnimations();
    QVERIFY(!s.pager.isSliding());
    QCOMPARE(s.pages[1]->geometry(), QRect(0, 0, 320, 497));
    QVERIFY(!s.pages[0]->isVisible());

    // Setting a page with animation slides too; without, it is in place at once.
    s.pager.setViewControllers({s.pages[2]}, PageViewController::NavigationDirection::Forward,
                               true);
    QVERIFY(s.pager.isSliding());
    QCOMPARE(s.visibleIndex(), 2);
    s.pager.setViewControllers({s.pages[0]}, PageViewController::NavigationDirection::Reverse,
                               false);
    QVERIFY(!s.pager.isSliding());
    QCOMPARE(s.pages[0]->geometry(), QRect(0, 0, 320, 497));
    QVERIFY(!s.pages[2]->isVisible());
    QVERIFY(!s.pages[1]->isVisible());
}

QTEST_MAIN(tst_PageViewController)
#include "tst_PageViewController.moc"
