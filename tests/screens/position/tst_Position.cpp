#include "support/ListAnswers.h"
#include "support/ScreenHarness.h"

#include "platform/map/MapServices.h"
#include "platform/map/TileSource.h"
#include "screens/position/AllOfPosPages1.h"
#include "screens/position/AllOfPosPages2.h"
#include "screens/position/ViewControllerPos.h"
#include "screens/position/ViewControllerTestMap.h"
#include "store/MyFriendInfo.h"
#include "views/CustomAnnotationViewFriend.h"
#include "views/CustomAnnotationViewImage.h"
#include "views/FitLabel.h"

#include <QLabel>

namespace {

const char* const Track = "/TolvarGetGpsInfo.php";
const char* const Riders = "/TolvarGetFriendIOS.php";

} // namespace

// The position section: the track and its marks, the riders, the two modes and the shared
// picture, as the map and the labels show them.
class tst_Position : public QObject
{
    Q_OBJECT

private slots:
    void init() { h.emplace(); }
    void cleanup() { h.reset(); }

    void minutesSaved_data() { H::table("position", "minutes saved"); }
    void minutesSaved();
    void trackPageFiguresTickWhileShown();
    void trackAnswersDrawOneLineWithItsMarks();
    void eachAppearanceMakesAnEmptyMapFilledAtTheNextModeSwitch();
    void testMapScreenShowsAMap();
    void modeSwitchMovesMarksAndLines();
    void modeSwitchWithNothingLeavesTheMap();
    void selectingARiderFillsTheCard();
    void marksPointAtTheirPlace();
    void hoursParkedPileMarksAtOneSpot();
    void tabsLeaveAndReleaseTheSection();
    void sharedPictureIsTheScreenWithTheMap();

private:
    ViewControllerPos* start() { return m_pos = h->start<ViewControllerPos>(); }
    MapView* map() const { return child<MapView>(m_pos, "mapView"); }
    QString title() const { return H::text(m_pos, "mylabel"); }
    PageViewController* pager() const
    {
        return child<PageViewController>(m_pos, "pageViewController");
    }
    void swipe(Direction direction)
    {
        QVERIFY(pager()->beginSwipe(direction));
        pager()->endSwipe(true);
    }
    void tick() { h->loop.advance(1000); }
    QImage stopImage() const { return m_pos->blackpoint().image(m_pos->StopAnnotation()); }
    QStringList stopPlace() const
    {
        return H::places({m_pos->blackpoint().coordinate(m_pos->StopAnnotation())});
    }

    std::optional<H> h;
    QPointer<ViewControllerPos> m_pos;
};

void tst_Position::minutesSaved()
{
    QCOMPARE(AllOfPosPages1::minutesSaved(H::value("speed"), H::value("distance")),
             H::cell("minutes").toInt());
}

void tst_Position::trackPageFiguresTickWhileShown()
{
    H::set("todaylicheng", "5.40");
    H::set("pingjunspeed", "10.80");
    QVERIFY(start());
    QCOMPARE(H::text(m_pos, "textlicheng"), QString()); // nothing before the first tick
    h->loop.runDue();
    QCOMPARE(H::text(m_pos, "textlicheng"), QString("5.40"));
    QCOMPARE(H::text(m_pos, "speedlicheng"), QString("10.80"));
    QCOMPARE(H::text(m_pos, "timelicheng"), QString("30"));
    H::set("pingjunspeed", "4");
    h->loop.advance(999);
    QCOMPARE(H::text(m_pos, "timelicheng"), QString("30"));
    h->loop.advance(1);
    QCOMPARE(H::text(m_pos, "timelicheng"), QString("0"));
    // Behind the riders page it does not tick; shown again, it ticks at once.
    swipe(Direction::Forward);
    H::set("todaylicheng", "7.7");
    h->loop.advance(5000);
    QCOMPARE(H::text(m_pos, "textlicheng"), QString("5.40"));
    swipe(Direction::Reverse);
    h->loop.runDue();
    QCOMPARE(H::text(m_pos, "textlicheng"), QString("7.7"));
}

