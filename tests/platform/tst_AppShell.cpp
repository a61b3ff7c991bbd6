#include "platform/share/LocalShareService.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QTest>

class tst_AppShell : public QObject
{
    Q_OBJECT

private slots:
    void windowIsPhoneSizedAndScreensFollowItsSize();
    void appStyleNamesTheAppAndSetsTheFace();
    void shareServiceTakesOnlyAMessagingIdentifier();
};

void tst_AppShell::windowIsPhoneSizedAndScreensFollowItsSize()
{
    Window window;
    QCOMPARE(window.size(), QSize(360, 640));
    QCOMPARE(window.windowTitle(), QString("驴行"));
    window.show();
    Storyboard storyboard(&window);
    storyboard.registerScreen<Screen>("ViewController");
    Screen* first = storyboard.start("ViewController");
    QCOMPARE(first->geometry(), QRect(0, 0, 360, 640));
    QCOMPARE(first->gy(1280), 640.0f);
    window.resize(414, 736);
    QCOMPARE(first->geometry(), QRect(0, 0, 414, 736));
    QCOMPARE(first->gx(720), 414.0f);
    const QImage picture = window.snapshot();
    QCOMPARE(picture.size(), QSize(414, 736));
    QCOMPARE(picture.pixelColor(2, 2), QColor(246, 248, 248));
}

void tst_AppShell::appStyleNamesTheAppAndSetsTheFace()
{
    Window::applyAppStyle(*qApp);
    QCOMPARE(QApplication::applicationDisplayName(), QString("驴行"));
    QVERIFY(!QApplication::windowIcon().isNull());
    QCOMPARE(qApp->font().pixelSize(), 14);
}

void tst_AppShell::shareServiceTakesOnlyAMessagingIdentifier()
{
    LocalShareService share;
    QVERIFY(!share.registerApp("wx0f3a9c57e21b6d4"));
    QVERIFY(!share.registerApp("wx0F3A9C57E21B6D48"));
    QVERIFY(!share.registerApp(""));
    QVERIFY(share.registeredAppId().isEmpty());
    QVERIFY(share.registerApp("wx0f3a9c57e21b6d48"));
    QCOMPARE(share.registeredAppId(), QString("wx0f3a9c57e21b6d48"));
}

QTEST_MAIN(tst_AppShell)
#include "tst_AppShell.moc"
