#pragma once

#include "platform/map/MapAnnotationLayer.h"
#include "platform/map/MapPointAnnotation.h"
#include "platform/map/MapPolylineList.h"
#include "platform/map/MapView.h"
#include "platform/map/MapViewDelegate.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Screen.h"
#include "poll/NearbyFeed.h"
#include "poll/TrackFeed.h"
#include "protocol/TrackPoint.h"
#include "store/RiderInfo.h"
#include "views/RiderMark.h"

#include <QImage>
#include <QLabel>
#include <QList>
#include <QPointer>

struct AppContext;

// The position section: a map above a two-page pager. In track mode (first page) the map
// shows the tracker's track of this screen's lifetime, as its track feed reports it, with
// start, black-point and stop marks; in riders mode (second page) it shows the riders its
// nearby feed reports. Both feeds run while the section is on display. A share button
// sends a picture of the screen as an image message.
class ViewControllerPos : public Screen,
                          public PageViewControllerDataSource,
                          public PageViewControllerDelegate,
                          public MapViewDelegate
{
    Q_OBJECT

public:
    explicit ViewControllerPos(AppContext& context, QWidget* parent = nullptr);
    ~ViewControllerPos() override;

    // Taps.
    void tapPageSet();
    void tapPageMine();
    void changePage();
    void button1();

    // The picture that is shared: the window with the map's snapshot over its top.
    QImage imageFromView(QWidget* view);
    static QImage addImage(const QImage& first, const QImage& second);
    // The share button's frame on a screen of `bounds`, truncated as the layout wants it.
    static QRect shareButtonFrame(const QSizeF& bounds);
    static QString stopImageName(const QString& banlvstate);

    Screen* viewControllerBeforeViewController(PageViewController* pager, Screen* page) override;
    Screen* viewControllerAfterViewController(PageViewController* pager, Screen* page) override;
    void willTransitionToViewControllers(PageViewController* pager,
                                         const QList<Screen*>& pending) override;
    // An abandoned swipe ends on the page it started from: mode, title and dots follow.
    void didFinishAnimating(PageViewController* pager, bool finished,
                            const QList<Screen*>& previous, bool completed) override;

    MapAnnotationView* viewForAnnotation(MapView* mapView,
                                         const MapAnnotationPtr& annotation) override;
    MapOverlayRendererPtr rendererForOverlay(MapView* mapView, const MapOverlay& overlay) override;

    // The feeds, and what the screen has put on its map, for the tour and tests.
    TrackFeed* trackFeed() const { return m_trackFeed; }
    NearbyFeed* nearbyFeed() const { return m_nearbyFeed; }
    const MapPolylineList& overlaysLine() const { return m_overlaysLine; }
    // The track's marks (start, standing points, stop), drawn by the map as one layer.
    const MapAnnotationLayer& blackpoint() const { return *m_blackpoint; }
    const QList<MapPointAnnotationPtr>& array_lvyou() const { return m_array_lvyou; }
    // The stop mark's place in blackpoint(); -1 before the first point.
    qsizetype StopAnnotation() const { return m_StopAnnotation; }
    float lastposlat() const { return m_lastposlat; }
    float lastposlng() const { return m_lastposlng; }

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewDidDisappear() override;
    void viewDidLayoutSubviews() override;
    void didRelease() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildTabs();
    void buildPager();
    void buildUI();
    void customLabel();
    void makeShareButton();
    void makeFeeds();
    double mapHeight() const;
    int indexOfPage(Screen* page) const;
    void drawTrack(const QList<TrackPoint>& points);
    void moveStopMark();
    void markRiders(const QList<RiderInfo>& riders);
    void markStart(const MapCoordinate& at);
    // Shows the track's marks from `index` on, if the map has none of them yet.
    void addToMapInTrackMode(qsizetype index);
    void showRiders();
    // What a rider mark needs: the avatar loader and the centre it announces selection on.
    RiderMark::Services markServices() const;
    // The mode (track or riders), the title and the dots of the page on display.
    void followVisiblePage();
    void showTrack();

    AppContext& m_app;
    QPointer<MapView> m_mapView;
    QPointer<ImageView> m_SetImage;
    QPointer<ImageView> m_RightImage;
    TrackFeed* m_trackFeed = nullptr;
    NearbyFeed* m_nearbyFeed = nullptr;
    MapPolylineList m_overlaysLine;
    // Every piece of the track is stroked alike.
    MapOverlayRendererPtr m_lineRenderer;
    bool m_hasStart = false;
    float m_lastposlat = 0;
    float m_lastposlng = 0;
    MapAnnotationLayerPtr m_blackpoint;
    qsizetype m_StopAnnotation = -1;
    QList<MapPointAnnotationPtr> m_array_lvyou;
    bool m_IsGuiJiOrLvYou = true;
    QPointer<QLabel> m_mylabel;
    QPointer<Button> m_shareButton;
    QPointer<PageViewController> m_pageViewController;
    // The storyboard may delete the pages first when the whole app goes.
    QList<QPointer<Screen>> m_AllOfPosPages;
    PageControl* m_pageControl = nullptr;
};
