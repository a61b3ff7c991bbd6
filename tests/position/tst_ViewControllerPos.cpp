#include "PositionFixture.h"

#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/position/AllOfPosPages1.h"
#include "screens/position/AllOfPosPages2.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/position/ViewControllerTestMap.h"
#include "store/MyFriendInfo.h"
#include "support/Widgets.h"
#include "views/CustomAnnotationViewFriend.h"
#include "views/CustomAnnotationViewImage.h"
#include "views/FitLabel.h"

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

// The position section: the track and its marks, the riders, the two modes and the shared
// picture, as the map and the labels show them.
class tst_ViewControllerPos : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void minutesSaved_data();
    void minutesSaved();
    void trackPageFiguresTickWhileShown();
    void trackAnswersDrawOneLineWithItsMarks();
    void beforeAppearanceOnlyTheListsFill();
    void reappearanceMakesAFreshMap();
    void testMapScreen();
    void modeSwitchMovesMarksAndLines();
    void modeSwitchWithNothingLeavesTheMap();
    void selectingARiderFillsTheCard();
    void marksPointAtTheirPlaceAndTheLineIsBlack();
    void tabsAndRelease();
    void addImagePaintsOverTopLeft();
    void sharedPictureIsTheScreenWithTheMap();

private:
    ViewControllerPos* start();
    MapView* map() const { return child<MapView>(m_pos, "mapView"); }
    QString title() const { return child<QLabel>(m_pos, "mylabel")->text(); }
    PageViewController* pager() const
    {
        return child<PageViewController>(m_pos, "pageViewController");
    }
    void swipe(Direction direction);
    void tick() { m_fx->loop.advance(1000); }
    QImage stopImage() const;

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
    QVERIFY(pager()->beginSwipe(direction));
    pager()->endSwipe(true);
}

QImage tst_ViewControllerPos::stopImage() const
{
    map()->finishAnimations();
    auto* view =
        qobject_cast<CustomAnnotationViewImage*>(map()->viewForAnnotation(m_pos->StopAnnotation()));
    return view ? view->portrait() : QImage();
}

void tst_ViewControllerPos::minutesSaved_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<int>("minutes");
    QTest::newRow("walking speed") << "5.4"
                                   << "100" << 0;
    QTest::newRow("not a number") << "abc"
                                  << "10" << 0;
    // (12 / 5.4 - 12 / 18) x 60 = 93.33: truncated.
    QTest::newRow("truncated") << "18"
                               << "12" << 93;
    QTest::newRow("leading number") << "10.8km/h"
                                    << "5.4km" << 30;
    QTest::newRow("huge distance") << "10.8" << QString(30, '9') << 1000000000;
    QTest::newRow("huge both") << QString(50, '9') << QString(50, '9') << 0;
}

void tst_ViewControllerPos::minutesSaved()
{
    QFETCH(QString, speed);
    QFETCH(QString, distance);
    QFETCH(int, minutes);
    QCOMPARE(AllOfPosPages1::minutesSaved(speed, distance), minutes);
}

void tst_ViewControllerPos::trackPageFiguresTickWhileShown()
{
    MyBasicInfo::SetValue("todaylicheng", "5.40");
    MyBasicInfo::SetValue("pingjunspeed", "10.80");
    QVERIFY(start());
    QLabel* today = child<QLabel>(m_pos, "textlicheng");
    QVERIFY(today && today->text().isEmpty()); // nothing before the first tick
    m_fx->loop.runDue();
    QCOMPARE(today->text(), QString("5.40"));
    QCOMPARE(child<QLabel>(m_pos, "speedlicheng")->text(), QString("10.80"));
    QCOMPARE(child<QLabel>(m_pos, "timelicheng")->text(), QString("30"));
    MyBasicInfo::SetValue("pingjunspeed", "4");
    m_fx->loop.advance(999);
    QCOMPARE(child<QLabel>(m_pos, "timelicheng")->text(), QString("30"));
    m_fx->loop.advance(1);
    QCOMPARE(child<QLabel>(m_pos, "timelicheng")->text(), QString("0"));
    // Behind the riders page it does not tick; shown again, it ticks at once.
    swipe(Direction::Forward);
    MyBasicInfo::SetValue("todaylicheng", "7.7");
    m_fx->loop.advance(5000);
    QCOMPARE(today->text(), QString("5.40"));
    swipe(Direction::Reverse);
    m_fx->loop.runDue();
    QCOMPARE(today->text(), QString("7.7"));
}

