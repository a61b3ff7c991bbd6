#include "platform/Log.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "screens/AppContext.h"
#include "screens/ScreenCatalog.h"

#include <QTest>

namespace {

// Logs its lifecycle with its identifier, as the real screens log their release.
class LoggingScreen : public Screen
{
protected:
    void viewDidLoad() override { Log::write(identifier() + " load"); }
    void viewWillAppear() override { Log::write(identifier() + " willAppear"); }
    void viewDidAppear() override { Log::write(identifier() + " didAppear"); }
    void viewDidDisappear() override { Log::write(identifier() + " didDisappear"); }
    void didRelease() override { Log::write(identifier() + " release"); }
};

const QStringList AppScreens = {
    "ViewController",        "ViewControllerDevID", "ViewControllerLogin", "ViewControllerRegister",
    "ViewControllerFindPwd", "ViewControllerSet",   "ViewControllerPos",   "ViewControllerMine"};

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList identifiers(const QList<Screen*>& screens)
{
    QStringList ids;
    for (Screen* s : screens)
        ids << s->identifier();
    return ids;
}

} // namespace

class tst_Storyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void segueTableOfTheApp();
    void welcomeStaysUnderneathTheAccountScreens();
    void sectionSwitchesKeepTheStackBounded();
    void switchingUserRestartsAtAFreshWelcome();
    void returnToLoginGoesBackToTheLoginUnderneath();
    void segueFromAScreenNotOnDisplayDoesNothing();
    void unknownIdentifiersGivePlaceholdersAndUnknownSeguesNothing();
    void screensFillTheHostAndFollowItsSize();
    void segueAskedForWhileAppearingFollowsTheTransition();

private:
    QWidget* m_host = nullptr;
    Storyboard* m_storyboard = nullptr;
    AppContext m_context;
};

void tst_Storyboard::init()
{
    m_host = new QWidget;
    m_host->resize(360, 640);
    m_host->show();
    m_storyboard = new Storyboard(m_host);
    ScreenCatalog::install(*m_storyboard, m_context);
    for (const QString& id : AppScreens)
        m_storyboard->registerScreen<LoggingScreen>(id);
}

void tst_Storyboard::cleanup()
{
    delete m_storyboard;
    delete m_host;
    flushDeletes();
}

void tst_Storyboard::segueTableOfTheApp()
{
    struct Row
    {
        const char* id;
        const char* destination;
        SegueKind kind;
    };
    const QList<Row> rows = {
        {"GoToDevID", "ViewControllerDevID", SegueKind::Present},
        {"WelcomGoToLogin", "ViewControllerLogin", SegueKind::Present},
        {"WelcomGoToRegister", "ViewControllerRegister", SegueKind::Present},
        {"GoToLogin", "ViewControllerLogin", SegueKind::Replace},
        {"GoToRegister", "ViewControllerRegister", SegueKind::Replace},
        {"GoToFindPwd", "ViewControllerFindPwd", SegueKind::Present},
        {"ReturnToLogin", "ViewControllerLogin", SegueKind::BackTo},
        {"LoginGoToWelcom", "ViewController", SegueKind::Restart},
        {"GoToSet", "ViewControllerSet", SegueKind::EnterSection},
        {"GoToSet2", "ViewControllerSet", SegueKind::EnterSection},
        {"SetToPos", "ViewControllerPos", SegueKind::Replace},
        {"SetToMine", "ViewControllerMine", SegueKind::Replace},
        {"PosToSet", "ViewControllerSet", SegueKind::Replace},
        {"PosToMine", "ViewControllerMine", SegueKind::Replace},
        {"MineToPos", "ViewControllerPos", SegueKind::Replace},
        {"MineToSet", "ViewControllerSet", SegueKind::Replace},
    };
    QCOMPARE(m_storyboard->segueIdentifiers().size(), rows.size());
    for (const Row& row : rows) {
        QVERIFY2(m_storyboard->hasSegue(row.id), row.id);
        QCOMPARE(m_storyboard->segue(row.id).destination, QString(row.destination));
        QCOMPARE(int(m_storyboard->segue(row.id).kind), int(row.kind));
    }
    for (const char* pager :
         {"PageViewController", "PageViewControllerPos", "PageViewControllerMine"}) {
        Screen* made = m_storyboard->instantiateViewControllerWithIdentifier(pager);
        QVERIFY(qobject_cast<PageViewController*>(made));
        delete made;
    }
}

