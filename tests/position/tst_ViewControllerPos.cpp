#include "PositionFixture.h"

#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/position/AllOfPosPages2.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/position/ViewControllerTestMap.h"
#include "views/CustomAnnotationViewFriend.h"
#include "views/CustomAnnotationViewImage.h"

#include <QFile>
#include <QLabel>
#include <QtTest>

using Direction = PageViewController::NavigationDirection;

namespace {

MapCoordinate single(const char* lat, const char* lng)
{
    return {double(QByteArray(lat).toFloat()), double(QByteArray(lng).toFloat())};
}

bool same(const MapCoordinate& a, const MapCoordinate& b)
{
    return qAbs(a.latitude - b.latitude) < 1e-9 && qAbs(a.longitude - b.longitude) < 1e-9;
}

} // namespace

// The position section: the track poll and its marks, the riders fetch, the two modes,
// the map's delegate and the shared picture.
class tst_ViewControllerPos : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstTrackAnswer();
    void laterAnswersContinueTheLine();
    void stopImageFollowsBanlvstate_data();
    void stopImageFollowsBanlvstate();
    void blackPointsForStateTwo();
    void negativeAndMissingPositions();
    void beforeAppearanceOnlyTheListsFill();
    void reappearanceMakesAFreshMap();
    void testMapScreen();

    void ridersWithAPositionAreMarked();
    void modeSwitchMovesMarksAndLines();
    void modeSwitchWithNothingLeavesTheMap();
    void modeTitleAndDotsFollowThePageShown();
    void selectingARiderFillsTheCard();
    void delegateViewsAndRenderer();
    void pinsPointAtTheirPlace();
    void tabsAndRelease();

    void shareButtonFrame_data();
    void shareButtonFrame();
    void addImagePaintsOverTopLeft();
    void sharedPictureIsTheScreenWithTheMap();

private:
    ViewControllerPos* start();
    void swipe(Direction direction);
    void tick() { m_fx->loop.advance(1000); }

    std::unique_ptr<PositionFixture> m_fx;
    QPointer<ViewControllerPos> m_pos;
};

void tst_ViewControllerPos::init()
{
    m_fx = std::make_unique<PositionFixture>();
}

void tst_ViewControllerPos::cleanup()
{
    m_fx.reset();
}

ViewControllerPos* tst_ViewControllerPos::start()
{
    m_pos = qobject_cast<ViewControllerPos*>(m_fx->storyboard->start("ViewControllerPos"));
    return m_pos;
}

void tst_ViewControllerPos::swipe(Direction direction)
{
    QVERIFY(m_pos->pageViewController()->beginSwipe(direction));
    m_pos->pageViewController()->endSwipe(true);
}

void tst_ViewControllerPos::firstTrackAnswer()
{
    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"10", "30.1001", "120.2001"},
                                                                 {"11", "30.1002", "120.2002"},
                                                                 {"12", "30.1003", "120.2003"}}));
    QVERIFY(start());
    QVERIFY(m_pos->mapView());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->overlaysLine().size(), 1);

    const QList<MapCoordinate> line = m_pos->overlaysLine().first()->coordinates();
    QCOMPARE(line.size(), 4);
    QVERIFY(same(line[0], single("30.1001", "120.2001")));
    QVERIFY(same(line[1], single("30.1001", "120.2001")));
    QVERIFY(same(line[3], single("30.1003", "120.2003")));

    const QList<MapPointAnnotationPtr> marks = m_pos->blackpoint();
    QCOMPARE(marks.size(), 2);
    QCOMPARE(marks[0]->title(), QString("start.png"));
    QCOMPARE(marks[0]->subtitle(), QString("CustomAnnotationViewImage"));
    QVERIFY(same(marks[0]->coordinate(), single("30.1001", "120.2001")));
    QCOMPARE(marks[1], m_pos->StopAnnotation());
    QCOMPARE(marks[1]->title(), QString("stop.png"));
    QVERIFY(same(marks[1]->coordinate(), single("30.1003", "120.2003")));
    QVERIFY(same(m_pos->mapView()->centerCoordinate(), single("30.1001", "120.2001")));
    QCOMPARE(m_pos->firststartposlat(), 30.1001f);

    // On the map: the line with its renderer and both marks.
    QCOMPARE(m_pos->mapView()->overlays().size(), 1);
    QCOMPARE(m_pos->mapView()->annotations().size(), 2);
}