void tst_Position::trackAnswersDrawOneLineWithItsMarks()
{
    // A southern, western ride is real; its standing points (state 2) get black marks.
    h->answer(Track, ListAnswers::track({{"10", "-33.4501", "-70.6601", "2"},
                                         {"11", "-33.4502", "-70.6602", "1"},
                                         {"12", "-33.4503", "-70.6603", "2"}}));
    h->answer(Track,
              ListAnswers::track({{"13", "-33.4504", "-70.6604"}, {"14", "-33.4505", "-70.6605"}}));
    QVERIFY(start());
    h->loop.runDue();
    QVERIFY(H::waitFor([&] { return map()->overlays().size() == 1; }));
    // The line starts at the start mark.
    QCOMPARE(H::places(m_pos->overlaysLine().first().coordinates()),
             (QStringList{"-33.45010 -70.66010", "-33.45010 -70.66010", "-33.45020 -70.66020",
                          "-33.45030 -70.66030"}));
    QStringList titles;
    QList<MapCoordinate> marks;
    for (qsizetype i = 0; i < m_pos->blackpoint().size(); ++i) {
        titles.append(m_pos->blackpoint().title(i));
        marks.append(m_pos->blackpoint().coordinate(i));
    }
    QCOMPARE(titles,
             (QStringList{"start.png", "mapblackpoint.png", "mapblackpoint.png", "stop.png"}));
    QCOMPARE(H::places(marks).mid(0, 3),
             (QStringList{"-33.45010 -70.66010", "-33.45010 -70.66010", "-33.45030 -70.66030"}));
    QCOMPARE(m_pos->StopAnnotation(), 3);
    QCOMPARE(map()->markCount(), 4);
    QCOMPARE(H::places({map()->centerCoordinate()}), QStringList{"-33.45010 -70.66010"});
    QCOMPARE(stopImage(), Images::named("stop.png"));

    // The next answer continues the line, drawn as one stroke.
    tick();
    QVERIFY(H::waitFor([&] { return map()->overlays().size() == 2; }));
    QCOMPARE(H::places(m_pos->overlaysLine().last().coordinates()),
             (QStringList{"-33.45030 -70.66030", "-33.45040 -70.66040", "-33.45050 -70.66050"}));
    QCOMPARE(map()->lineLayer().strokeCount(), 1);
    // The stop mark follows at the next tick, not with the answer; its image shows the
    // tracker's state.
    QCOMPARE(stopPlace(), QStringList{"-33.45030 -70.66030"});
    const QList<QPair<QString, QString>> states = {
        {"2", "stopclose.png"}, {"3", "stop.png"}, {"abc", "stopopen.png"}};
    for (const auto& [state, image] : states) {
        H::set("banlvstate", state);
        tick();
        QCOMPARE(stopImage(), Images::named(image));
    }
    QCOMPARE(stopPlace(), QStringList{"-33.45050 -70.66050"});
    QCOMPARE(map()->markCount(), 4);
}

void tst_Position::eachAppearanceMakesAnEmptyMapFilledAtTheNextModeSwitch()
{
    h->answer(Track, ListAnswers::track({{"1", "30.1", "120.2"}, {"2", "30.2", "120.3"}}));
    h->answer(Riders,
              ListAnswers::riders({{"rider1", "3", "新手", "1", "", "30.3", "120.4", "w"}}));
    // Before the first appearance only the lists fill.
    m_pos = h->page<ViewControllerPos>(false);
    tick(); // the feeds' first ticks come a second after loading
    QVERIFY(H::waitFor([&] { return m_pos->overlaysLine().size() == 1; }));
    QVERIFY(H::waitFor([&] { return m_pos->array_lvyou().size() == 1; }));
    QCOMPARE(m_pos->blackpoint().size(), 2);
    H::setAppeared(m_pos, true);
    QVERIFY(map()->markCount() == 0 && map()->overlays().isEmpty());
    swipe(Direction::Forward);
    QCOMPARE(map()->markCount(), 1);
    swipe(Direction::Reverse);
    QCOMPARE(map()->markCount(), 2);
    QCOMPARE(map()->overlays().size(), 1);

    // The earlier map stays, hidden under the new one.
    H::setAppeared(m_pos, false);
    H::setAppeared(m_pos, true);
    const QList<MapView*> maps = m_pos->findChildren<MapView*>("mapView");
    QCOMPARE(maps.size(), 2);
    QVERIFY(maps.first()->isHidden());
    MapView* fresh = maps.last();
    QVERIFY(fresh->markCount() == 0 && fresh->overlays().isEmpty());
    // Points arriving now are drawn on the new map; the marks made before come back with
    // the next mode switch.
    h->answer(Track, ListAnswers::track({{"3", "30.3", "120.4"}}));
    tick();
    QVERIFY(H::waitFor([&] { return fresh->overlays().size() == 1; }));
    QCOMPARE(fresh->markCount(), 0);
    swipe(Direction::Forward);
    swipe(Direction::Reverse);
    QCOMPARE(fresh->markCount(), 2);
    QCOMPARE(fresh->overlays().size(), 2);
    delete m_pos.data();
}