void tst_ViewControllerPos::trackAnswersDrawOneLineWithItsMarks()
{
    // A southern, western ride is real; its standing points (state 2) get black marks.
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"10", "-33.4501", "-70.6601", "2"},
                                     {"11", "-33.4502", "-70.6602", "1"},
                                     {"12", "-33.4503", "-70.6603", "2"}}));
    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"13", "-33.4504", "-70.6604"},
                                                                 {"14", "-33.4505", "-70.6605"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(map()->overlays().size(), 1);
    const QList<MapCoordinate> line = m_pos->overlaysLine().first()->coordinates();
    QCOMPARE(line.size(), 4);
    QVERIFY(same(line[0], single("-33.4501", "-70.6601")));
    QVERIFY(same(line[1], single("-33.4501", "-70.6601")));
    QVERIFY(same(line[3], single("-33.4503", "-70.6603")));
    QStringList titles;
    for (const auto& mark : m_pos->blackpoint())
        titles.append(mark->title());
    QCOMPARE(titles,
             (QStringList{"start.png", "mapblackpoint.png", "mapblackpoint.png", "stop.png"}));
    QVERIFY(same(m_pos->blackpoint()[0]->coordinate(), single("-33.4501", "-70.6601")));
    QVERIFY(same(m_pos->blackpoint()[2]->coordinate(), single("-33.4503", "-70.6603")));
    QCOMPARE(m_pos->blackpoint()[3], m_pos->StopAnnotation());
    QCOMPARE(map()->annotations().size(), 4);
    QVERIFY(same(map()->centerCoordinate(), single("-33.4501", "-70.6601")));
    QCOMPARE(stopImage(), Images::named("stop.png"));

    // The next answer continues the line, drawn as one stroke.
    tick();
    QTRY_COMPARE(map()->overlays().size(), 2);
    const QList<MapCoordinate> second = m_pos->overlaysLine().last()->coordinates();
    QCOMPARE(second.size(), 3);
    QVERIFY(same(second[0], single("-33.4503", "-70.6603")));
    QVERIFY(same(second[2], single("-33.4505", "-70.6605")));
    QCOMPARE(map()->lineLayer().strokeCount(), 1);
    // The stop mark follows at the next tick, not with the answer; its image shows the
    // tracker's state.
    QVERIFY(same(m_pos->StopAnnotation()->coordinate(), single("-33.4503", "-70.6603")));
    const QList<QPair<QString, QString>> states = {
        {"2", "stopclose.png"}, {"3", "stop.png"}, {"abc", "stopopen.png"}};
    for (const auto& [state, image] : states) {
        MyBasicInfo::SetValue("banlvstate", state);
        tick();
        QCOMPARE(stopImage(), Images::named(image));
    }
    QVERIFY(same(m_pos->StopAnnotation()->coordinate(), single("-33.4505", "-70.6605")));
    QCOMPARE(map()->annotations().size(), 4);
}

void tst_ViewControllerPos::beforeAppearanceOnlyTheListsFill()
{
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"1", "30.1", "120.2"}, {"2", "30.2", "120.3"}}));
    m_fx->answer(PositionFixture::FriendScript,
                 ListAnswers::riders({{"rider1", "3", "新手", "1", "", "30.3", "120.4", "w"}}));
    m_pos = m_fx->storyboard->instantiate<ViewControllerPos>("ViewControllerPos");
    m_pos->setParent(&m_fx->host);
    m_pos->setBaseGeometry(QRect(0, 0, 360, 640));
    m_pos->loadViewIfNeeded();
    tick(); // the feeds' first ticks come a second after loading
    QTRY_COMPARE(m_pos->overlaysLine().size(), 1);
    QTRY_COMPARE(m_pos->array_lvyou().size(), 1);
    QCOMPARE(m_pos->blackpoint().size(), 2);
    // The new map is empty until the next mode switch puts the marks and lines there.
    PositionFixture::setAppeared(m_pos, true);
    QVERIFY(map()->annotations().isEmpty() && map()->overlays().isEmpty());
    swipe(Direction::Forward);
    QCOMPARE(map()->annotations().size(), 1);
    swipe(Direction::Reverse);
    QCOMPARE(map()->annotations().size(), 2);
    QCOMPARE(map()->overlays().size(), 1);
    delete m_pos.data();
}

