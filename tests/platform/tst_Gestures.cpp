#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <QTest>

namespace {

void move(QWidget* widget, const QPoint& to)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(to), widget->mapToGlobal(QPointF(to)),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

using State = PanGestureRecognizer::State;

} // namespace

class tst_Gestures : public QObject
{
    Q_OBJECT

private slots:
    void tapFiresOnReleaseInsideOnly();
    void panReportsStatesAndPositions();
    void panOnAPageDoesNotSwipeThePager();
    void buttonImageFillsItsFrame();
    void imageViewContentModes();
};

void tst_Gestures::tapFiresOnReleaseInsideOnly()
{
    ImageView view;
    view.resize(100, 100);
    int taps = 0;
    view.setOnTap([&] { ++taps; });
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(taps, 1);
    // Dragged away before letting go: no tap.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(10, 10));
    move(&view, QPoint(60, 10));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(60, 10));
    QCOMPARE(taps, 1);
    // Released outside the view: no tap.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(95, 95));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(105, 98));
    QCOMPARE(taps, 1);
    view.tapRecognizer()->tap();
    QCOMPARE(taps, 2);
}

void tst_Gestures::panReportsStatesAndPositions()
{
    QWidget dial;
    dial.resize(200, 100);
    QList<QPair<State, QPointF>> seen;
    auto* pan = new PanGestureRecognizer(&dial, [&](PanGestureRecognizer* r) {
        seen << qMakePair(r->state(), r->locationInView());
    });
    QCOMPARE(pan->maximumNumberOfTouches(), 1);
    QTest::mousePress(&dial, Qt::LeftButton, {}, QPoint(20, 50));
    move(&dial, QPoint(21, 50));
    QVERIFY(seen.isEmpty());
    move(&dial, QPoint(40, 50));
    move(&dial, QPoint(250, 60));
    QTest::mouseRelease(&dial, Qt::LeftButton, {}, QPoint(260, 60));
    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen[0].first, State::Began);
    QCOMPARE(seen[1], qMakePair(State::Changed, QPointF(250, 60)));
    QCOMPARE(seen[2], qMakePair(State::Ended, QPointF(260, 60)));
    QCOMPARE(pan->state(), State::Possible);

    // A drag taken away (the view hidden) ends as cancelled.
    seen.clear();
    dial.show();
    QTest::mousePress(&dial, Qt::LeftButton, {}, QPoint(20, 50));
    move(&dial, QPoint(80, 50));
    dial.hide();
    QCOMPARE(seen.last().first, State::Cancelled);

    seen.clear();
    pan->drive(State::Ended, QPointF(100, 10));
    QCOMPARE(seen, (QList<QPair<State, QPointF>>{{State::Ended, QPointF(100, 10)}}));
}

void tst_Gestures::panOnAPageDoesNotSwipeThePager()
{
    struct Pages : PageViewControllerDataSource
    {
        Screen* a = new Screen;
        Screen* b = new Screen;
        Screen* viewControllerBeforeViewController(PageViewController*, Screen* p) override
        {
            return p == b ? a : nullptr;
        }
        Screen* viewControllerAfterViewController(PageViewController*, Screen* p) override
        {
            return p == a ? b : nullptr;
        }
    } pages;
    PageViewController pager;
    pager.setDataSource(&pages);
    pager.setBaseGeometry(QRect(0, 0, 300, 400));
    pager.setViewControllers({pages.a}, PageViewController::NavigationDirection::Forward, false);
    pager.show();
    auto* dial = new QWidget(pages.a);
    dial->setGeometry(0, 0, 300, 200);
    int events = 0;
    new PanGestureRecognizer(dial, [&](PanGestureRecognizer*) { ++events; });

    QTest::mousePress(dial, Qt::LeftButton, {}, QPoint(250, 100));
    move(dial, QPoint(30, 100));
    QTest::mouseRelease(dial, Qt::LeftButton, {}, QPoint(30, 100));
    QVERIFY(events >= 2);
    QCOMPARE(pager.visiblePage(), pages.a);

    // Below the dial the page takes no presses, so the drag swipes.
    QTest::mousePress(pages.a, Qt::LeftButton, {}, QPoint(250, 300));
    move(&pager, QPoint(30, 300));
    QTest::mouseRelease(&pager, Qt::LeftButton, {}, QPoint(30, 300));
    QCOMPARE(pager.visiblePage(), pages.b);
}

void tst_Gestures::buttonImageFillsItsFrame()
{
    Button button;
    button.resize(40, 20);
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(QColor(19, 146, 134));
    button.setImage(image);
    int clicks = 0;
    QObject::connect(&button, &Button::clicked, [&] { ++clicks; });
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 1);
    QImage picture(button.size(), QImage::Format_ARGB32);
    picture.fill(Qt::white);
    button.render(&picture);
    QCOMPARE(picture.pixelColor(2, 2), QColor(19, 146, 134));
    QCOMPARE(picture.pixelColor(37, 17), QColor(19, 146, 134));
}

void tst_Gestures::imageViewContentModes()
{
    QImage image(20, 10, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ImageView view(image);
    view.resize(40, 40);
    auto render = [&view] {
        QImage picture(view.size(), QImage::Format_ARGB32);
        picture.fill(Qt::white);
        view.render(&picture);
        return picture;
    };
    QCOMPARE(render().pixelColor(20, 2), QColor(Qt::red));
    view.setContentMode(ImageView::ContentMode::AspectFit);
    QCOMPARE(render().pixelColor(20, 2), QColor(Qt::white));
    QCOMPARE(render().pixelColor(20, 20), QColor(Qt::red));
    view.setContentMode(ImageView::ContentMode::AspectFill);
    view.setRound(true);
    QCOMPARE(render().pixelColor(1, 1), QColor(Qt::white));
    QCOMPARE(render().pixelColor(20, 20), QColor(Qt::red));
}

QTEST_MAIN(tst_Gestures)
#include "tst_Gestures.moc"