void tst_ViewControllerPos::laterAnswersContinueTheLine()
{
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"10", "30.1", "120.2"}, {"11", "30.2", "120.3"}}));
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"12", "30.3", "120.4"}, {"13", "30.4", "120.5"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->overlaysLine().size(), 1);
    tick();
    QTRY_COMPARE(m_pos->overlaysLine().size(), 2);
    const QList<MapCoordinate> second = m_pos->overlaysLine().last()->coordinates();
    QCOMPARE(second.size(), 3);
    QVERIFY(same(second[0], single("30.2", "120.3")));
    QVERIFY(same(second[2], single("30.4", "120.5")));
    // The stop mark follows at the next tick, not with the answer.
    QVERIFY(same(m_pos->StopAnnotation()->coordinate(), single("30.2", "120.3")));
    tick();
    QVERIFY(same(m_pos->StopAnnotation()->coordinate(), single("30.4", "120.5")));
    QCOMPARE(m_pos->blackpoint().size(), 2);                  // still one start and one stop
    QCOMPARE(m_pos->mapView()->lineLayer().strokeCount(), 1); // drawn as one line
}

void tst_ViewControllerPos::stopImageFollowsBanlvstate_data()
{
    QTest::addColumn<QString>("banlvstate");
    QTest::addColumn<QString>("image");
    QTest::newRow("0") << "0"
                       << "stopopen.png";
    QTest::newRow("1") << "1"
                       << "stopopen.png";
    QTest::newRow("2") << "2"
                       << "stopclose.png";
    QTest::newRow("3") << "3"
                       << "stop.png";
    QTest::newRow("-1") << "-1"
                        << "stopopen.png";
    QTest::newRow("text") << "abc"
                          << "stopopen.png";
}

void tst_ViewControllerPos::stopImageFollowsBanlvstate()
{
    QFETCH(QString, banlvstate);
    QFETCH(QString, image);
    QCOMPARE(ViewControllerPos::stopImageName(banlvstate), image);

    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"1", "30.1", "120.2"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_VERIFY(m_pos->StopAnnotation());
    QVERIFY(m_pos->StopCustomAnnotationViewImage());
    QCOMPARE(m_pos->StopCustomAnnotationViewImage()->portrait(), Images::named("stop.png"));
    MyBasicInfo::SetValue("banlvstate", banlvstate);
    tick();
    QCOMPARE(m_pos->StopCustomAnnotationViewImage()->portrait(), Images::named(image));
}

void tst_ViewControllerPos::blackPointsForStateTwo()
{
    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"1", "30.1", "120.2", "2"},
                                                                 {"2", "30.2", "120.3", "1"},
                                                                 {"3", "30.3", "120.4", "2"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_VERIFY(m_pos->StopAnnotation());
    QStringList titles;
    for (const auto& mark : m_pos->blackpoint())
        titles.append(mark->title());
    // The first point carries both the start and a black point.
    QCOMPARE(titles,
             (QStringList{"start.png", "mapblackpoint.png", "mapblackpoint.png", "stop.png"}));
    QVERIFY(same(m_pos->blackpoint()[2]->coordinate(), single("30.3", "120.4")));
    QCOMPARE(m_pos->mapView()->annotations().size(), 4);
}

void tst_ViewControllerPos::negativeAndMissingPositions()
{
    // A point without a fix is not drawn; a southern, western ride is real.
    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"1", "0", "0"},
                                                                 {"2", "-33.45", "-70.66"},
                                                                 {"3", "abc", "-70.7"},
                                                                 {"4", "-33.46", "-70.67"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->overlaysLine().size(), 1);
    const QList<MapCoordinate> line = m_pos->overlaysLine().first()->coordinates();
    QCOMPARE(line.size(), 3);
    QVERIFY(same(line[0], single("-33.45", "-70.66")));
    QVERIFY(same(line[2], single("-33.46", "-70.67")));
    QCOMPARE(m_pos->blackpoint().first()->title(), QString("start.png"));
    QVERIFY(same(m_pos->blackpoint().first()->coordinate(), single("-33.45", "-70.66")));
    QVERIFY(same(m_pos->mapView()->centerCoordinate(), single("-33.45", "-70.66")));
}

