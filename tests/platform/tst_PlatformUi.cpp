#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/OverlayAlertPresenter.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/SquareCropView.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextField.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Direction = PageViewController::NavigationDirection;
using State = PanGestureRecognizer::State;

// Writes its lifecycle into the log under its identifier, or under `name` when it has none.
class Logging : public Screen
{
public:
    explicit Logging(QString name = {}) : m_name(std::move(name)) {}

protected:
    QString who() const { return m_name.isEmpty() ? identifier() : m_name; }
    void viewDidLoad() override { Log::write(who() + " load"); }
    void viewWillAppear() override { Log::write(who() + " willAppear"); }
    void viewDidAppear() override { Log::write(who() + " didAppear"); }
    void viewWillDisappear() override { Log::write(who() + " willDisappear"); }
    void viewDidDisappear() override { Log::write(who() + " didDisappear"); }
    void didRelease() override { Log::write(who() + " release"); }
    QString m_name;
};

// Moves on as soon as it is on display.
class Hasty : public Logging
{
protected:
    void viewDidAppear() override
    {
        Logging::viewDidAppear();
        performSegueWithIdentifier("replace");
    }
};

// Three pages p0..p2 in a row, logging, as a section shows them.
class Pages : public PageViewControllerDataSource, public PageViewControllerDelegate
{
public:
    QList<Screen*> pages{new Logging("p0"), new Logging("p1"), new Logging("p2")};
    PageViewController pager;
    QList<int> pending;

    Pages()
    {
        pager.setDataSource(this);
        pager.setDelegate(this);
        pager.setBaseGeometry(QRect(0, 0, 320, 400));
        pager.setViewControllers({pages[0]}, Direction::Forward, false);
    }
    Screen* viewControllerBeforeViewController(PageViewController*, Screen* page) override
    {
        return pages.value(pages.indexOf(page) - 1);
    }
    Screen* viewControllerAfterViewController(PageViewController*, Screen* page) override
    {
        return pages.value(pages.indexOf(page) + 1);
    }
    void willTransitionToViewControllers(PageViewController* p, const QList<Screen*>& to) override
    {
        QCOMPARE(p->visiblePage(), pages[visible()]); // not changed yet
        pending << int(pages.indexOf(to.first()));
    }
    int visible() const { return int(pages.indexOf(pager.visiblePage())); }
    void appear()
    {
        pager.beginAppearanceTransition(true);
        pager.endAppearanceTransition();
    }
};

void mouse(QWidget* widget, QEvent::Type type, const QPointF& at)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void drag(QWidget* widget, const QPointF& from, const QPointF& to, int steps = 6)
{
    mouse(widget, QEvent::MouseButtonPress, from);
    for (int i = 1; i <= steps; ++i)
        mouse(widget, QEvent::MouseMove, from + (to - from) * i / steps);
    mouse(widget, QEvent::MouseButtonRelease, to);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Rows of 60 points unless `heights` says otherwise; remembers what the table asked.
class Rows : public TableViewDataSource, public TableViewDelegate
{
public:
    int numberOfRowsInSection(TableView*, int) override { return ++countQueries, count; }
    TableViewCell* cellForRowAtIndexPath(TableView* table, int row) override
    {
        asked << row;
        return table->dequeueReusableCellWithIdentifier("row");
    }
    qreal heightForRowAtIndexPath(TableView*, int row) override { return heights.value(row, 60); }
    void didSelectRowAtIndexPath(TableView*, int row) override { selected << row; }
    int count = 100, countQueries = 0, made = 0;
    QHash<int, qreal> heights;
    QList<int> asked, selected;
};

TableView* table(Rows& rows, QWidget* parent)
{
    auto* table = new TableView(parent);
    table->setGeometry(0, 0, 320, 300);
    table->registerCell("row", [&rows] { return ++rows.made, new TableViewCell("row"); });
    table->setDataSource(&rows);
    table->setDelegate(&rows);
    return table;
}

struct Picked : ImagePickerControllerDelegate
{
    int finished = 0, cancelled = 0;
    ImagePickerResult result;
    void imagePickerControllerDidFinishPicking(ImagePickerController*,
                                               const ImagePickerResult& r) override
    {
        ++finished;
        result = r;
    }
    void imagePickerControllerDidCancel(ImagePickerController*) override { ++cancelled; }
};

} // namespace