void tst_Position::testMapScreenShowsAMap()
{
    auto* screen = h->page<ViewControllerTestMap>();
    QCOMPARE(child<MapView>(screen, "mapView")->delegate(), static_cast<MapViewDelegate*>(screen));
    delete screen;
}

void tst_Position::modeSwitchMovesMarksAndLines()
{
    h->answer(Track, ListAnswers::track({{"1", "30.1", "120.2"}, {"2", "30.2", "120.3"}}));
    // A rider without a fix gets no mark.
    h->answer(Riders,
              ListAnswers::riders({{"rider1", "3", "新手", "1", "", "31.5", "121.5", "w1"},
                                   {"nofix", "3", "新手", "3", "", "0", "0", "w3"},
                                   {"rider2", "7", "骑士", "2", "", "31.6", "121.6", "w2"}}));
    QVERIFY(start());
    h->loop.runDue();
    QVERIFY(H::waitFor([&] { return m_pos->array_lvyou().size() == 2; }));
    QVERIFY(H::waitFor([&] { return map()->overlays().size() == 1; }));
    QCOMPARE(title(), QString("我的驴行"));
    QVERIFY(!pager()->beginSwipe(Direction::Reverse)); // no page before the first

    auto* dots = child<PageControl>(m_pos, "pageControl");
    dots->setCurrentPage(1);
    m_pos->changePage();
    QCOMPARE(pager()->lastDirection(), Direction::Forward);
    QVERIFY(!pager()->lastAnimated());
    QCOMPARE(map()->annotations().size(), 2);
    QCOMPARE(map()->annotations()[1]->subtitle(), QString("rider2"));
    QCOMPARE(H::places({map()->annotations()[1]->coordinate()}), QStringList{"31.60000 121.60000"});
    QVERIFY(map()->overlays().isEmpty());
    QCOMPARE(H::places({map()->centerCoordinate()}), QStringList{"31.50000 121.50000"});
    QCOMPARE(title(), QString("周围驴友"));
    QVERIFY(!pager()->beginSwipe(Direction::Forward)); // nor after the last
    // A swipe back let go of halfway: the riders page stays, and so do its mode and dots.
    QVERIFY(pager()->beginSwipe(Direction::Reverse));
    pager()->updateSwipe(0.2);
    pager()->endSwipe(false);
    QCOMPARE(dots->currentPage(), 1);
    QCOMPARE(title(), QString("周围驴友"));

    // New track points in riders mode wait for the track mode.
    h->answer(Track, ListAnswers::track({{"3", "30.3", "120.4"}}));
    tick();
    QVERIFY(H::waitFor([&] { return m_pos->overlaysLine().size() == 2; }));
    QVERIFY(map()->overlays().isEmpty());
    swipe(Direction::Reverse);
    QCOMPARE(dots->currentPage(), 0);
    QCOMPARE(map()->overlays().size(), 2);
    QVERIFY(map()->annotations().isEmpty());
    QCOMPARE(map()->markCount(), 2); // start and stop
    QCOMPARE(H::places({map()->centerCoordinate()}), QStringList{"30.30000 120.40000"});
    QCOMPARE(title(), QString("我的驴行"));
}

void tst_Position::modeSwitchWithNothingLeavesTheMap()
{
    h->answer(Riders, "[]", -1);
    h->answer(Track, "[]", -1);
    QVERIFY(start());
    h->loop.runDue();
    QVERIFY(h->awaitAnswers(2));
    const QStringList before = H::places({map()->centerCoordinate()});
    swipe(Direction::Forward);
    QCOMPARE(H::places({map()->centerCoordinate()}), before);
    swipe(Direction::Reverse);
    QCOMPARE(H::places({map()->centerCoordinate()}), before);
}