void tst_ViewControllerPos::reappearanceMakesAFreshMap()
{
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"1", "30.1", "120.2"}, {"2", "30.2", "120.3"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(map()->overlays().size(), 1);
    PositionFixture::setAppeared(m_pos, false);
    PositionFixture::setAppeared(m_pos, true);
    // The earlier map stays, hidden under the new one, which starts empty.
    const QList<MapView*> maps = m_pos->findChildren<MapView*>("mapView");
    QCOMPARE(maps.size(), 2);
    QVERIFY(maps.first()->isHidden());
    MapView* fresh = maps.last();
    QVERIFY(fresh->annotations().isEmpty() && fresh->overlays().isEmpty());
    // Points arriving now are drawn on the new map; the marks made before come back with
    // the next mode switch.
    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"3", "30.3", "120.4"}}));
    m_fx->loop.runDue();
    QTRY_COMPARE(fresh->overlays().size(), 1);
    QVERIFY(fresh->annotations().isEmpty());
    swipe(Direction::Forward);
    swipe(Direction::Reverse);
    QCOMPARE(fresh->annotations().size(), 2);
    QCOMPARE(fresh->overlays().size(), 2);
}

void tst_ViewControllerPos::testMapScreen()
{
    auto* screen = m_fx->storyboard->instantiate<ViewControllerTestMap>("ViewControllerTestMap");
    screen->setParent(&m_fx->host);
    screen->setBaseGeometry(QRect(0, 0, 320, 568));
    screen->loadViewIfNeeded();
    PositionFixture::setAppeared(screen, true);
    auto* shown = child<MapView>(screen, "mapView");
    QVERIFY(shown);
    QCOMPARE(shown->frameRect(), QRectF(0, 0, 320, 568 * 0.7));
    QCOMPARE(shown->delegate(), static_cast<MapViewDelegate*>(screen));
    delete screen;
}