// The phone's screen machinery: the storyboard and its screens, the pager, tables, alerts,
// fields, gestures and the picture picker.
class tst_PlatformUi : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void seguesOfEachKind();
    void sectionSwitchesKeepMemoryBounded();
    void lateAndUnknownSeguesChangeNothing();
    void segueAskedForWhileAppearingFollowsTheTransition();
    void screenLifecycleAndRelease();
    void pagerSwipesAndTellsThePages();
    void pagerDrags();
    void tableLoadsOnceAndReusesCells();
    void tableScrollsSelectsAndSwipesThePager();
    void alertsOneAtATime();
    void fieldsMoveTheFormAndEndInOrder();
    void tapAndPanGestures();
    void pickerCropsAndCancels();
    void switchTellsOnlyOnTap();
    void widgetsFollowTheirFrames();
    void imagesAndTranslations();

private:
    QWidget* m_host = nullptr;
    Storyboard* m_storyboard = nullptr;
};

void tst_PlatformUi::init()
{
    m_host = new QWidget;
    m_host->resize(360, 640);
    m_host->show();
    m_storyboard = new Storyboard(m_host);
    for (const char* id : {"A", "B", "C", "S", "T"})
        m_storyboard->registerScreen<Logging>(id);
    m_storyboard->registerSegue("present", "B", SegueKind::Present);
    m_storyboard->registerSegue("replace", "C", SegueKind::Replace);
    m_storyboard->registerSegue("backToB", "B", SegueKind::BackTo);
    m_storyboard->registerSegue("section", "S", SegueKind::EnterSection);
    m_storyboard->registerSegue("toS", "S", SegueKind::Replace);
    m_storyboard->registerSegue("toT", "T", SegueKind::Replace);
    m_storyboard->registerSegue("restart", "A", SegueKind::Restart);
}

void tst_PlatformUi::cleanup()
{
    delete m_storyboard;
    delete m_host;
    flushDeletes();
    QVERIFY(AlertController::visibleAlerts().isEmpty());
    QVERIFY(!ImagePickerController::active());
}

static QStringList ids(const QList<Screen*>& screens)
{
    QStringList ids;
    for (Screen* s : screens)
        ids << s->identifier();
    return ids;
}

void tst_PlatformUi::seguesOfEachKind()
{
    Log::Capture log;
    Screen* a = m_storyboard->start("A");
    QVERIFY(a->isAppeared());
    QVERIFY(m_storyboard->performSegue(a, "present"));
    Screen* b = m_storyboard->topScreen();
    QVERIFY(!a->isAppeared() && !a->isReleased());
    QVERIFY(m_storyboard->performSegue(b, "present"));
    QVERIFY(m_storyboard->performSegue(m_storyboard->topScreen(), "replace"));
    QCOMPARE(ids(m_storyboard->stack()), QStringList({"A", "B", "C"}));
    // Back to the B underneath, not a new one.
    QVERIFY(m_storyboard->performSegue(m_storyboard->topScreen(), "backToB"));
    QCOMPARE(m_storyboard->topScreen(), b);
    QVERIFY(b->isAppeared());
    QCOMPARE(log.matching("C "), QStringList({"C load", "C willAppear", "C didAppear",
                                              "C willDisappear", "C didDisappear", "C release"}));
    QVERIFY(m_storyboard->performSegue(b, "section"));
    QCOMPARE(ids(m_storyboard->stack()), QStringList({"A", "S"}));
    QCOMPARE(m_storyboard->firstScreen(), a);
    // Screens fill the host and follow its size.
    m_host->resize(414, 736);
    for (Screen* s : m_storyboard->stack())
        QCOMPARE(s->geometry(), QRect(0, 0, 414, 736));

    QVERIFY(m_storyboard->performSegue(m_storyboard->topScreen(), "restart"));
    QCOMPARE(ids(m_storyboard->stack()), QStringList({"A"}));
    QVERIFY(m_storyboard->firstScreen() != a && a->isReleased());
    QVERIFY(m_storyboard->firstScreen()->isAppeared());
    flushDeletes();
    QCOMPARE(m_storyboard->liveScreenCount(), 1);
}

