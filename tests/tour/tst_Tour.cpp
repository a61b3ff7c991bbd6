#include "platform/ui/Button.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "tour/Tour.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A first screen with a button that goes on, and a field.
class First : public Screen
{
protected:
    void viewDidLoad() override
    {
        auto* go = new Button(this);
        go->setObjectName("Go");
        go->setText("go");
        connect(go, &Button::clicked, this,
                [this] { performSegueWithIdentifier("FirstToSecond"); });
        place(go, [this] { return gridRect(200, 600, 320, 80); });
        auto* field = new TextField(this);
        field->setObjectName("Field");
        place(field, [this] { return gridRect(100, 400, 520, 80); });
    }
};

// A second screen over two pages.
class Second : public Screen, public PageViewControllerDataSource
{
public:
    QList<Screen*> pages{new Screen, new Screen};
    PageViewController* pager = new PageViewController;
    Screen* viewControllerBeforeViewController(PageViewController*, Screen* p) override
    {
        return p == pages[1] ? pages[0] : nullptr;
    }
    Screen* viewControllerAfterViewController(PageViewController*, Screen* p) override
    {
        return p == pages[0] ? pages[1] : nullptr;
    }

protected:
    void viewDidLoad() override
    {
        pager->setDataSource(this);
        pager->setViewControllers({pages[0]}, PageViewController::NavigationDirection::Forward,
                                  false);
        addChildScreen(pager);
        place(pager, [this] { return QRectF(0, 0, width(), height() + gy(-160)); });
    }
};

} // namespace

class tst_Tour : public QObject
{
    Q_OBJECT

private slots:
    void walksTakesPicturesAndNamesThemByScreen();
};

void tst_Tour::walksTakesPicturesAndNamesThemByScreen()
{
    QTemporaryDir folder;
    QVERIFY(QFile(folder.filePath("99-Old.png")).open(QIODevice::WriteOnly));

    Window window;
    window.show();
    Storyboard storyboard(&window);
    storyboard.registerScreen<First>("First");
    storyboard.registerScreen<Second>("Second");
    storyboard.registerSegue("FirstToSecond", "Second", SegueKind::Replace);
    storyboard.registerSegue("SecondToFirst", "First", SegueKind::Replace);
    storyboard.start("First");

    Tour tour(&window, &storyboard, folder.path());
    QString typed;
    bool swiped = false;
    bool missingTapped = true;
    tour.shoot(
        QString(), [&](Tour& t) { t.type("Field", "86000001"); }, 0);
    tour.add({"typed",
              [&](Tour& t) {
                  typed = qobject_cast<QLineEdit*>(t.find("Field"))->text();
                  missingTapped = t.tap("NoSuchThing");
                  t.tap("Go");
              },
              [](Tour& t) { return t.topIdentifier() == "Second"; }, 2000, 0, true});
    tour.shoot(
        "page2", [&](Tour& t) { swiped = t.swipe(); }, 0);
    tour.add({QString(), [](Tour& t) { t.ensure("First", "SecondToFirst"); }, {}, 0, 0, false});
    tour.add({"sheet", {}, {}, 0, 0, true, "Gallery"});

    QSignalSpy finished(&tour, &Tour::finished);
    tour.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toInt(), 0);
    QCOMPARE(typed, QString("86000001"));
    QVERIFY(!missingTapped);
    QVERIFY(swiped);
    QCOMPARE(tour.picturesWritten(), 4);
    const QStringList pictures = QDir(folder.path()).entryList({"*.png"}, QDir::Files, QDir::Name);
    QCOMPARE(pictures, QStringList({"01-First.png", "02-Second-typed.png", "03-Second-page2.png",
                                    "04-Gallery-sheet.png"}));
    QFile index(folder.filePath("index.html"));
    QVERIFY(index.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(index.readAll());
    int at = 0;
    for (const QString& picture : pictures) {
        const int found = int(page.indexOf("src=\"" + picture + "\"", at));
        QVERIFY2(found > at, qPrintable(picture));
        at = found;
    }
    const QImage first(folder.filePath("01-First.png"));
    QCOMPARE(first.size(), QSize(Window::DefaultWidth, Window::DefaultHeight));
}

QTEST_MAIN(tst_Tour)
#include "tst_Tour.moc"
