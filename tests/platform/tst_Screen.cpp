#include "platform/ui/Screen.h"

#include <QLabel>
#include <QTest>

namespace {

// A screen that records its lifecycle and lays one label out on the design grid.
class RecordingScreen : public Screen
{
public:
    QStringList events;
    QLabel* label = nullptr;

protected:
    void viewDidLoad() override
    {
        events << "load";
        label = new QLabel(this);
        place(label, [this] { return QRectF(gx(360) - 40, gy(735), 80, 16); });
    }
    void viewWillAppear() override { events << "willAppear"; }
    void viewDidAppear() override { events << "didAppear"; }
    void viewWillDisappear() override { events << "willDisappear"; }
    void viewDidDisappear() override { events << "didDisappear"; }
    void didRelease() override { events << "release"; }
};

} // namespace

class tst_Screen : public QObject
{
    Q_OBJECT

private slots:
    void designGridFollowsTheSize();
    void loadsOnceAndIgnoresRepeatedTransitions();
    void childScreensShareTheAppearance();
    void releaseWaitsForKeepAliveTokens();
    void childrenLiveUntilTheirParentIsDeleted();
    void keyboardOffsetAddsUpFromTheCurrentState();
};

void tst_Screen::designGridFollowsTheSize()
{
    RecordingScreen screen;
    screen.setBaseGeometry(QRect(0, 0, 320, 568));
    screen.loadViewIfNeeded();
    QCOMPARE(screen.gx(720), 320.0f);
    QCOMPARE(screen.gy(-160), float(568 * -160.0 / 1280));
    QCOMPARE(screen.label->geometry(), QRect(120, 326, 80, 16));

    screen.setBaseGeometry(QRect(0, 0, 720, 1280));
    QCOMPARE(screen.label->geometry(), QRect(320, 735, 80, 16));
    QCOMPARE(screen.gridRect(0, 0, 720, 1120), QRectF(0, 0, 720, 1120));
}

void tst_Screen::loadsOnceAndIgnoresRepeatedTransitions()
{
    RecordingScreen screen;
    screen.beginAppearanceTransition(true);
    screen.beginAppearanceTransition(true);
    screen.endAppearanceTransition();
    screen.endAppearanceTransition();
    screen.loadViewIfNeeded();
    screen.beginAppearanceTransition(false);
    screen.endAppearanceTransition();
    screen.beginAppearanceTransition(false);
    screen.endAppearanceTransition();
    QCOMPARE(screen.events,
             QStringList({"load", "willAppear", "didAppear", "willDisappear", "didDisappear"}));
}

void tst_Screen::childScreensShareTheAppearance()
{
    RecordingScreen parent;
    auto* child = new RecordingScreen;
    parent.addChildScreen(child);
    QCOMPARE(child->parentScreen(), &parent);
    QCOMPARE(child->parentWidget(), &parent);
    parent.beginAppearanceTransition(true);
    parent.endAppearanceTransition();
    QCOMPARE(child->events, QStringList({"load", "willAppear", "didAppear"}));
    parent.removeChildScreen(child);
    parent.beginAppearanceTransition(false);
    parent.endAppearanceTransition();
    QCOMPARE(child->events.size(), 3);
}

void tst_Screen::releaseWaitsForKeepAliveTokens()
{
    QPointer<RecordingScreen> screen = new RecordingScreen;
    auto* child = new RecordingScreen;
    screen->addChildScreen(child);
    std::shared_ptr<void> token = screen->keepAlive();
    screen->release();
    screen->release();
    QCOMPARE(screen->events, QStringList({"release"}));
    QCOMPARE(child->events, QStringList({"release"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(screen);
    QVERIFY(child->isReleased());
    token.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(screen.isNull());
}

void tst_Screen::childrenLiveUntilTheirParentIsDeleted()
{
    // Sections keep plain pointers to their pages and may reach them in their destructor.
    static QStringList seen;
    seen.clear();
    struct Section : Screen
    {
        QList<Screen*> pages;
        ~Section() override
        {
            for (Screen* page : pages)
                seen << (page->isReleased() ? "released page" : "page not released");
        }
    };
    auto* section = new Section;
    QList<QPointer<Screen>> pages;
    for (int i = 0; i < 3; ++i) {
        auto* page = new RecordingScreen;
        section->addChildScreen(page);
        section->pages << page;
        pages << page;
    }
    section->release();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(seen, QStringList(3, "released page"));
    for (const QPointer<Screen>& page : pages)
        QVERIFY(page.isNull());
}

void tst_Screen::keyboardOffsetAddsUpFromTheCurrentState()
{
    RecordingScreen screen;
    screen.setBaseGeometry(QRect(0, 0, 360, 640));
    screen.animateViewOffset(-120);
    QCOMPARE(screen.viewOffsetTarget(), -120.0);
    // Moving the focus to the next field ends the first (down) and begins the second (up)
    // before the first animation is over: the screen ends where it was going.
    screen.animateViewOffset(120);
    screen.animateViewOffset(-120);
    screen.finishAnimations();
    QCOMPARE(screen.geometry(), QRect(0, -120, 360, 640));
    screen.animateViewOffset(120);
    screen.finishAnimations();
    QCOMPARE(screen.geometry(), QRect(0, 0, 360, 640));
    screen.setBaseGeometry(QRect(0, 0, 400, 700));
    QCOMPARE(screen.geometry(), QRect(0, 0, 400, 700));
}

QTEST_MAIN(tst_Screen)
#include "tst_Screen.moc"