void tst_Position::selectingARiderFillsTheCard()
{
    H::set("localusername", "rider1");
    H::set("weixin", "wx01");
    h->answer(Riders,
              ListAnswers::riders({{"rider1", "12", "骑士", "1", "", "31.5", "121.5", "w1"},
                                   {"rider2", "7", "新手", "2", "", "31.5", "121.502", "w2"}}));
    QVERIFY(start());
    h->loop.runDue();
    QVERIFY(H::waitFor([&] { return m_pos->array_lvyou().size() == 2; }));
    // Another rider's row with the same rank: the mark names its rider by user name.
    MyFriendInfo::CheckAdd("old2", "3", "老司机", "2", "", "30.1", "120.1", "wxold");
    swipe(Direction::Forward);
    map()->finishAnimations();
    auto* card = m_pos->findChild<AllOfPosPages2*>();
    QVERIFY(card);
    QCOMPARE(H::text(card, "weixin"), QString("微信名 : wx01")); // the user's own card first
    auto* other = qobject_cast<CustomAnnotationViewFriend*>(
        map()->viewForAnnotation(m_pos->array_lvyou()[1]));
    QVERIFY(other);
    map()->tapAt(QPointF(other->geometry().center()));
    QVERIFY(other->isSelected());
    QCOMPARE(H::text(card, "username"), QString("rider2- 新手 7级"));
    QCOMPARE(H::text(card, "paiming"), QString("本周排名 NO.2"));
    QCOMPARE(H::text(card, "weixin"), QString("微信名 : w2"));
    // A rider the cache no longer holds leaves no trace of the one before.
    auto ghost = std::make_shared<MapPointAnnotation>(map()->centerCoordinate(), "77", "ghost");
    map()->addAnnotation(ghost);
    map()->selectAnnotation(ghost, false);
    QCOMPARE(H::text(card, "username"), QString("-  级"));
    QCOMPARE(H::text(card, "weixin"), QString("微信名 : "));

    // Long names are never cut through a character.
    auto* label = qobject_cast<FitLabel*>(child<QLabel>(card, "username"));
    QVERIFY(label);
    const qreal room = label->contentsRect().width();
    label->setText("lvyou0002- 追风骑士 17级");
    QCOMPARE(label->fitted().text, label->text());
    label->setText(QString(60, QChar(0x9a74)));
    const FitLabel::Fitted shown = label->fitted();
    QVERIFY(shown.text.endsWith(QChar(0x2026)));
    QVERIFY(QFontMetricsF(shown.font).horizontalAdvance(shown.text) <= room);
}

void tst_Position::marksPointAtTheirPlace()
{
    QVERIFY(start());
    const MapCoordinate here = map()->centerCoordinate();
    const double centreY = map()->height() / 2.0;
    MapAnnotationLayer track(&CustomAnnotationViewImage::picture);
    track.append(here, "start.png");
    track.append(here, "mapblackpoint.png");
    const MapAnnotationPtr rider = std::make_shared<MapPointAnnotation>(here, "1", "rider1");
    map()->addAnnotation(rider);
    // Each rider has views of its own to reuse.
    QCOMPARE(map()->viewForAnnotation(rider)->reuseIdentifier(),
             QString("customReuseIndetifierImagerider11"));
    // A pin's tip (its bottom edge) is on the place; a dot is centred on it.
    for (const QRect& pin :
         {track.frame(0, map()->camera()), map()->viewForAnnotation(rider)->geometry()})
        QVERIFY(std::abs(pin.y() + pin.height() - centreY) <= 1);
    QVERIFY(std::abs(track.frame(1, map()->camera()).center().y() - centreY) <= 1);
}