void tst_ViewControllerPos::beforeAppearanceOnlyTheListsFill()
{
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"1", "30.1", "120.2"}, {"2", "30.2", "120.3"}}));
    m_fx->answer(PositionFixture::FriendScript,
                 ListAnswers::riders({{"rider1", "3", "新手", "1", "", "30.3", "120.4", "w"}}));
    auto* pos = m_fx->storyboard->instantiate<ViewControllerPos>("ViewControllerPos");
    m_pos = pos;
    pos->setParent(&m_fx->host);
    pos->setBaseGeometry(QRect(0, 0, 360, 640));
    pos->loadViewIfNeeded();
    tick(); // the feeds' first ticks come a second after loading
    QTRY_COMPARE(pos->overlaysLine().size(), 1);
    QTRY_COMPARE(pos->array_lvyou().size(), 1);
    QVERIFY(!pos->mapView());
    QCOMPARE(pos->blackpoint().size(), 2);

    // The new map is empty until the next mode switch puts the marks and lines there.
    PositionFixture::setAppeared(pos, true);
    QVERIFY(pos->mapView());
    QVERIFY(pos->mapView()->annotations().isEmpty());
    QVERIFY(pos->mapView()->overlays().isEmpty());
    swipe(Direction::Forward);
    QCOMPARE(pos->mapView()->annotations().size(), 1);
    swipe(Direction::Reverse);
    QCOMPARE(pos->mapView()->annotations().size(), 2);
    QCOMPARE(pos->mapView()->overlays().size(), 1);
    delete pos;
}

void tst_ViewControllerPos::reappearanceMakesAFreshMap()
{
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"1", "30.1", "120.2"}, {"2", "30.2", "120.3"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->overlaysLine().size(), 1);
    QPointer<MapView> first = m_pos->mapView();
    PositionFixture::setAppeared(m_pos, false);
    PositionFixture::setAppeared(m_pos, true);
    QVERIFY(m_pos->mapView() != first);
    QVERIFY(first); // the earlier map stays, hidden under the new one
    QVERIFY(first->isHidden());
    QVERIFY(m_pos->mapView()->annotations().isEmpty());
    QVERIFY(m_pos->mapView()->overlays().isEmpty());
    // Points arriving now are drawn on the new map; the marks made before are not.
    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"3", "30.3", "120.4"}}));
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->overlaysLine().size(), 2);
    QCOMPARE(m_pos->mapView()->overlays().size(), 1);
    QVERIFY(m_pos->mapView()->annotations().isEmpty());
    QCOMPARE(m_fx->host.findChildren<QLabel*>("mylabel").size(), 2);
}

void tst_ViewControllerPos::testMapScreen()
{
    auto* screen = m_fx->storyboard->instantiate<ViewControllerTestMap>("ViewControllerTestMap");
    screen->setParent(&m_fx->host);
    screen->setBaseGeometry(QRect(0, 0, 320, 568));
    screen->loadViewIfNeeded();
    QVERIFY(!screen->mapView());
    PositionFixture::setAppeared(screen, true);
    QVERIFY(screen->mapView());
    QCOMPARE(screen->mapView()->frameRect(), QRectF(0, 0, 320, 568 * 0.7));
    QCOMPARE(screen->mapView()->delegate(), static_cast<MapViewDelegate*>(screen));
    delete screen;
}