void tst_Storyboard::welcomeStaysUnderneathTheAccountScreens()
{
    Log::Capture log;
    Screen* welcome = m_storyboard->start(ScreenCatalog::FirstScreen);
    QVERIFY(welcome->isAppeared());
    QVERIFY(m_storyboard->performSegue(welcome, "GoToDevID"));
    Screen* binding = m_storyboard->topScreen();
    QVERIFY(m_storyboard->performSegue(binding, "GoToLogin"));
    Screen* login = m_storyboard->topScreen();
    QCOMPARE(identifiers(m_storyboard->stack()),
             QStringList({"ViewController", "ViewControllerLogin"}));
    QVERIFY(!welcome->isAppeared());
    QVERIFY(!welcome->isReleased());
    QVERIFY(login->isVisible() || !m_host->isVisible());

    QVERIFY(m_storyboard->performSegue(login, "GoToSet2"));
    QCOMPARE(identifiers(m_storyboard->stack()),
             QStringList({"ViewController", "ViewControllerSet"}));
    QCOMPARE(m_storyboard->firstScreen(), welcome);
    QCOMPARE(log.count("ViewController load"), 1);
    QCOMPARE(log.count("ViewController release"), 0);
    QCOMPARE(log.matching("ViewControllerLogin"),
             QStringList({"ViewControllerLogin load", "ViewControllerLogin willAppear",
                          "ViewControllerLogin didAppear", "ViewControllerLogin didDisappear",
                          "ViewControllerLogin release"}));
}

void tst_Storyboard::sectionSwitchesKeepTheStackBounded()
{
    Screen* welcome = m_storyboard->start(ScreenCatalog::FirstScreen);
    m_storyboard->performSegue(welcome, "WelcomGoToRegister");
    m_storyboard->performSegue(m_storyboard->topScreen(), "GoToSet");
    flushDeletes();
    const int baseline = m_storyboard->liveScreenCount();
    QCOMPARE(baseline, 2);

    Log::Capture log;
    const QStringList tour = {"SetToPos",  "PosToMine", "MineToSet",
                              "SetToMine", "MineToPos", "PosToSet"};
    for (int round = 0; round < 50; ++round) {
        for (const QString& segue : tour) {
            Screen* from = m_storyboard->topScreen();
            QVERIFY(m_storyboard->performSegue(from, segue));
            QVERIFY(from->isReleased());
            QCOMPARE(m_storyboard->stack().size(), 2);
        }
        flushDeletes();
        QCOMPARE(m_storyboard->liveScreenCount(), baseline);
    }
    QCOMPARE(log.count("ViewControllerSet release"), 100);
    QCOMPARE(log.count("ViewControllerPos release"), 100);
    QCOMPARE(log.count("ViewControllerMine release"), 100);
    // The old section disappears before it is let go, and the new one appears.
    const QStringList lines = log.lines();
    QVERIFY(lines.indexOf("ViewControllerSet didDisappear") <
            lines.indexOf("ViewControllerSet release"));
    QCOMPARE(identifiers(m_storyboard->stack()),
             QStringList({"ViewController", "ViewControllerSet"}));
    QVERIFY(m_storyboard->topScreen()->isAppeared());
}

void tst_Storyboard::switchingUserRestartsAtAFreshWelcome()
{
    Log::Capture log;
    Screen* welcome = m_storyboard->start(ScreenCatalog::FirstScreen);
    m_storyboard->performSegue(welcome, "WelcomGoToLogin");
    QVERIFY(m_storyboard->performSegue(m_storyboard->topScreen(), "LoginGoToWelcom"));
    QCOMPARE(identifiers(m_storyboard->stack()), QStringList({"ViewController"}));
    QVERIFY(m_storyboard->firstScreen() != welcome);
    QVERIFY(welcome->isReleased());
    QCOMPARE(log.count("ViewController load"), 2);
    QCOMPARE(log.count("ViewControllerLogin release"), 1);
    QVERIFY(m_storyboard->firstScreen()->isAppeared());
    flushDeletes();
    QCOMPARE(m_storyboard->liveScreenCount(), 1);
}

