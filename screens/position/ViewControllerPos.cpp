#include "screens/position/ViewControllerPos.h"

#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/NumberText.h"
#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapView.h"
#include "platform/share/SendMessageRequest.h"
#include "platform/share/ShareService.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/Localized.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Theme.h"
#include "platform/ui/Window.h"
#include "poll/MyUtil.h"
#include "screens/AppContext.h"
#include "screens/SectionTabs.h"
#include "store/MyBasicInfo.h"
#include "views/CustomAnnotationViewFriend.h"
#include "views/CustomAnnotationViewImage.h"

#include <QBuffer>
#include <QLabel>
#include <QPainter>

namespace {

const QString StopTitle = QStringLiteral("stop.png");
const QString TrackTitle = QStringLiteral("我的驴行");
const QString RidersTitle = QStringLiteral("周围驴友");

// The section tabs in the lowest eighth of the screen, as in the other two sections.

template <class T> QList<MapAnnotationPtr> annotationsOf(const QList<std::shared_ptr<T>>& list)
{
    return QList<MapAnnotationPtr>(list.cbegin(), list.cend());
}

// Coordinates arrive as texts and are kept in single precision.
MapCoordinate coordinateOf(float lat, float lng)
{
    return {double(lat), double(lng)};
}

bool isMissing(float lat, float lng)
{
    return lat == 0 && lng == 0;
}

// The layer asks once per title, where a view per mark used to be made.
MapAnnotationLayer::Picture trackMarkPicture(const QString& title)
{
    const MapAnnotationLayer::Picture picture = CustomAnnotationViewImage::picture(title);
    Log::write(QStringLiteral("起始点，黑点，终点图标"));
    return picture;
}

} // namespace

ViewControllerPos::ViewControllerPos(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context),
      m_blackpoint(std::make_shared<MapAnnotationLayer>(&trackMarkPicture))
{
}

ViewControllerPos::~ViewControllerPos()
{
    // Pages the pager never showed have no parent screen; they go with the section.
    for (const QPointer<Screen>& page : std::as_const(m_AllOfPosPages)) {
        if (page && !page->parentScreen())
            delete page.data();
    }
}

int ViewControllerPos::indexOfPage(Screen* page) const
{
    for (int i = 0; i < m_AllOfPosPages.size(); ++i) {
        if (page && m_AllOfPosPages.at(i) == page)
            return i;
    }
    return -1;
}

void ViewControllerPos::viewDidLoad()
{
    m_overlaysLine.clear();
    m_blackpoint->clear();
    m_array_lvyou.clear();
    m_IsGuiJiOrLvYou = true;
    m_lastposlat = 0;
    m_lastposlng = 0;
    buildTabs();
    m_AllOfPosPages = {storyboard()->instantiateViewControllerWithIdentifier("AllOfPosPages1"),
                       storyboard()->instantiateViewControllerWithIdentifier("AllOfPosPages2")};
    buildPager();
    buildUI();
    connect(m_pageControl, &PageControl::valueChanged, this, &ViewControllerPos::changePage);
    makeFeeds();
}

void ViewControllerPos::makeFeeds()
{
    const auto devid = [] { return MyBasicInfo::GetValue(QStringLiteral("devid")); };
    // An answer due after the section is let go still runs, on the section it was sent for.
    const auto hold = [this] { return keepAlive(); };
    m_nearbyFeed = new NearbyFeed(m_app.server, devid, hold, this);
    connect(m_nearbyFeed, &NearbyFeed::ridersArrived, this, &ViewControllerPos::markRiders);
    m_trackFeed = new TrackFeed(m_app.server, devid, hold, this);
    m_trackFeed->setClock(
        [&app = m_app] { return app.clock ? app.clock->now() : QDateTime::currentDateTime(); });
    connect(m_trackFeed, &TrackFeed::pointsArrived, this, &ViewControllerPos::drawTrack);
    connect(m_trackFeed, &TrackFeed::ticked, this, &ViewControllerPos::moveStopMark);
}

void ViewControllerPos::buildTabs()
{
    const QList<ImageView*> tabs = SectionTabs::build(this, SectionTabs::Pos).tabs;
    m_SetImage = tabs[0];
    m_RightImage = tabs[2];
    m_SetImage->setObjectName(QStringLiteral("SetImage"));
    m_RightImage->setObjectName(QStringLiteral("RightImage"));
    m_SetImage->setOnTap([this] { tapPageSet(); });
    m_RightImage->setOnTap([this] { tapPageMine(); });
}