void tst_ViewControllerPos::ridersWithAPositionAreMarked()
{
    m_fx->answer(PositionFixture::FriendScript,
                 ListAnswers::riders({{"x", "3", "新手", "1", "", "30.3", "120.4", "w1"},
                                      {"nofix", "3", "新手", "3", "", "0", "0", "w3"},
                                      {"yz", "3", "新手", "2", "", "30.4", "120.5", "w2"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->array_lvyou().size(), 1);
    QCOMPARE(m_pos->array_lvyou()[0]->title(), QString("2"));
    QCOMPARE(m_pos->array_lvyou()[0]->subtitle(), QString("yz"));
    QVERIFY(same(m_pos->array_lvyou()[0]->coordinate(), single("30.4", "120.5")));
}

void tst_ViewControllerPos::modeSwitchMovesMarksAndLines()
{
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"1", "30.1", "120.2"}, {"2", "30.2", "120.3"}}));
    m_fx->answer(PositionFixture::FriendScript,
                 ListAnswers::riders({{"rider1", "3", "新手", "1", "", "31.5", "121.5", "w1"},
                                      {"rider2", "7", "骑士", "2", "", "31.6", "121.6", "w2"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->array_lvyou().size(), 2);
    QTRY_COMPARE(m_pos->overlaysLine().size(), 1);
    MapView* map = m_pos->mapView();
    QCOMPARE(m_pos->mylabel()->text(), QString("我的驴行"));

    swipe(Direction::Forward);
    QVERIFY(!m_pos->IsGuiJiOrLvYou());
    QCOMPARE(m_pos->pageControl()->currentPage(), 1);
    QCOMPARE(map->annotations().size(), 2);
    QCOMPARE(map->annotations()[0], MapAnnotationPtr(m_pos->array_lvyou()[0]));
    QVERIFY(map->overlays().isEmpty());
    QVERIFY(same(map->centerCoordinate(), single("31.5", "121.5")));
    QCOMPARE(m_pos->mylabel()->text(), QString("周围驴友"));
    QVERIFY(m_fx->log.contains("ViewControllerPos增加2"));

    // New track points in riders mode go to the lists only.
    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"3", "30.3", "120.4"}}));
    tick();
    QTRY_COMPARE(m_pos->overlaysLine().size(), 2);
    QVERIFY(map->overlays().isEmpty());

    swipe(Direction::Reverse);
    QVERIFY(m_pos->IsGuiJiOrLvYou());
    QCOMPARE(m_pos->pageControl()->currentPage(), 0);
    QCOMPARE(map->overlays().size(), 2);
    QCOMPARE(map->annotations().size(), 2); // start and stop
    QVERIFY(same(map->centerCoordinate(), single("30.3", "120.4")));
    QCOMPARE(m_pos->mylabel()->text(), QString("我的驴行"));
    QVERIFY(m_fx->log.contains("ViewControllerPos移除"));
    QVERIFY(m_fx->log.contains("pos22"));
    QVERIFY(m_fx->log.contains("pos11"));
}

void tst_ViewControllerPos::modeSwitchWithNothingLeavesTheMap()
{
    m_fx->answer(PositionFixture::FriendScript, "[]", -1);
    m_fx->answer(PositionFixture::GpsScript, "[]", -1);
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_fx->log.matching("htmlstr = ").size(), 2);
    const MapCoordinate before = m_pos->mapView()->centerCoordinate();
    swipe(Direction::Forward);
    QVERIFY(same(m_pos->mapView()->centerCoordinate(), before));
    QVERIFY(m_fx->log.contains("ViewControllerPos增加0"));
    swipe(Direction::Reverse);
    QVERIFY(same(m_pos->mapView()->centerCoordinate(), before));
    // No page before the first or after the last.
    QVERIFY(!m_pos->pageViewController()->beginSwipe(Direction::Reverse));
    QCOMPARE(m_pos->viewControllerAfterViewController(nullptr, m_pos->AllOfPosPages()[1]), nullptr);
    QCOMPARE(m_pos->viewControllerBeforeViewController(nullptr, m_pos->AllOfPosPages()[1]),
             m_pos->AllOfPosPages()[0]);
}

void tst_ViewControllerPos::modeTitleAndDotsFollowThePageShown()
{
    QVERIFY(start());
    PageViewController* pager = m_pos->pageViewController();
    m_pos->pageControl()->setCurrentPage(1);
    m_pos->changePage();
    QCOMPARE(pager->visiblePage(), m_pos->AllOfPosPages()[1]);
    QCOMPARE(pager->lastDirection(), Direction::Forward);
    QVERIFY(!pager->lastAnimated());
    QVERIFY(!m_pos->IsGuiJiOrLvYou());
    QCOMPARE(m_pos->mylabel()->text(), QString("周围驴友"));
    // A swipe back let go of halfway: the riders page stays, and so do its mode and dots.
    QVERIFY(pager->beginSwipe(Direction::Reverse));
    pager->updateSwipe(0.2);
    pager->endSwipe(false);
    QCOMPARE(pager->visiblePage(), m_pos->AllOfPosPages()[1]);
    QVERIFY(!m_pos->IsGuiJiOrLvYou());
    QCOMPARE(m_pos->pageControl()->currentPage(), 1);
    QCOMPARE(m_pos->mylabel()->text(), QString("周围驴友"));
    m_pos->pageControl()->setCurrentPage(0);
    m_pos->changePage();
    QCOMPARE(pager->lastDirection(), Direction::Reverse);
    QVERIFY(m_pos->IsGuiJiOrLvYou());
}

