#include "platform/Log.h"
#include "platform/ui/Theme.h"
#include "views/FKCustomView.h"
#include "views/PixelProbe.h"
#include "views/ViewControllerProcess.h"

#include <QtTest>

// The progress test screen and the plain ring it shows.
class tst_ViewControllerProcess : public QObject
{
    Q_OBJECT

private slots:
    void loadingLogsAndPlacesTheRing();
    void plainRingIsGreyAndOpenAtTheBottom();
    void draggingOverTheRingRepaintsIt();
};

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

void tst_ViewControllerProcess::loadingLogsAndPlacesTheRing()
{
    Log::Capture log;
    ViewControllerProcess screen;
    screen.resize(320, 480);
    QVERIFY(!screen.MyProcess());
    screen.loadViewIfNeeded();
    QCOMPARE(log.count("进度条"), 1);
    QVERIFY(screen.MyProcess());
    QCOMPARE(screen.MyProcess()->parentWidget(), &screen);
    QCOMPARE(screen.MyProcess()->geometry(), QRect(140, 30, 40, 40));
    screen.loadViewIfNeeded();
    QCOMPARE(log.count("进度条"), 1);
    QCOMPARE(screen.findChildren<FKCustomView*>().size(), 1);
}

void tst_ViewControllerProcess::plainRingIsGreyAndOpenAtTheBottom()
{
    // Radius 20 around (20, 20), line 5, round caps, from 130° to 410°.
    const FKCustomView ring;
    const QImage image = ring.toImage(QSize(40, 40));
    const QColor grey = Theme::GaugeRing;
    QVERIFY_COLOUR(image, 20, 1, grey);
    QVERIFY_COLOUR(image, 1, 20, grey);
    QVERIFY_COLOUR(image, 38.5, 20, grey);
    QVERIFY_CLEAR(image, 20, 38.5);
    QVERIFY_CLEAR(image, 20, 20);
    QVERIFY_CLEAR(image, 20, 6);
    QCOMPARE(PixelProbe::countOf(image, image.rect(), PixelProbe::near(Theme::Accent)), 0);
}

void tst_ViewControllerProcess::draggingOverTheRingRepaintsIt()
{
    ViewControllerProcess screen;
    screen.resize(320, 480);
    screen.loadViewIfNeeded();
    FKCustomView* ring = screen.MyProcess();
    PaintCounter counter;
    ring->installEventFilter(&counter);
    screen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&screen));
    QTRY_VERIFY(counter.paints > 0);

    counter.paints = 0;
    QTest::mousePress(ring, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(ring, QPoint(20, 20));
    QTRY_VERIFY(counter.paints > 0);
    QTest::mouseRelease(ring, Qt::LeftButton, {}, QPoint(20, 20));
}

QTEST_MAIN(tst_ViewControllerProcess)
#include "tst_ViewControllerProcess.moc"