void ViewControllerPos::buildPager()
{
    m_pageViewController =
        storyboard()->instantiate<PageViewController>(QStringLiteral("PageViewControllerPos"));
    m_pageViewController->setObjectName(QStringLiteral("pageViewController"));
    m_pageViewController->setDataSource(this);
    m_pageViewController->setDelegate(this);
    m_pageViewController->setViewControllers(
        {m_AllOfPosPages.value(0).data()}, PageViewController::NavigationDirection::Forward, false);
    place(m_pageViewController, [this] {
        const double h = height();
        const float y = float(h * 820 / 1280);
        const float d = float(h * -160 / 1280);
        return QRectF(0, y, width(), h + d - y);
    });
    addChildScreen(m_pageViewController);
}

void ViewControllerPos::buildUI()
{
    m_pageControl = new PageControl(this);
    m_pageControl->setObjectName(QStringLiteral("pageControl"));
    m_pageControl->setNumberOfPages(2);
    m_pageControl->setCurrentPage(0);
    m_pageControl->setCornerRadius(Theme::DotsRadius);
    place(m_pageControl, [this] { return QRectF(width() * 0.5 - 16, gy(852), 32, 16); });
    m_pageControl->setCurrentPageIndicatorTintColor(Theme::Accent);
    m_pageControl->setPageIndicatorTintColor(Theme::PageDot);
    m_pageControl->setBackgroundColor(Qt::transparent);
    m_pageControl->setCurrentPage(0);
    m_pageControl->raise();
}

double ViewControllerPos::mapHeight() const
{
    return height() * 820.0 / 1280.0;
}

void ViewControllerPos::viewWillAppear()
{
    m_nearbyFeed->resume();
    m_trackFeed->resume();
}

void ViewControllerPos::viewDidDisappear()
{
    m_nearbyFeed->pause();
    m_trackFeed->pause();
}

void ViewControllerPos::viewDidAppear()
{
    // A map of an earlier appearance stays where it is, under the new one; hidden, it
    // costs no drawing. The marks and lines go onto the new map at the next mode switch.
    for (QWidget* earlier :
         {static_cast<QWidget*>(m_mapView.data()), static_cast<QWidget*>(m_shareButton.data()),
          static_cast<QWidget*>(m_mylabel.data())}) {
        if (earlier)
            earlier->hide();
    }
    m_mapView = new MapView(QRectF(0, 0, width(), mapHeight()), this);
    m_mapView->setObjectName(QStringLiteral("mapView"));
    m_mapView->setDelegate(this);
    m_mapView->show();
    makeShareButton();
    customLabel();
    m_pageControl->raise();
}

void ViewControllerPos::viewDidLayoutSubviews()
{
    if (m_mapView)
        m_mapView->setFrameRect(QRectF(0, 0, width(), mapHeight()));
}

void ViewControllerPos::makeShareButton()
{
    m_shareButton = new Button(this);
    m_shareButton->setObjectName(QStringLiteral("shareButton"));
    m_shareButton->setImage(Images::named(QStringLiteral("weixinbutton.png")));
    m_shareButton->setBackgroundColor(Qt::transparent);
    place(m_shareButton, [this] { return QRectF(shareButtonFrame(QSizeF(size()))); });
    connect(m_shareButton, &Button::clicked, this, &ViewControllerPos::button1);
    m_shareButton->show();
}

void ViewControllerPos::customLabel()
{
    m_mylabel = new QLabel(this);
    m_mylabel->setObjectName(QStringLiteral("mylabel"));
    Theme::setPixelFont(m_mylabel, 20, true);
    m_mylabel->setStyleSheet(
        QStringLiteral("color: %1; background: transparent").arg(Theme::PositionTitle.name()));
    m_mylabel->setText(Localized::string(TrackTitle));
    m_mylabel->setAlignment(Qt::AlignCenter);
    m_mylabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(m_mylabel, [this] {
        return QRectF(width() * 0.15, height() * 92.0 / 1120.0 - 50, width() * 0.7, 100);
    });
    m_mylabel->show();
}

QRect ViewControllerPos::shareButtonFrame(const QSizeF& bounds)
{
    const double w = bounds.width();
    const double h = bounds.height() * 820.0 / 1280.0;
    const int s = int(w * 113.0 / 720.0);
    // The offsets are computed in single precision, then added in double precision.
    const int x = int(w + double(float(s) * -1.2f));
    const int y = int(h + double(float(s) * -1.5f));
    return QRect(x, y, s, s);
}

// Taps and paging ------------------------------------------------------------------------

void ViewControllerPos::tapPageSet()
{
    performSegueWithIdentifier(QStringLiteral("PosToSet"));
}

void ViewControllerPos::tapPageMine()
{
    performSegueWithIdentifier(QStringLiteral("PosToMine"));
}

Screen* ViewControllerPos::viewControllerBeforeViewController(PageViewController*, Screen* page)
{
    Log::write(QStringLiteral("pos11"));
    const int index = indexOfPage(page);
    return index <= 0 ? nullptr : m_AllOfPosPages.at(index - 1).data();
}