void tst_ViewControllerPos::modeSwitchMovesMarksAndLines()
{
    m_fx->answer(PositionFixture::GpsScript,
                 ListAnswers::track({{"1", "30.1", "120.2"}, {"2", "30.2", "120.3"}}));
    // A rider without a fix gets no mark.
    m_fx->answer(PositionFixture::FriendScript,
                 ListAnswers::riders({{"rider1", "3", "新手", "1", "", "31.5", "121.5", "w1"},
                                      {"nofix", "3", "新手", "3", "", "0", "0", "w3"},
                                      {"rider2", "7", "骑士", "2", "", "31.6", "121.6", "w2"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->array_lvyou().size(), 2);
    QTRY_COMPARE(map()->overlays().size(), 1);
    QCOMPARE(title(), QString("我的驴行"));
    QVERIFY(!pager()->beginSwipe(Direction::Reverse)); // no page before the first

    auto* dots = child<PageControl>(m_pos, "pageControl");
    dots->setCurrentPage(1);
    m_pos->changePage();
    QCOMPARE(pager()->lastDirection(), Direction::Forward);
    QVERIFY(!pager()->lastAnimated());
    QCOMPARE(map()->annotations().size(), 2);
    QCOMPARE(map()->annotations()[1]->subtitle(), QString("rider2"));
    QVERIFY(same(map()->annotations()[1]->coordinate(), single("31.6", "121.6")));
    QVERIFY(map()->overlays().isEmpty());
    QVERIFY(same(map()->centerCoordinate(), single("31.5", "121.5")));
    QCOMPARE(title(), QString("周围驴友"));
    QVERIFY(!pager()->beginSwipe(Direction::Forward)); // nor after the last
    // A swipe back let go of halfway: the riders page stays, and so do its mode and dots.
    QVERIFY(pager()->beginSwipe(Direction::Reverse));
    pager()->updateSwipe(0.2);
    pager()->endSwipe(false);
    QCOMPARE(dots->currentPage(), 1);
    QCOMPARE(title(), QString("周围驴友"));

    // New track points in riders mode wait for the track mode.
    m_fx->answer(PositionFixture::GpsScript, ListAnswers::track({{"3", "30.3", "120.4"}}));
    tick();
    QTRY_COMPARE(m_pos->overlaysLine().size(), 2);
    QVERIFY(map()->overlays().isEmpty());

    swipe(Direction::Reverse);
    QCOMPARE(dots->currentPage(), 0);
    QCOMPARE(map()->overlays().size(), 2);
    QCOMPARE(map()->annotations().size(), 2); // start and stop
    QVERIFY(same(map()->centerCoordinate(), single("30.3", "120.4")));
    QCOMPARE(title(), QString("我的驴行"));
}

void tst_ViewControllerPos::modeSwitchWithNothingLeavesTheMap()
{
    m_fx->answer(PositionFixture::FriendScript, "[]", -1);
    m_fx->answer(PositionFixture::GpsScript, "[]", -1);
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_fx->log.matching("htmlstr = ").size(), 2);
    const MapCoordinate before = map()->centerCoordinate();
    swipe(Direction::Forward);
    QVERIFY(same(map()->centerCoordinate(), before));
    swipe(Direction::Reverse);
    QVERIFY(same(map()->centerCoordinate(), before));
}

void tst_ViewControllerPos::selectingARiderFillsTheCard()
{
    MyBasicInfo::SetValue("localusername", "rider1");
    MyBasicInfo::SetValue("weixin", "wx01");
    m_fx->answer(PositionFixture::FriendScript,
                 ListAnswers::riders({{"rider1", "12", "骑士", "1", "", "31.5", "121.5", "w1"},
                                      {"rider2", "7", "新手", "2", "", "31.5", "121.502", "w2"}}));
    QVERIFY(start());
    m_fx->loop.runDue();
    QTRY_COMPARE(m_pos->array_lvyou().size(), 2);
    // Another rider's row with the same rank: the mark names its rider by user name.
    MyFriendInfo::CheckAdd("old2", "3", "老司机", "2", "", "30.1", "120.1", "wxold");
    swipe(Direction::Forward);
    map()->finishAnimations();
    auto* card = m_pos->findChild<AllOfPosPages2*>();
    QVERIFY(card);
    const auto line = [card](const char* name) { return child<QLabel>(card, name)->text(); };
    QCOMPARE(line("weixin"), QString("微信名 : wx01")); // the user's own card first
    auto* own = qobject_cast<CustomAnnotationViewFriend*>(
        map()->viewForAnnotation(m_pos->array_lvyou()[0]));
    auto* other = qobject_cast<CustomAnnotationViewFriend*>(
        map()->viewForAnnotation(m_pos->array_lvyou()[1]));
    QVERIFY(own && other);

    map()->tapAt(QPointF(other->geometry().center()));
    QVERIFY(other->isSelected());
    QCOMPARE(line("username"), QString("rider2- 新手 7级"));
    QCOMPARE(line("paiming"), QString("本周排名 NO.2"));
    QCOMPARE(line("weixin"), QString("微信名 : w2"));
    map()->tapAt(QPointF(other->geometry().center())); // the selected one again: nothing
    QCOMPARE(m_fx->log.count("选中了一个驴友"), 1);
    // A rider the cache no longer holds leaves no trace of the one before.
    auto ghost = std::make_shared<MapPointAnnotation>(map()->centerCoordinate(), "77", "ghost");
    map()->addAnnotation(ghost);
    map()->selectAnnotation(ghost, false);
    QCOMPARE(line("username"), QString("-  级"));
    QCOMPARE(line("weixin"), QString("微信名 : "));

    // Long names are never cut through a character.
    auto* label = qobject_cast<FitLabel*>(child<QLabel>(card, "username"));
    QVERIFY(label);
    const qreal room = label->contentsRect().width();
    label->setText("lvyou0002- 追风骑士 17级");
    QCOMPARE(label->fitted().text, label->text());
    QVERIFY(QFontMetricsF(label->fitted().font).horizontalAdvance(label->text()) <= room);
    label->setText(QString(60, QChar(0x9a74)));
    const FitLabel::Fitted shown = label->fitted();
    QVERIFY(shown.text.endsWith(QChar(0x2026)));
    QVERIFY(QFontMetricsF(shown.font).horizontalAdvance(shown.text) <= room);
}

void tst_ViewControllerPos::marksPointAtTheirPlaceAndTheLineIsBlack()
{
    QVERIFY(start());
    const MapCoordinate here = map()->centerCoordinate();
    const double centreY = map()->height() / 2.0;
    auto image = [&](const char* name) {
        return std::make_shared<MapPointAnnotation>(here, name, "CustomAnnotationViewImage");
    };
    const MapAnnotationPtr start = image("start.png");
    const MapAnnotationPtr dot = image("mapblackpoint.png");
    const MapAnnotationPtr rider = std::make_shared<MapPointAnnotation>(here, "1", "rider1");
    map()->addAnnotations({start, dot, rider});
    // Each image and each rider has views of its own to reuse.
    QCOMPARE(map()->viewForAnnotation(start)->reuseIdentifier(),
             QString("customReuseIndetifierImageCustomAnnotationViewImagestart.png"));
    QCOMPARE(map()->viewForAnnotation(rider)->reuseIdentifier(),
             QString("customReuseIndetifierImagerider11"));
    // A pin's tip (its bottom edge) is on the place; a dot is centred on it.
    for (const MapAnnotationPtr& pin : {start, rider}) {
        const QRect frame = map()->viewForAnnotation(pin)->geometry();
        QVERIFY2(std::abs(frame.y() + frame.height() - centreY) <= 1, qPrintable(pin->title()));
    }
    QVERIFY(std::abs(map()->viewForAnnotation(dot)->geometry().center().y() - centreY) <= 1);

    const MapCoordinate points[] = {{30, 120}, {30.1, 120.1}};
    auto renderer =
        m_pos->rendererForOverlay(map(), MapPolyline::polylineWithCoordinates(points, 2));
    auto* line = dynamic_cast<MapPolylineRenderer*>(renderer.get());
    QVERIFY(line);
    QCOMPARE(line->lineWidth(), 4.0);
    QCOMPARE(line->strokeColor(), QColor(0, 0, 0, 255));
}

void tst_ViewControllerPos::tabsAndRelease()
{
    QVERIFY(start());
    m_fx->storyboard->registerScreen("ViewControllerSet", [] { return new Screen; });
    child<ImageView>(m_pos, "SetImage")->tapRecognizer()->tap();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_VERIFY(m_fx->log.contains("Pos释放"));
    QCOMPARE(m_fx->storyboard->topScreen()->identifier(), QString("ViewControllerSet"));
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
    QCOMPARE(map()->frameRect(), QRectF(0, 0, 320, 568 * 820 / 1280.0));
    map()->finishAnimations();
    auto* share = child<Button>(m_pos, "shareButton");
    QCOMPARE(share->geometry(), QRect(259, 288, 50, 50));
    // Other screens: truncated in single precision as the layout wants it.
    QCOMPARE(ViewControllerPos::shareButtonFrame(QSizeF(375, 667)), QRect(305, 340, 58, 58));
    QCOMPARE(ViewControllerPos::shareButtonFrame(QSizeF(414, 736)), QRect(337, 375, 64, 64));
    share->click();
    const QString json = m_fx->share.lastSentFile();
    QFile file(json);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject sent = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(sent["scene"].toInt(), 1);
    QCOMPARE(sent["text"].toBool(), false);
    QCOMPARE(sent["thumbnail"].toString(), QString("touxiang1.png"));
    QCOMPARE(sent["imageSize"].toArray(), (QJsonArray{320, 568}));
    const QImage picture(QFileInfo(json).dir().filePath(sent["image"].toString()));
    QCOMPARE(picture.size(), QSize(320, 568));
    const QImage snapshot = map()->takeSnapshotInRect(QRectF(0, 0, 320, 363.875));
    QCOMPARE(picture.pixelColor(5, 300), snapshot.pixelColor(5, 300));
    QCOMPARE(picture.pixelColor(160, 20), snapshot.pixelColor(160, 20));
    // Below the map the window shows (the screen's own background under the pager band).
    QVERIFY(picture.pixelColor(5, 550) != snapshot.pixelColor(5, 300));
}

QTEST_MAIN(tst_ViewControllerPos)
#include "tst_ViewControllerPos.moc"