void tst_PlatformUi::sectionSwitchesKeepMemoryBounded()
{
    m_storyboard->performSegue(m_storyboard->start("A"), "section");
    Log::Capture log;
    for (int round = 0; round < 20; ++round) {
        for (const char* segue : {"toT", "toS"}) {
            Screen* from = m_storyboard->topScreen();
            QVERIFY(m_storyboard->performSegue(from, segue));
            QVERIFY(from->isReleased());
        }
        flushDeletes();
        QCOMPARE(m_storyboard->liveScreenCount(), 2);
    }
    QCOMPARE(log.count("T release"), 20);
    QVERIFY(log.lines().indexOf("S didDisappear") < log.lines().indexOf("S release"));
    QCOMPARE(ids(m_storyboard->stack()), QStringList({"A", "S"}));
}

void tst_PlatformUi::lateAndUnknownSeguesChangeNothing()
{
    Screen* a = m_storyboard->start("A");
    m_storyboard->performSegue(a, "present");
    Screen* b = m_storyboard->topScreen();
    std::shared_ptr<void> answerDue = b->keepAlive();
    m_storyboard->performSegue(b, "section");
    Screen* section = m_storyboard->topScreen();
    // A late answer on B, kept alive for it, cannot navigate any more.
    QVERIFY(!m_storyboard->performSegue(b, "present"));
    QVERIFY(!m_storyboard->performSegue(a, "present"));
    QVERIFY(!m_storyboard->performSegue(section, "no such segue"));
    QCOMPARE(m_storyboard->topScreen(), section);
    flushDeletes();
    QCOMPARE(m_storyboard->liveScreenCount(), 3);
    answerDue.reset();
    flushDeletes();
    QCOMPARE(m_storyboard->liveScreenCount(), 2);
    // A page of the section navigates through the section.
    auto* page = new Logging;
    section->addChildScreen(page);
    QVERIFY(m_storyboard->performSegue(page, "toT"));
    QCOMPARE(m_storyboard->topScreen()->identifier(), QString("T"));
    // A name nobody registered makes a blank screen instead of a crash.
    std::unique_ptr<Screen> blank(m_storyboard->instantiateViewControllerWithIdentifier("Z"));
    QCOMPARE(blank->identifier(), QString("Z"));
    QCOMPARE(blank->storyboard(), m_storyboard);
}

void tst_PlatformUi::segueAskedForWhileAppearingFollowsTheTransition()
{
    m_storyboard->registerScreen<Hasty>("B");
    Log::Capture log;
    QVERIFY(m_storyboard->performSegue(m_storyboard->start("A"), "present"));
    QCOMPARE(m_storyboard->topScreen()->identifier(), QString("B"));
    QTRY_COMPARE_WITH_TIMEOUT(ids(m_storyboard->stack()), QStringList({"A", "C"}), 20000);
    QVERIFY(log.lines().indexOf("B didAppear") < log.lines().indexOf("C load"));
    QVERIFY(m_storyboard->topScreen()->isAppeared());
}