Screen* ViewControllerPos::viewControllerAfterViewController(PageViewController*, Screen* page)
{
    Log::write(QStringLiteral("pos22"));
    const int index = indexOfPage(page);
    if (index < 0 || index >= m_AllOfPosPages.size() - 1)
        return nullptr;
    return m_AllOfPosPages.at(index + 1).data();
}

void ViewControllerPos::willTransitionToViewControllers(PageViewController*,
                                                        const QList<Screen*>& pending)
{
    if (pending.isEmpty())
        return;
    const int index = int(indexOfPage(pending.first()));
    m_pageControl->setCurrentPage(index);
    if (index != 0)
        showRiders();
    else
        showTrack();
}

void ViewControllerPos::didFinishAnimating(PageViewController*, bool, const QList<Screen*>&,
                                           bool)
{
    followVisiblePage();
}

void ViewControllerPos::followVisiblePage()
{
    const int index = int(indexOfPage(m_pageViewController->visiblePage()));
    if (index < 0)
        return;
    m_pageControl->setCurrentPage(index);
    const bool track = index == 0;
    if (track == m_IsGuiJiOrLvYou)
        return;
    if (track)
        showTrack();
    else
        showRiders();
}

void ViewControllerPos::showRiders()
{
    m_IsGuiJiOrLvYou = false;
    if (m_mapView) {
        m_mapView->addAnnotations(annotationsOf(m_array_lvyou));
        m_mapView->removeOverlays(m_overlaysLine);
        m_mapView->removeAnnotationLayer(m_blackpoint);
        if (!m_array_lvyou.isEmpty())
            m_mapView->setCenterCoordinate(m_array_lvyou.first()->coordinate(), true);
    }
    Log::write(QStringLiteral("ViewControllerPos增加%1").arg(m_array_lvyou.size()));
    if (m_mylabel)
        m_mylabel->setText(Localized::string(RidersTitle));
}

void ViewControllerPos::showTrack()
{
    m_IsGuiJiOrLvYou = true;
    if (m_mapView) {
        m_mapView->removeAnnotations(annotationsOf(m_array_lvyou));
        m_mapView->addOverlays(m_overlaysLine);
        m_mapView->addAnnotationLayer(m_blackpoint);
        if (!isMissing(m_lastposlat, m_lastposlng))
            m_mapView->setCenterCoordinate(coordinateOf(m_lastposlat, m_lastposlng), true);
    }
    Log::write(QStringLiteral("ViewControllerPos移除"));
    if (m_mylabel)
        m_mylabel->setText(Localized::string(TrackTitle));
}

void ViewControllerPos::changePage()
{
    const int visible = indexOfPage(m_pageViewController->visiblePage());
    const int chosen = m_pageControl->currentPage();
    m_pageViewController->setViewControllers({m_AllOfPosPages.value(chosen).data()},
                                             chosen > visible
                                                 ? PageViewController::NavigationDirection::Forward
                                                 : PageViewController::NavigationDirection::Reverse,
                                             false);
    Log::write(QStringLiteral("33"));
    followVisiblePage();
}

// The riders -------------------------------------------------------------------------------

void ViewControllerPos::markRiders(const QList<RiderInfo>& riders)
{
    for (const RiderInfo& rider : riders) {
        // A rider without a position is kept in the cache but gets no mark.
        if (MyUtil::IsMissingPosition(rider.lat, rider.lng))
            continue;
        const MapCoordinate at =
            coordinateOf(NumberText::toFloat(rider.lat), NumberText::toFloat(rider.lng));
        m_array_lvyou.append(
            std::make_shared<MapPointAnnotation>(at, rider.paiming, rider.username));
    }
}

// The track --------------------------------------------------------------------------------

QString ViewControllerPos::stopImageName(const QString& banlvstate)
{
    const int state = NumberText::toInt(banlvstate);
    if (state <= 1)
        return QStringLiteral("stopopen.png");
    if (state == 2)
        return QStringLiteral("stopclose.png");
    return QStringLiteral("stop.png");
}

void ViewControllerPos::moveStopMark()
{
    if (m_StopAnnotation < 0)
        return;
    m_blackpoint->setCoordinate(m_StopAnnotation, coordinateOf(m_lastposlat, m_lastposlng));
    m_blackpoint->setImage(
        StopTitle,
        Images::named(stopImageName(MyBasicInfo::GetValue(QStringLiteral("banlvstate")))));
}