void tst_Position::hoursParkedPileMarksAtOneSpot()
{
    // Three hours parked with the section open: a standing report each second, one spot.
    QVERIFY(start());
    const MapCoordinate spot{30.2741, 120.1551};
    for (int answer = 0; answer < 3 * 3600 / 500 + 1; ++answer) {
        QList<TrackPoint> points;
        for (int i = answer * 500 + 1; i <= std::min(answer * 500 + 500, 3 * 3600); ++i)
            points.append({QString::number(i), "30.2741", "120.1551", "2"});
        m_pos->trackFeed()->receive(points);
    }
    map()->finishAnimations();
    // Panned over the spot, it shows the standing mark (the last drawn) where it always was.
    const QImage dot = Images::named("mapblackpoint.png");
    for (const QPointF& step : {QPointF(40, 0), QPointF(-80, 30), QPointF(40, -30)}) {
        map()->panBy(step);
        const QPoint at = map()->convertCoordinate(spot).toPoint();
        QCOMPARE(map()->takeSnapshotInRect(map()->frameRect()).pixelColor(at),
                 dot.pixelColor(dot.width() / 2, dot.height() / 2));
    }
    QCOMPARE(m_pos->blackpoint().size(), 3 * 3600 + 2); // with the start and the stop
    QCOMPARE(map()->markCount(), 3 * 3600 + 2);
    QCOMPARE(H::places({m_pos->blackpoint().coordinate(3 * 3600 + 1)}),
             QStringList{"30.27410 120.15510"});
}

void tst_Position::tabsLeaveAndReleaseTheSection()
{
    h->storyboard->registerScreen<Screen>("ViewControllerSet");
    QVERIFY(start());
    H::tap(m_pos, "SetImage");
    QCOMPARE(h->storyboard->topScreen()->identifier(), QString("ViewControllerSet"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(H::waitFor([&] { return m_pos.isNull(); }));
}

void tst_Position::sharedPictureIsTheScreenWithTheMap()
{
    QImage window(40, 60, QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::red);
    QImage top(40, 20, QImage::Format_ARGB32_Premultiplied);
    top.fill(Qt::blue);
    const QImage both = ViewControllerPos::addImage(window, top);
    QCOMPARE(both.size(), QSize(40, 60));
    // The map covers the window's top left, to the pixel.
    QCOMPARE(both.pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(both.pixelColor(39, 19), QColor(Qt::blue));
    QCOMPARE(both.pixelColor(0, 20), QColor(Qt::red));
    QCOMPARE(ViewControllerPos::addImage(window, QImage()).pixelColor(10, 10), QColor(Qt::red));

    // The map takes the simulator's tiles, and their credit goes into the picture.
    MapServices services;
    TileSource tiles(h->app.dir.filePath("tiles"), TileSource::appUserAgent());
    tiles.serve(services, h->sim.baseUrl().toString() + "/tiles/{z}/{x}/{y}.png", "© Sim Map");
    QVERIFY(start());
    map()->finishAnimations();
    map()->repaint();
    QTRY_VERIFY_WITH_TIMEOUT(tiles.downloadsStarted() > 0 && tiles.pending() == 0, 20000);
    H::tap(m_pos, "shareButton");
    const QString json = h->share.lastSentFile();
    QFile file(json);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject sent = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(sent["scene"].toInt(), 1);
    QCOMPARE(sent["text"].toBool(), false);
    QCOMPARE(sent["thumbnail"].toString(), QString("touxiang1.png"));
    QCOMPARE(sent["imageSize"].toArray(), (QJsonArray{360, 640}));
    const QImage picture(QFileInfo(json).dir().filePath(sent["image"].toString()));
    QCOMPARE(picture.size(), QSize(360, 640));
    const QImage snapshot = map()->takeSnapshotInRect(map()->frameRect());
    QCOMPARE(picture.pixelColor(5, snapshot.height() - 20),
             snapshot.pixelColor(5, snapshot.height() - 20));
    QCOMPARE(picture.pixelColor(160, 20), snapshot.pixelColor(160, 20));
    int credit = 0;
    for (int x = 300; x < 360; ++x)
        credit += picture.pixelColor(x, snapshot.height() - 6).red() < 120 ? 1 : 0;
    QVERIFY(credit > 0);
    // Below the map the window shows (the screen's own background under the pager band).
    QVERIFY(picture.pixelColor(5, 620) != snapshot.pixelColor(5, snapshot.height() - 20));
}

QTEST_MAIN(tst_Position)
#include "tst_Position.moc"