void tst_PlatformUi::screenLifecycleAndRelease()
{
    Log::Capture log;
    Logging parent("parent");
    auto* child = new Logging("child");
    parent.addChildScreen(child);
    for (bool appearing : {true, true, false, false}) {
        parent.beginAppearanceTransition(appearing);
        parent.endAppearanceTransition();
    }
    const QStringList once{"load", "willAppear", "didAppear", "willDisappear", "didDisappear"};
    for (const QString& who : {"parent", "child"}) {
        QStringList expected;
        for (const QString& step : once)
            expected << who + " " + step;
        QCOMPARE(log.matching(who), expected);
    }

    // Released, a screen waits for its keep-alive tokens; its pages live as long as it does.
    static QStringList seen;
    struct Section : Screen
    {
        QList<Screen*> pages;
        ~Section() override
        {
            for (Screen* page : pages)
                seen << (page->isReleased() ? "released" : "live");
        }
    };
    QPointer<Section> section = new Section;
    for (int i = 0; i < 2; ++i)
        section->addChildScreen(section->pages.emplace_back(new Logging("page")));
    std::shared_ptr<void> token = section->keepAlive();
    section->release();
    section->release();
    QCOMPARE(log.count("page release"), 2);
    flushDeletes();
    QVERIFY(section);
    token.reset();
    flushDeletes();
    QVERIFY(section.isNull());
    QCOMPARE(seen, QStringList({"released", "released"}));
}

void tst_PlatformUi::pagerSwipesAndTellsThePages()
{
    Pages s;
    Log::Capture log;
    QVERIFY(!s.pager.beginSwipe(Direction::Reverse)); // nothing before the first page
    s.appear();
    QCOMPARE(log.lines().filter("ppear"), QStringList({"p0 willAppear", "p0 didAppear"}));
    // An abandoned swipe leaves the page where it was.
    QVERIFY(s.pager.beginSwipe(Direction::Forward));
    s.pager.updateSwipe(0.1);
    s.pager.endSwipe(false);
    QCOMPARE(s.visible(), 0);
    QCOMPARE(log.lines().filter("ppear").mid(2),
             QStringList({"p0 willDisappear", "p1 willAppear", "p1 willDisappear", "p0 willAppear",
                          "p1 didDisappear", "p0 didAppear"}));
    QVERIFY(!s.pages[1]->isAppeared());
    s.pager.beginSwipe(Direction::Forward);
    s.pager.updateSwipe(0.6);
    s.pager.endSwipe(true);
    QCOMPARE(s.visible(), 1);
    QCOMPARE(s.pending, QList<int>({1, 1}));
    s.pager.setViewControllers({s.pages[2]}, Direction::Forward, false);
    QVERIFY(!s.pager.beginSwipe(Direction::Forward)); // nothing after the last
    log.clear();
    s.pager.beginAppearanceTransition(false);
    s.pager.endAppearanceTransition();
    // A hidden pager changes pages without telling them.
    s.pager.setViewControllers({s.pages[1]}, Direction::Reverse, false);
    QCOMPARE(log.lines().filter("ppear"), QStringList({"p2 willDisappear", "p2 didDisappear"}));
}

void tst_PlatformUi::pagerDrags()
{
    Pages s;
    s.pager.show();
    s.appear();
    drag(&s.pager, {250, 200}, {60, 200});
    QCOMPARE(s.visible(), 1);
    QVERIFY(s.pager.isSliding());
    s.pager.finishAnimations();
    QCOMPARE(s.pages[1]->geometry(), QRect(0, 0, 320, 400));
    QVERIFY(!s.pages[0]->isVisible());
    drag(&s.pager, {60, 200}, {250, 200});
    QCOMPARE(s.visible(), 0);
    drag(&s.pager, {200, 200}, {170, 200});    // too short: abandoned
    drag(&s.pager, {100, 100}, {105, 300}, 1); // upright: no swipe at all
    QCOMPARE(s.visible(), 0);
    QCOMPARE(s.pending, QList<int>({1, 0, 1}));
}