void ViewControllerPos::drawTrack(const QList<TrackPoint>& points)
{
    QList<MapCoordinate> line;
    line.reserve(points.size() + 1);
    float a = m_lastposlat, b = m_lastposlng;
    for (const TrackPoint& point : points) {
        const float la = NumberText::toFloat(point.lat);
        const float lo = NumberText::toFloat(point.lng);
        line.append(coordinateOf(la, lo));
        if (isMissing(a, b)) {
            a = la;
            b = lo;
        }
        m_lastposlat = la;
        m_lastposlng = lo;
        if (!m_hasStart)
            markStart(coordinateOf(la, lo));
        if (point.state == QLatin1String("2")) {
            m_blackpoint->append(coordinateOf(la, lo), QStringLiteral("mapblackpoint.png"));
            addToMapInTrackMode(m_blackpoint->size() - 1);
        }
    }
    line.prepend(coordinateOf(a, b));
    const MapPolyline polyline = m_overlaysLine.append(line.constData(), line.size());
    if (m_mapView && m_IsGuiJiOrLvYou)
        m_mapView->addOverlay(polyline);
    if (m_StopAnnotation < 0) {
        m_StopAnnotation = m_blackpoint->size();
        m_blackpoint->append(coordinateOf(m_lastposlat, m_lastposlng), StopTitle);
        addToMapInTrackMode(m_StopAnnotation);
    }
}

void ViewControllerPos::markStart(const MapCoordinate& at)
{
    m_hasStart = true;
    m_blackpoint->append(at, QStringLiteral("start.png"));
    addToMapInTrackMode(m_blackpoint->size() - 1);
    if (m_mapView && m_IsGuiJiOrLvYou)
        m_mapView->setCenterCoordinate(at, true);
}

void ViewControllerPos::addToMapInTrackMode(qsizetype index)
{
    // A map made at a later appearance shows only the marks that came since, until the
    // next mode switch puts them all on it.
    if (m_mapView && m_IsGuiJiOrLvYou)
        m_mapView->addAnnotationLayer(m_blackpoint, index);
}

// The map's delegate -----------------------------------------------------------------------

RiderMark::Services ViewControllerPos::markServices() const
{
    return {m_app.images, m_app.center};
}

MapAnnotationView* ViewControllerPos::viewForAnnotation(MapView* mapView,
                                                        const MapAnnotationPtr& annotation)
{
    // The track's marks come as a layer the map draws itself; annotations are riders.
    if (!std::dynamic_pointer_cast<MapPointAnnotation>(annotation))
        return nullptr;
    const QString identifier =
        QStringLiteral("customReuseIndetifierImage") + annotation->subtitle() + annotation->title();
    MapAnnotationView* view = mapView->dequeueReusableAnnotationViewWithIdentifier(identifier);
    if (!view)
        view = new CustomAnnotationViewFriend(annotation, identifier, nullptr, markServices());
    Log::write(QStringLiteral("周围驴友"));
    view->setCanShowCallout(false);
    view->setDraggable(true);
    view->setCalloutOffset(QPointF(0, -5));
    return view;
}

MapOverlayRendererPtr ViewControllerPos::rendererForOverlay(MapView*, const MapOverlay&)
{
    if (!m_lineRenderer) {
        m_lineRenderer = std::make_shared<MapPolylineRenderer>();
        m_lineRenderer->setLineWidth(4.0);
        m_lineRenderer->setStrokeColor(Qt::black);
    }
    return m_lineRenderer;
}

// Sharing ----------------------------------------------------------------------------------

void ViewControllerPos::button1()
{
    Log::write(QStringLiteral("点击了按钮"));
    MediaMessage message;
    message.setThumbImage(Images::named(QStringLiteral("touxiang1.png")),
                          QStringLiteral("touxiang1.png"));
    ImageObject object;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    imageFromView(this).save(&buffer, "PNG");
    object.setImageData(png);
    message.setMediaObject(object);
    SendMessageRequest request;
    request.setBText(false);
    request.setMessage(message);
    request.setScene(SendMessageRequest::SceneTimeline);
    if (m_app.share)
        m_app.share->sendReq(request);
}

QImage ViewControllerPos::imageFromView(QWidget*)
{
    QWidget* keyWindow = Window::containing(this);
    QImage picture(keyWindow->size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    keyWindow->render(&picture, QPoint(), QRegion(),
                      QWidget::DrawWindowBackground | QWidget::DrawChildren);
    const QImage map =
        m_mapView ? m_mapView->takeSnapshotInRect(QRectF(0, 0, width(), mapHeight())) : QImage();
    return addImage(picture, map);
}

QImage ViewControllerPos::addImage(const QImage& first, const QImage& second)
{
    QImage combined(first.size(), QImage::Format_ARGB32_Premultiplied);
    combined.fill(Qt::transparent);
    QPainter painter(&combined);
    painter.drawImage(QRect(QPoint(0, 0), first.size()), first);
    if (!second.isNull())
        painter.drawImage(QRect(QPoint(0, 0), second.size()), second);
    return combined;
}

// Lifecycle --------------------------------------------------------------------------------

void ViewControllerPos::didRelease()
{
    Log::write(QStringLiteral("Pos释放"));
}

void ViewControllerPos::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Theme::Page);
}