void tst_Storyboard::returnToLoginGoesBackToTheLoginUnderneath()
{
    Screen* welcome = m_storyboard->start(ScreenCatalog::FirstScreen);
    m_storyboard->performSegue(welcome, "WelcomGoToLogin");
    Screen* login = m_storyboard->topScreen();
    m_storyboard->performSegue(login, "GoToFindPwd");
    Screen* findPwd = m_storyboard->topScreen();
    QVERIFY(!login->isAppeared());
    QVERIFY(m_storyboard->performSegue(findPwd, "ReturnToLogin", findPwd));
    QCOMPARE(m_storyboard->topScreen(), login);
    QVERIFY(login->isAppeared());
    QVERIFY(findPwd->isReleased());
    QCOMPARE(m_storyboard->stack().size(), 2);
}

void tst_Storyboard::segueFromAScreenNotOnDisplayDoesNothing()
{
    Screen* welcome = m_storyboard->start(ScreenCatalog::FirstScreen);
    m_storyboard->performSegue(welcome, "WelcomGoToLogin");
    Screen* login = m_storyboard->topScreen();
    std::shared_ptr<void> answerDue = login->keepAlive();
    m_storyboard->performSegue(login, "GoToSet2");
    Screen* set = m_storyboard->topScreen();
    // A late answer on the login screen, kept alive for it, cannot navigate any more.
    QVERIFY(!m_storyboard->performSegue(login, "GoToSet2"));
    QVERIFY(!m_storyboard->performSegue(welcome, "GoToDevID"));
    QCOMPARE(m_storyboard->topScreen(), set);
    flushDeletes();
    QVERIFY(m_storyboard->liveScreenCount() == 3);
    answerDue.reset();
    flushDeletes();
    QVERIFY(m_storyboard->liveScreenCount() == 2);

    // A page of the section navigates through the section.
    auto* page = new LoggingScreen;
    set->addChildScreen(page);
    QVERIFY(m_storyboard->performSegue(page, "SetToPos"));
    QCOMPARE(m_storyboard->topScreen()->identifier(), QString("ViewControllerPos"));
}

void tst_Storyboard::unknownIdentifiersGivePlaceholdersAndUnknownSeguesNothing()
{
    Log::Capture log;
    Screen* page = m_storyboard->instantiateViewControllerWithIdentifier("AllOfSetPages9");
    QVERIFY(log.contains("storyboard: no screen registered as AllOfSetPages9"));
    QCOMPARE(page->identifier(), QString("AllOfSetPages9"));
    QCOMPARE(page->storyboard(), m_storyboard);
    delete page;

    Screen* welcome = m_storyboard->start(ScreenCatalog::FirstScreen);
    QVERIFY(!m_storyboard->performSegue(welcome, "NoSuchSegue"));
    QCOMPARE(m_storyboard->topScreen(), welcome);
    QVERIFY(!log.matching("storyboard: no segue NoSuchSegue").isEmpty());
}

void tst_Storyboard::screensFillTheHostAndFollowItsSize()
{
    Screen* welcome = m_storyboard->start(ScreenCatalog::FirstScreen);
    QCOMPARE(welcome->geometry(), QRect(0, 0, 360, 640));
    m_storyboard->performSegue(welcome, "GoToDevID");
    m_host->resize(414, 736);
    for (Screen* s : m_storyboard->stack())
        QCOMPARE(s->geometry(), QRect(0, 0, 414, 736));
}

void tst_Storyboard::segueAskedForWhileAppearingFollowsTheTransition()
{
    // A screen that moves on as soon as it is on display.
    struct Hasty : LoggingScreen
    {
    protected:
        void viewDidAppear() override
        {
            LoggingScreen::viewDidAppear();
            performSegueWithIdentifier("GoToLogin");
        }
    };
    m_storyboard->registerScreen<Hasty>("ViewControllerDevID");
    Log::Capture log;
    Screen* welcome = m_storyboard->start(ScreenCatalog::FirstScreen);
    QVERIFY(m_storyboard->performSegue(welcome, "GoToDevID"));
    QCOMPARE(m_storyboard->topScreen()->identifier(), QString("ViewControllerDevID"));
    QCoreApplication::processEvents();
    QCOMPARE(identifiers(m_storyboard->stack()),
             QStringList({"ViewController", "ViewControllerLogin"}));
    QVERIFY(log.lines().indexOf("ViewControllerDevID didAppear") <
            log.lines().indexOf("ViewControllerLogin load"));
    QVERIFY(m_storyboard->topScreen()->isAppeared());
}

QTEST_MAIN(tst_Storyboard)
#include "tst_Storyboard.moc"