void tst_ViewControllerPos::selectingARiderFillsTheCard()
{
    MyBasicInfo::SetValue("localusername", "rider1");
    m_fx->answer(PositionFixture::FriendScript,
                 ListAnswers::riders({{"rider1", "12", "骑士", "1", "", "31.5", "121.5", "w1"},
                                      {"rider2", "7", "新手", "2", "", "31.5", "121.502", "w2"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->array_lvyou().size(), 2);
    swipe(Direction::Forward);
    MapView* map = m_pos->mapView();
    map->finishAnimations();
    auto* own =
        qobject_cast<CustomAnnotationViewFriend*>(map->viewForAnnotation(m_pos->array_lvyou()[0]));
    auto* other =
        qobject_cast<CustomAnnotationViewFriend*>(map->viewForAnnotation(m_pos->array_lvyou()[1]));
    QVERIFY(own && other);
    QCOMPARE(own->backgroundName(), QString("blackmarkbg3.png"));
    QCOMPARE(other->backgroundName(), QString("biggreenbg2.png"));

    auto* card = qobject_cast<AllOfPosPages2*>(m_pos->AllOfPosPages()[1]);
    map->tapAt(QPointF(other->geometry().center()));
    QVERIFY(other->isSelected());
    QCOMPARE(card->username()->text(), QString("rider2- 新手 7级"));
    QCOMPARE(card->paiming()->text(), QString("本周排名 NO.2"));
    QCOMPARE(card->weixin()->text(), QString("微信名 : w2"));
    QCOMPARE(m_fx->log.count("选中了一个驴友"), 1);
    map->tapAt(QPointF(other->geometry().center())); // the selected one again: nothing
    QCOMPARE(m_fx->log.count("选中了一个驴友"), 1);
    map->tapAt(QPointF(5, 5)); // deselecting leaves the card
    QCOMPARE(card->username()->text(), QString("rider2- 新手 7级"));
}

void tst_ViewControllerPos::pinsPointAtTheirPlace()
{
    QVERIFY(start());
    MapView* map = m_pos->mapView();
    const MapCoordinate here = map->centerCoordinate();
    const double centreY = map->height() / 2.0;
    auto image = [&](const char* name) {
        return std::make_shared<MapPointAnnotation>(here, name, "CustomAnnotationViewImage");
    };
    const MapAnnotationPtr start = image("start.png");
    const MapAnnotationPtr stop = image("stop.png");
    const MapAnnotationPtr dot = image("mapblackpoint.png");
    const MapAnnotationPtr rider = std::make_shared<MapPointAnnotation>(here, "1", "rider1");
    map->addAnnotations({start, stop, dot, rider});
    // A pin's tip (its bottom edge) is on the place; a dot is centred on it.
    for (const MapAnnotationPtr& pin : {start, stop, rider}) {
        const QRect frame = map->viewForAnnotation(pin)->geometry();
        QVERIFY2(std::abs(frame.y() + frame.height() - centreY) <= 1, qPrintable(pin->title()));
    }
    QVERIFY(std::abs(map->viewForAnnotation(dot)->geometry().center().y() - centreY) <= 1);
}

void tst_ViewControllerPos::delegateViewsAndRenderer()
{
    QVERIFY(start());
    MapView* map = m_pos->mapView();
    auto start = std::make_shared<MapPointAnnotation>(map->centerCoordinate(), "start.png",
                                                      "CustomAnnotationViewImage");
    m_fx->log.clear();
    MapAnnotationView* view = m_pos->viewForAnnotation(map, start);
    QVERIFY(qobject_cast<CustomAnnotationViewImage*>(view));
    QCOMPARE(view->reuseIdentifier(),
             QString("customReuseIndetifierImageCustomAnnotationViewImagestart.png"));
    QVERIFY(!view->canShowCallout());
    QVERIFY(view->isDraggable());
    QCOMPARE(view->calloutOffset(), QPointF(0, -5));
    QVERIFY(m_fx->log.contains("起始点，黑点，终点图标"));
    delete view;

    auto rider = std::make_shared<MapPointAnnotation>(map->centerCoordinate(), "4", "someone");
    view = m_pos->viewForAnnotation(map, rider);
    QVERIFY(qobject_cast<CustomAnnotationViewFriend*>(view));
    QCOMPARE(view->reuseIdentifier(), QString("customReuseIndetifierImagesomeone4"));
    QVERIFY(m_fx->log.contains("周围驴友"));
    delete view;

    // A reused view comes back as it is.
    map->addAnnotation(rider);
    MapAnnotationView* shown = map->viewForAnnotation(rider);
    map->removeAnnotation(rider);
    auto again = std::make_shared<MapPointAnnotation>(map->centerCoordinate(), "4", "someone");
    map->addAnnotation(again);
    QCOMPARE(map->viewForAnnotation(again), shown);

    const MapCoordinate points[] = {{30, 120}, {30.1, 120.1}};
    auto line = MapPolyline::polylineWithCoordinates(points, 2);
    auto renderer = m_pos->rendererForOverlay(map, line);
    auto* polylineRenderer = dynamic_cast<MapPolylineRenderer*>(renderer.get());
    QVERIFY(polylineRenderer);
    QCOMPARE(polylineRenderer->lineWidth(), 4.0);
    QCOMPARE(polylineRenderer->strokeColor(), QColor(0, 0, 0, 255));
}

void tst_ViewControllerPos::tabsAndRelease()
{
    QVERIFY(start());
    m_fx->storyboard->registerScreen("ViewControllerSet", [] { return new Screen; });
    m_pos->SetImage()->tapRecognizer()->tap();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_VERIFY(m_fx->log.contains("Pos释放"));
    QCOMPARE(m_fx->storyboard->topScreen()->identifier(), QString("ViewControllerSet"));
}

void tst_ViewControllerPos::shareButtonFrame_data()
{
    QTest::addColumn<QSizeF>("screen");
    QTest::addColumn<QRect>("frame");
    QTest::newRow("320x568") << QSizeF(320, 568) << QRect(259, 288, 50, 50);
    QTest::newRow("375x667") << QSizeF(375, 667) << QRect(305, 340, 58, 58);
    QTest::newRow("414x736") << QSizeF(414, 736) << QRect(337, 375, 64, 64);
}

void tst_ViewControllerPos::shareButtonFrame()
{
    QFETCH(QSizeF, screen);
    QFETCH(QRect, frame);
    QCOMPARE(ViewControllerPos::shareButtonFrame(screen), frame);
    m_fx->host.resize(screen.toSize());
    QVERIFY(start());
    QCOMPARE(m_pos->size(), screen.toSize());
    QCOMPARE(m_pos->shareButton()->geometry(), frame);
    QCOMPARE(m_pos->mapView()->frameRect(),
             QRectF(0, 0, screen.width(), screen.height() * 820 / 1280));
}

void tst_ViewControllerPos::addImagePaintsOverTopLeft()
{
    QImage window(40, 60, QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::red);
    QImage map(40, 20, QImage::Format_ARGB32_Premultiplied);
    map.fill(Qt::blue);
    const QImage both = ViewControllerPos::addImage(window, map);
    QCOMPARE(both.size(), QSize(40, 60));
    QCOMPARE(both.pixelColor(10, 10), QColor(Qt::blue));
    QCOMPARE(both.pixelColor(10, 30), QColor(Qt::red));
    QCOMPARE(ViewControllerPos::addImage(window, QImage()).pixelColor(10, 10), QColor(Qt::red));
}

void tst_ViewControllerPos::sharedPictureIsTheScreenWithTheMap()
{
    m_fx->host.resize(320, 568);
    QVERIFY(start());
    m_pos->mapView()->finishAnimations();
    m_pos->shareButton()->click();
    QVERIFY(m_fx->log.contains("点击了按钮"));
    const QString json = m_fx->share.lastSentFile();
    QVERIFY(!json.isEmpty());
    QFile file(json);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject sent = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(sent["scene"].toInt(), 1);
    QCOMPARE(sent["text"].toBool(), false);
    QCOMPARE(sent["thumbnail"].toString(), QString("touxiang1.png"));
    QCOMPARE(sent["imageSize"].toArray(), (QJsonArray{320, 568}));
    const QImage picture(QFileInfo(json).dir().filePath(sent["image"].toString()));
    QCOMPARE(picture.size(), QSize(320, 568));
    const QImage map = m_pos->mapView()->takeSnapshotInRect(QRectF(0, 0, 320, 363.875));
    QCOMPARE(picture.pixelColor(5, 300), map.pixelColor(5, 300));
    QCOMPARE(picture.pixelColor(160, 20), map.pixelColor(160, 20));
    // Below the map the window shows (the screen's own background under the pager band).
    QVERIFY(picture.pixelColor(5, 550) != map.pixelColor(5, 300));
}

QTEST_MAIN(tst_ViewControllerPos)
#include "tst_ViewControllerPos.moc"
