#pragma once

#include "platform/map/MapAnnotation.h"
#include "platform/map/MapAnnotationLayer.h"
#include "platform/map/MapCamera.h"
#include "platform/map/MapCoordinate.h"
#include "platform/map/MapLineLayer.h"
#include "platform/map/MapOverlay.h"
#include "platform/map/MapOverlayRenderer.h"
#include "platform/map/MapPolylineList.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <memory>
#include <vector>

class MapAnnotationView;
class MapTiles;
class MapViewDelegate;
class QVariantAnimation;

// A slippy map in Web Mercator: a centre and a zoom level over a drawn or tiled
// background, annotations shown by views the delegate makes (reused by identifier as they
// leave and enter the map), layers of picture marks it draws itself, polyline overlays
// stroked by the delegate's renderers, a scale bar, panning by drag, zooming by wheel and
// pinch, selection by tap, and snapshots.
// Adding what is already on the map, or removing what is not, does nothing.
class MapView : public QWidget
{
    Q_OBJECT

public:
    static constexpr double MinZoom = 3;
    static constexpr double MaxZoom = 19;
    static constexpr double DefaultZoom = 15;
    static constexpr int AnimationMs = 350;
    // Annotations this far outside the map still get their views.
    static constexpr double ViewMargin = 80;

    // The frame keeps its fractions (frame()); the widget covers it in whole points.
    explicit MapView(const QRectF& frame, QWidget* parent = nullptr);
    ~MapView() override;

    QRectF frameRect() const { return m_frame; }
    void setFrameRect(const QRectF& frame);
    void setDelegate(MapViewDelegate* delegate) { m_delegate = delegate; }
    MapViewDelegate* delegate() const { return m_delegate; }

    // The camera. The centre and zoom are the ones asked for; an animated change reaches
    // the screen over AnimationMs.
    MapCoordinate centerCoordinate() const;
    void setCenterCoordinate(const MapCoordinate& coordinate, bool animated);
    double zoomLevel() const { return m_zoom; }
    void setZoomLevel(double zoom, bool animated = false);
    // The camera as drawn now (mid-animation it lies between the old and the new one).
    MapCamera camera() const;
    void finishAnimations();
    QPointF convertCoordinate(const MapCoordinate& coordinate) const;
    MapCoordinate convertPoint(const QPointF& point) const;

    // Annotations and their views.
    void addAnnotation(const MapAnnotationPtr& annotation);
    void addAnnotations(const QList<MapAnnotationPtr>& annotations);
    void removeAnnotation(const MapAnnotationPtr& annotation);
    void removeAnnotations(const QList<MapAnnotationPtr>& annotations);
    QList<MapAnnotationPtr> annotations() const { return m_annotations; }
    bool containsAnnotation(const MapAnnotationPtr& annotation) const;
    // The view that shows an annotation now; none while it is out of sight or not on the map.
    MapAnnotationView* viewForAnnotation(const MapAnnotationPtr& annotation) const;
    MapAnnotationView* dequeueReusableAnnotationViewWithIdentifier(const QString& identifier);
    int reusableViewCount(const QString& identifier = QString()) const;
    void selectAnnotation(const MapAnnotationPtr& annotation, bool animated);
    void deselectAnnotation(const MapAnnotationPtr& annotation, bool animated);
    MapAnnotationPtr selectedAnnotation() const { return m_selected; }
    // Marks that are only pictures: the map draws each layer's marks from `first` on, in
    // one pass above everything else it draws and below the annotations' views. They take
    // no taps. A layer already on the map stays as it is.
    void addAnnotationLayer(const MapAnnotationLayerPtr& layer, qsizetype first = 0);
    void removeAnnotationLayer(const MapAnnotationLayerPtr& layer);
    bool containsAnnotationLayer(const MapAnnotationLayerPtr& layer) const;
    // The annotations and the layers' marks on the map.
    qsizetype markCount() const;

    // Overlays and their renderers.
    void addOverlay(const MapOverlay& overlay);
    void addOverlays(const QList<MapOverlay>& overlays);
    void addOverlays(const MapPolylineList& overlays);
    void removeOverlay(const MapOverlay& overlay);
    void removeOverlays(const QList<MapOverlay>& overlays);
    void removeOverlays(const MapPolylineList& overlays);
    QList<MapOverlay> overlays() const;
    MapPolylineRenderer* rendererForOverlay(const MapOverlay& overlay) const;
    const MapLineLayer& lineLayer() const { return m_lines; }

    // A picture of part of the map as drawn (one pixel per point); null for an empty part.
    QImage takeSnapshotInRect(const QRectF& rect);

    // Gestures, as the mouse, wheel or fingers drive them (tests and the tour call them too).
    void tapAt(const QPointF& point);
    void panBy(const QPointF& delta);
    void zoomBy(double levels, const QPointF& anchor);

    bool showsScaleBar() const { return m_scaleBar; }
    void setShowsScaleBar(bool shows);
    // The scale bar's length in metres and in points for the current camera.
    std::pair<int, double> scaleBarLength() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    void moveCamera(const QPointF& center, double zoom, bool animated);
    void cameraChanged();
    void layoutAnnotations();
    // The world rectangle whose annotations have views.
    QRectF inSight() const;
    void layoutAnnotation(const MapAnnotationPtr& annotation, const MapCamera& camera,
                          const QRectF& inSight);
    MapAnnotationView* makeView(const MapAnnotationPtr& annotation);
    void placeView(MapAnnotationView* view, const MapAnnotationPtr& annotation,
                   const MapCamera& camera);
    void retireView(MapAnnotation* annotation);
    MapAnnotationPtr annotationAt(const QPointF& point) const;
    // Where an overlay is among m_overlays: the run and the place in it, or -1.
    std::pair<qsizetype, qsizetype> findOverlay(const MapOverlay& overlay) const;
    void rebuildLines();
    void addToLines(const MapOverlay& overlay, const MapPolylineRenderer* renderer);
    void drawScaleBar(QPainter& painter) const;

    QRectF m_frame;
    MapViewDelegate* m_delegate = nullptr;
    QPointF m_center;
    double m_zoom = DefaultZoom;
    QPointF m_shownCenter;
    double m_shownZoom = DefaultZoom;
    QPointF m_fromCenter;
    double m_fromZoom = DefaultZoom;
    QVariantAnimation* m_animation = nullptr;

    QList<MapAnnotationPtr> m_annotations;
    QSet<MapAnnotation*> m_onMap; // the same, for quick membership tests
    QHash<MapAnnotation*, QPointer<MapAnnotationView>> m_views;
    QHash<QString, QList<QPointer<MapAnnotationView>>> m_reuse;
    MapAnnotationPtr m_selected;
    struct ShownLayer
    {
        MapAnnotationLayerPtr layer;
        qsizetype first;
    };
    QList<ShownLayer> m_layers;

    // Overlays in the order they were added, as runs of consecutive lines of one store
    // with one renderer: a track of many pieces costs the map a few bytes.
    struct OverlayRun
    {
        std::shared_ptr<const MapPolylineStore> store;
        qsizetype first;
        qsizetype count;
        MapOverlayRendererPtr renderer;
    };
    std::vector<OverlayRun> m_overlays;
    MapLineLayer m_lines;
    bool m_linesStale = false;

    MapTiles* m_tiles;
    bool m_scaleBar = true;
    bool m_pressed = false;
    bool m_dragging = false;
    QPointF m_pressAt;
    QPointF m_lastDrag;
};