void tst_PlatformUi::tableLoadsOnceAndReusesCells()
{
    Rows rows;
    TableView* t = table(rows, m_host);
    QCOMPARE(rows.countQueries, 0);
    t->show();
    QCOMPARE(t->numberOfRows(), 100);
    QCOMPARE(t->visibleRows(), (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(rows.made, 5);
    rows.count = 150;        // the table keeps the count it loaded until reloaded
    t->setContentOffset(30); // half a row down: row 5 peeks in
    QCOMPARE(t->visibleRows(), (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(t->cellForRow(0)->geometry(), QRect(0, -30, 320, 60));
    TableViewCell* leaving = t->cellForRow(0);
    t->setContentOffset(150); // rows 0 and 1 leave; their cells serve rows 6 and 7
    QCOMPARE(t->visibleRows(), (QList<int>{2, 3, 4, 5, 6, 7}));
    QVERIFY(leaving == t->cellForRow(6) || leaving == t->cellForRow(7));
    t->setContentOffset(4000);
    QCOMPARE(rows.made, 6);
    QCOMPARE(t->numberOfRows(), 100);
    rows.asked.clear();
    t->setContentOffset(0);
    QCOMPARE(rows.asked, (QList<int>{0, 1, 2, 3, 4}));
    rows.asked.clear();
    t->setContentOffset(0);
    t->layoutIfNeeded();
    QVERIFY(rows.asked.isEmpty());
    QVERIFY(!t->dequeueReusableCellWithIdentifier("other"));
    t->reloadData();
    QCOMPARE(t->numberOfRows(), 150);
    QCOMPARE(rows.countQueries, 2);
}

void tst_PlatformUi::tableScrollsSelectsAndSwipesThePager()
{
    Rows rows;
    rows.count = 10;
    rows.heights = {{0, 100}, {1, 20}, {9, 200}};
    TableView* t = table(rows, m_host);
    t->show();
    QCOMPARE(t->rectForRow(2), QRectF(0, 120, 320, 60));
    QCOMPARE(t->rowAtPoint(QPointF(10, 119.5)), 1);
    QCOMPARE(t->rowAtPoint(QPointF(10, 120)), 2);
    t->setContentOffset(10000); // bounded by the last screenful
    QCOMPARE(t->contentOffset(), 440.0);
    QCOMPARE(t->rowAtPoint(QPointF(10, 299)), 9);
    t->setContentOffset(-50);
    QCOMPARE(t->contentOffset(), 0.0);
    drag(t, {100, 250}, {103, 130}, 2); // a drag scrolls and selects nothing
    QCOMPARE(t->contentOffset(), 120.0);
    drag(t, {100, 10}, {103, 12}, 1); // a press that hardly moves taps row 2
    QCOMPARE(rows.selected, QList<int>{2});
    t->cellForRow(3)->setSelectionStyle(TableViewCell::SelectionStyle::None);
    t->tapAt(QPointF(100, 65));
    QCOMPARE(t->selectedRow(), 3);
    QVERIFY(!t->cellForRow(2)->isSelected() && t->cellForRow(3)->isSelected());
    QVERIFY(!t->cellForRow(3)->showsHighlight());
    rows.count = 2;
    rows.heights.clear();
    t->reloadData();
    t->tapAt(QPointF(100, 250)); // below the last row
    QCOMPARE(rows.selected, (QList<int>{2, 3}));

    // Sideways, the drag swipes the pager the table lies in.
    Pages s;
    s.pager.show();
    Rows inPage;
    TableView* paged = table(inPage, s.pages[0]);
    paged->show();
    mouse(paged, QEvent::MouseButtonPress, {250, 100});
    mouse(paged, QEvent::MouseMove, {200, 104});
    QCOMPARE(s.pager.pendingPage(), s.pages[1]);
    mouse(paged, QEvent::MouseMove, {100, 104});
    mouse(paged, QEvent::MouseButtonRelease, {100, 104});
    QCOMPARE(s.visible(), 1);
    QCOMPARE(paged->contentOffset(), 0.0);
    QVERIFY(inPage.selected.isEmpty());
}

void tst_PlatformUi::alertsOneAtATime()
{
    auto* child = new QWidget(m_host);
    QVERIFY(AlertController::showTip(child, "用户名过短!"));
    QVERIFY(!AlertController::showTip(m_host, "密码过短!")); // never stacked
    QCOMPARE(AlertController::topAlert()->parentWidget(), m_host);
    QCOMPARE(AlertController::topAlert()->actionTitles(), QStringList({"确定"}));
    QVERIFY(AlertController::topAlert()->pressAction("确定"));
    QVERIFY(!AlertController::topAlert());

    QStringList ran;
    auto* alert = new AlertController("切换用户", "");
    alert->addAction("取消", AlertController::ActionStyle::Cancel, [&] { ran << "cancel"; });
    alert->addAction("切换", AlertController::ActionStyle::Default,
                     [&] { ran << alert->textFields().first()->text(); });
    alert->addTextField();
    QVERIFY(alert->presentOver(m_host));
    QTest::keyClicks(alert->textFields().first(), "7QX2");
    QPushButton* button = nullptr;
    for (QPushButton* b : alert->findChildren<QPushButton*>())
        button = b->text() == "切换" ? b : button;
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ran, QStringList({"7QX2"}));

    // The core's alerts wait their turn behind the one showing.
    OverlayAlertPresenter presenter(m_host);
    QList<int> answers;
    AlertController::showTip(m_host, "网络访问出错!");
    presenter.showAlert("报警", "围栏报警", {"OK"}, [&](int i) { answers << i; });
    presenter.showAlert("报警", "电量报警", {"OK", "Later"}, [&](int i) { answers << 10 + i; });
    AlertController::topAlert()->pressAction(0);
    QCOMPARE(AlertController::topAlert()->message(), QString("围栏报警"));
    AlertController::topAlert()->pressAction("OK");
    QCOMPARE(AlertController::topAlert()->message(), QString("电量报警"));
    AlertController::topAlert()->pressAction("Later");
    QCOMPARE(answers, QList<int>({0, 11}));
}

void tst_PlatformUi::fieldsMoveTheFormAndEndInOrder()
{
    // A form that moves up for the keyboard while a field edits, as the registration does.
    struct Form : Screen, TextFieldDelegate
    {
        QStringList events;
        TextField* name = new TextField(this);
        TextField* pwd = new TextField(this);
        Form()
        {
            name->setObjectName("name");
            pwd->setObjectName("pwd");
            name->setDelegate(this);
            pwd->setDelegate(this);
        }
        bool textFieldShouldReturn(TextField* field) override
        {
            events << "return " + field->objectName();
            field->resignFirstResponder();
            return true;
        }
        void textFieldDidBeginEditing(TextField* field) override
        {
            events << "begin " + field->objectName();
            animateViewOffset(-120);
        }
        void textFieldDidEndEditing(TextField* field) override
        {
            events << "end " + field->objectName();
            animateViewOffset(120);
        }
    } form;
    form.setBaseGeometry(QRect(0, 0, 360, 640));
    form.name->becomeFirstResponder();
    form.pwd->becomeFirstResponder(); // before the first move is over
    form.finishAnimations();
    QCOMPARE(form.geometry().top(), -120);
    QTest::keyClick(form.pwd, Qt::Key_Return);
    QCOMPARE(form.events,
             QStringList({"begin name", "end name", "begin pwd", "return pwd", "end pwd"}));
    QVERIFY(!TextField::firstResponder());
    form.finishAnimations();
    QCOMPARE(form.geometry(), QRect(0, 0, 360, 640));
}

void tst_PlatformUi::tapAndPanGestures()
{
    ImageView view;
    view.resize(100, 100);
    int taps = 0;
    view.setOnTap([&] { ++taps; });
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(50, 50));
    drag(&view, {10, 10}, {60, 10}); // dragged away before letting go
    mouse(&view, QEvent::MouseButtonPress, {95, 95});
    mouse(&view, QEvent::MouseButtonRelease, {105, 98}); // let go outside
    QCOMPARE(taps, 1);

    // A pan on a page's dial turns the dial and leaves the pager where it is.
    Pages s;
    s.pager.show();
    auto* dial = new QWidget(s.pages[0]);
    dial->setGeometry(0, 0, 300, 200);
    dial->show();
    QList<QPair<State, QPointF>> seen;
    new PanGestureRecognizer(
        dial, [&](PanGestureRecognizer* r) { seen << qMakePair(r->state(), r->locationInView()); });
    mouse(dial, QEvent::MouseButtonPress, {250, 100});
    mouse(dial, QEvent::MouseMove, {251, 100}); // under the threshold
    QVERIFY(seen.isEmpty());
    mouse(dial, QEvent::MouseMove, {30, 100});
    mouse(dial, QEvent::MouseButtonRelease, {20, 110});
    QCOMPARE(seen,
             (QList<QPair<State, QPointF>>{{State::Began, {30, 100}}, {State::Ended, {20, 110}}}));
    QCOMPARE(s.visible(), 0);
    mouse(dial, QEvent::MouseButtonPress, {20, 50});
    mouse(dial, QEvent::MouseMove, {80, 50});
    dial->hide(); // a drag taken away ends as cancelled
    QCOMPARE(seen.last().first, State::Cancelled);
    // Below the dial the page takes no presses, so the drag swipes.
    mouse(s.pages[0], QEvent::MouseButtonPress, {250, 300});
    mouse(&s.pager, QEvent::MouseMove, {30, 300});
    mouse(&s.pager, QEvent::MouseButtonRelease, {30, 300});
    QCOMPARE(s.visible(), 1);
}

void tst_PlatformUi::pickerCropsAndCancels()
{
    QImage halves(200, 100, QImage::Format_RGB32); // red left, blue right
    halves.fill(Qt::red);
    for (int y = 0; y < 100; ++y)
        for (int x = 100; x < 200; ++x)
            halves.setPixelColor(x, y, Qt::blue);
    Picked picked;
    auto* picker = new ImagePickerController;
    picker->setDelegate(&picked);
    picker->setAllowsEditing(true);
    picker->presentOver(m_host);
    QFileDialog* dialog = m_host->findChild<QFileDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    dialog->hide();
    picker->pick(halves);
    SquareCropView* crop = picker->cropView();
    QCOMPARE(crop->cropRect(), QRectF(50, 0, 100, 100)); // centred
    crop->moveCrop(500, 40);
    QCOMPARE(crop->cropRect(), QRectF(100, 0, 100, 100)); // within the picture
    crop->resizeCrop(40);
    QCOMPARE(crop->cropRect(), QRectF(130, 30, 40, 40));
    crop->resizeCrop(1000);
    drag(crop, {180, 300}, {120, 300}, 1);
    QVERIFY(crop->cropRect().left() < 100);
    crop->confirm();
    QCOMPARE(picked.finished, 1);
    QCOMPARE(picked.result.originalImage.size(), QSize(200, 100));
    QCOMPARE(picked.result.editedImage.size(), QSize(100, 100));
    QCOMPARE(picked.result.editedImage.pixelColor(0, 50), QColor(Qt::red));
    QCOMPARE(picked.result.editedImage.pixelColor(99, 50), QColor(Qt::blue));

    picker = new ImagePickerController;
    picker->setDelegate(&picked);
    picker->setAllowsEditing(true);
    picker->pick(halves);
    picker->cropView()->cancel();
    QCOMPARE(picked.cancelled, 1);
    picker = new ImagePickerController; // without editing the picture comes back as it is
    picker->setDelegate(&picked);
    picker->pick(halves);
    QCOMPARE(picked.finished, 2);
    QVERIFY(picked.result.editedImage.isNull());
    QVERIFY(!picker->cropView());
}

void tst_PlatformUi::switchTellsOnlyOnTap()
{
    Switch toggle;
    QSignalSpy changed(&toggle, &Switch::valueChanged);
    toggle.setOn(true);
    QVERIFY(toggle.isOn());
    QCOMPARE(changed.count(), 0);
    toggle.tap();
    QVERIFY(!toggle.isOn());
    QCOMPARE(changed.count(), 1);
    toggle.setOn(true);
    toggle.setOnTintColor(QColor(23, 156, 129));
    toggle.setScale(2.0);
    toggle.resize(122, 82);
    QCOMPARE(toggle.grab().toImage().pixelColor(26, 41), QColor(23, 156, 129)); // left of the thumb
}

void tst_PlatformUi::widgetsFollowTheirFrames()
{
    const auto render = [](QWidget& widget) {
        QImage picture(widget.size(), QImage::Format_ARGB32);
        picture.fill(Qt::white);
        widget.render(&picture);
        return picture;
    };
    QImage wide(20, 10, QImage::Format_ARGB32);
    wide.fill(Qt::red);
    ImageView view(wide); // a picture fits inside or fills, and rounds
    view.resize(40, 40);
    view.setContentMode(ImageView::ContentMode::AspectFit);
    QCOMPARE(render(view).pixelColor(20, 2), QColor(Qt::white));
    view.setContentMode(ImageView::ContentMode::AspectFill);
    view.setRound(true);
    QCOMPARE(render(view).pixelColor(20, 2), QColor(Qt::red));
    QCOMPARE(render(view).pixelColor(1, 1), QColor(Qt::white));
    Button button; // its picture fills its frame
    button.resize(40, 20);
    button.setImage(wide);
    QCOMPARE(render(button).pixelColor(37, 17), QColor(Qt::red));
    TextField field; // the left picture scales to the field's height
    field.resize(200, 40);
    field.setLeftImage(wide);
    QCOMPARE(field.textMargins().left(), 80);
    QCOMPARE(render(field).pixelColor(70, 20), QColor(Qt::red));

    // A long message gets the whole height it needs, its buttons below it on the card.
    const QString message =
        QString("Switching clears all data on this phone and returns to device binding. ")
            .repeated(3);
    auto* alert = new AlertController("Switch user", message);
    alert->addAction("Cancel");
    QVERIFY(alert->presentOver(m_host));
    QLabel* text = nullptr;
    for (QLabel* label : alert->findChildren<QLabel*>())
        text = label->text() == message ? label : text;
    QVERIFY(text && text->height() >= text->heightForWidth(text->width()));
    QPushButton* cancel = alert->findChild<QPushButton*>();
    const QPoint corner = cancel->mapTo(text->parentWidget(), cancel->rect().bottomRight());
    QVERIFY(text->parentWidget()->rect().contains(corner));
    alert->pressAction(0);

    // A screen lays its widgets out again when its size changes.
    struct Placed : Screen
    {
        QLabel* label = nullptr;
        void viewDidLoad() override
        {
            label = new QLabel(this);
            place(label, [this] { return QRectF(gx(360) - 40, gy(640), 80, 16); });
        }
    } screen;
    screen.setBaseGeometry(QRect(0, 0, 360, 640));
    screen.loadViewIfNeeded();
    screen.show();
    screen.resize(720, 1280);
    QCOMPARE(screen.label->geometry(), QRect(320, 640, 80, 16));
}

void tst_PlatformUi::imagesAndTranslations()
{
    for (const QString& name : Images::names()) {
        const QImage image = Images::named(name);
        QCOMPARE(image.size(), Images::sizeOf(name));
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                drawn += image.pixelColor(x, y).alpha() > 0;
        QVERIFY2(drawn > image.width() * image.height() / 10, qPrintable(name));
    }
    QVERIFY(Images::named("nosuch.png").isNull());
    QVERIFY(Images::named("../images/login1.png").isNull());
    QSet<QRgb> rims; // the rider marks' rims tell the bands and the owner apart
    for (const char* prefix : {"biggreenbg", "blackmarkbg"})
        for (int band = 1; band <= 4; ++band)
            rims << Images::named(QString("%1%2.png").arg(prefix).arg(band)).pixel(2, 30);
    QCOMPARE(rims.size(), 8);

    QCOMPARE(Localized::string("切换用户"), QString("切换用户"));
    QVERIFY(Localized::install(*qApp, "en_GB"));
    QCOMPARE(Localized::string("切换用户"), QString("Switch user"));
    QCOMPARE(Localized::string("没有翻译的文字"), QString("没有翻译的文字"));
    Localized::uninstall();
    QCOMPARE(Localized::string("切换用户"), QString("切换用户"));
    QVERIFY(!Localized::install(*qApp, "zh_CN"));
}

QTEST_MAIN(tst_PlatformUi)
#include "tst_PlatformUi.moc"
