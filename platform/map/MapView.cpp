#include "platform/map/MapView.h"

#include "platform/map/MapAnnotationView.h"
#include "platform/map/MapPolyline.h"
#include "platform/map/MapPolylineRenderer.h"
#include "platform/map/MapProjection.h"
#include "platform/map/MapTiles.h"
#include "platform/map/MapViewDelegate.h"

#include <QEasingCurve>
#include <QGestureEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QSet>
#include <QVariantAnimation>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Until a screen centres the map it shows the middle of Beijing, as the map library does.
const MapCoordinate DefaultCenter{39.909187, 116.397451};
constexpr double DragThreshold = 4;

QRect coveringRect(const QRectF& frame)
{
    const int left = int(std::lround(frame.left()));
    const int top = int(std::lround(frame.top()));
    return QRect(left, top, qMax(0, int(std::lround(frame.right())) - left),
                 qMax(0, int(std::lround(frame.bottom())) - top));
}

} // namespace

MapView::MapView(const QRectF& frame, QWidget* parent)
    : QWidget(parent), m_center(MapProjection::toWorld(DefaultCenter)), m_shownCenter(m_center),
      m_fromCenter(m_center), m_tiles(new MapTiles(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    grabGesture(Qt::PinchGesture);
    connect(m_tiles, &MapTiles::tileArrived, this, qOverload<>(&QWidget::update));
    setFrameRect(frame);
}

MapView::~MapView()
{
    // The views go with the widget; the annotations are only let go.
    for (const MapAnnotationPtr& annotation : std::as_const(m_annotations))
        disconnect(annotation.get(), nullptr, this, nullptr);
}

void MapView::setFrameRect(const QRectF& frame)
{
    m_frame = frame;
    setGeometry(coveringRect(frame));
}

MapCoordinate MapView::centerCoordinate() const
{
    return MapProjection::fromWorld(m_center);
}

void MapView::setCenterCoordinate(const MapCoordinate& coordinate, bool animated)
{
    moveCamera(MapProjection::toWorld(coordinate), m_zoom, animated);
}

void MapView::setZoomLevel(double zoom, bool animated)
{
    moveCamera(m_center, zoom, animated);
}

MapCamera MapView::camera() const
{
    return MapCamera(m_shownCenter, m_shownZoom, QSizeF(size()));
}

void MapView::moveCamera(const QPointF& center, double zoom, bool animated)
{
    m_center = QPointF(center.x(), qBound(0.0, center.y(), 1.0));
    m_zoom = qBound(MinZoom, zoom, MaxZoom);
    if (!animated) {
        finishAnimations();
        return;
    }
    m_fromCenter = m_shownCenter;
    m_fromZoom = m_shownZoom;
    if (!m_animation) {
        m_animation = new QVariantAnimation(this);
        m_animation->setStartValue(0.0);
        m_animation->setEndValue(1.0);
        m_animation->setDuration(AnimationMs);
        m_animation->setEasingCurve(QEasingCurve::OutCubic);
        connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            const double t = v.toDouble();
            m_shownCenter = m_fromCenter + (m_center - m_fromCenter) * t;
            m_shownZoom = m_fromZoom + (m_zoom - m_fromZoom) * t;
            cameraChanged();
        });
    }
    m_animation->stop();
    m_animation->start();
}

void MapView::finishAnimations()
{
    if (m_animation)
        m_animation->stop();
    m_shownCenter = m_center;
    m_shownZoom = m_zoom;
    cameraChanged();
}

void MapView::cameraChanged()
{
    layoutAnnotations();
    update();
}

QPointF MapView::convertCoordinate(const MapCoordinate& coordinate) const
{
    return camera().toView(MapProjection::toWorld(coordinate));
}

MapCoordinate MapView::convertPoint(const QPointF& point) const
{
    return MapProjection::fromWorld(camera().toWorld(point));
}

// Annotations ------------------------------------------------------------------------------

bool MapView::containsAnnotation(const MapAnnotationPtr& annotation) const
{
    return annotation && m_onMap.contains(annotation.get());
}

void MapView::addAnnotation(const MapAnnotationPtr& annotation)
{
    if (!annotation || containsAnnotation(annotation))
        return;
    m_annotations.append(annotation);
    m_onMap.insert(annotation.get());
    connect(annotation.get(), &MapAnnotation::coordinateChanged, this,
            [this, raw = annotation.get()] {
                for (const MapAnnotationPtr& a : std::as_const(m_annotations)) {
                    if (a.get() == raw) {
                        layoutAnnotation(a, camera(), inSight());
                        return;
                    }
                }
            });
    layoutAnnotation(annotation, camera(), inSight());
}

void MapView::addAnnotations(const QList<MapAnnotationPtr>& annotations)
{
    for (const MapAnnotationPtr& annotation : annotations)
        addAnnotation(annotation);
}

void MapView::removeAnnotation(const MapAnnotationPtr& annotation)
{
    if (!containsAnnotation(annotation))
        return;
    if (m_selected == annotation)
        deselectAnnotation(annotation, false);
    disconnect(annotation.get(), nullptr, this, nullptr);
    retireView(annotation.get());
    m_onMap.remove(annotation.get());
    m_annotations.removeOne(annotation);
}

void MapView::removeAnnotations(const QList<MapAnnotationPtr>& annotations)
{
    // One pass over the map's list however many go, so a mode switch with thousands of
    // marks stays quick.
    QSet<MapAnnotation*> going;
    for (const MapAnnotationPtr& annotation : annotations) {
        if (!containsAnnotation(annotation) || going.contains(annotation.get()))
            continue;
        if (m_selected == annotation)
            deselectAnnotation(annotation, false);
        disconnect(annotation.get(), nullptr, this, nullptr);
        retireView(annotation.get());
        going.insert(annotation.get());
    }
    if (going.isEmpty())
        return;
    m_onMap.subtract(going);
    m_annotations.removeIf([&going](const MapAnnotationPtr& a) { return going.contains(a.get()); });
}

MapAnnotationView* MapView::viewForAnnotation(const MapAnnotationPtr& annotation) const
{
    return annotation ? m_views.value(annotation.get()).data() : nullptr;
}

MapAnnotationView* MapView::dequeueReusableAnnotationViewWithIdentifier(const QString& identifier)
{
    auto it = m_reuse.find(identifier);
    while (it != m_reuse.end() && !it->isEmpty()) {
        QPointer<MapAnnotationView> view = it->takeLast();
        if (view)
            return view;
    }
    return nullptr;
}

int MapView::reusableViewCount(const QString& identifier) const
{
    int count = 0;
    for (auto it = m_reuse.cbegin(); it != m_reuse.cend(); ++it) {
        if (identifier.isEmpty() || it.key() == identifier)
            count += int(it->size());
    }
    return count;
}

void MapView::layoutAnnotations()
{
    const MapCamera now = camera();
    const QRectF area = inSight();
    const QList<MapAnnotationPtr> all = m_annotations;
    for (const MapAnnotationPtr& annotation : all)
        layoutAnnotation(annotation, now, area);
}

QRectF MapView::inSight() const
{
    // While the camera moves, marks already get their views where it is going.
    const QRectF shown = camera().visibleWorld(ViewMargin);
    if (m_shownCenter == m_center && m_shownZoom == m_zoom)
        return shown;
    const MapCamera target(m_center, m_zoom, QSizeF(size()));
    return shown.united(target.visibleWorld(ViewMargin));
}

void MapView::layoutAnnotation(const MapAnnotationPtr& annotation, const MapCamera& camera,
                               const QRectF& inSight)
{
    MapAnnotationView* view = m_views.value(annotation.get());
    if (!inSight.contains(annotation->worldPoint())) {
        if (view)
            retireView(annotation.get());
        return;
    }
    if (!view) {
        view = makeView(annotation);
        if (!view)
            return;
    }
    placeView(view, annotation, camera);
}

MapAnnotationView* MapView::makeView(const MapAnnotationPtr& annotation)
{
    MapAnnotationView* view =
        m_delegate ? m_delegate->viewForAnnotation(this, annotation) : nullptr;
    if (!view)
        view = MapAnnotationView::makePin(annotation);
    // A view the delegate took from the reuse queue may still be listed there.
    for (auto& queue : m_reuse)
        queue.removeAll(QPointer<MapAnnotationView>(view));
    if (view->parentWidget() != this)
        view->setParent(this);
    m_views.insert(annotation.get(), view);
    view->show();
    view->raise();
    if (m_selected == annotation && !view->isSelected())
        view->setSelected(true, false);
    return view;
}

void MapView::placeView(MapAnnotationView* view, const MapAnnotationPtr& annotation,
                        const MapCamera& camera)
{
    const QPointF centre = camera.toView(annotation->worldPoint()) + view->centerOffset();
    const QSize size = view->size();
    view->move(int(std::lround(centre.x() - size.width() / 2.0)),
               int(std::lround(centre.y() - size.height() / 2.0)));
}

void MapView::retireView(MapAnnotation* annotation)
{
    QPointer<MapAnnotationView> view = m_views.take(annotation);
    if (!view)
        return;
    view->hide();
    // A view waiting for reuse is no one's selection: left selected, it would come back
    // selected for whichever mark gets it, and a tap on that mark would change nothing.
    if (view->isSelected())
        view->setSelected(false, false);
    view->prepareForReuse();
    if (view->reuseIdentifier().isEmpty())
        view->deleteLater();
    else
        m_reuse[view->reuseIdentifier()].append(view);
}

void MapView::selectAnnotation(const MapAnnotationPtr& annotation, bool animated)
{
    if (!containsAnnotation(annotation) || m_selected == annotation)
        return;
    if (m_selected)
        deselectAnnotation(m_selected, animated);
    m_selected = annotation;
    if (MapAnnotationView* view = viewForAnnotation(annotation))
        view->setSelected(true, animated);
}

void MapView::deselectAnnotation(const MapAnnotationPtr& annotation, bool animated)
{
    if (!annotation || m_selected != annotation)
        return;
    const MapAnnotationPtr going = annotation; // `annotation` may be m_selected itself
    m_selected.reset();
    if (MapAnnotationView* view = viewForAnnotation(going))
        view->setSelected(false, animated);
}

void MapView::addAnnotationLayer(const MapAnnotationLayerPtr& layer, qsizetype first)
{
    if (!layer || containsAnnotationLayer(layer))
        return;
    m_layers.append({layer, first});
    connect(layer.get(), &MapAnnotationLayer::changed, this, qOverload<>(&QWidget::update));
    update();
}

void MapView::removeAnnotationLayer(const MapAnnotationLayerPtr& layer)
{
    if (!containsAnnotationLayer(layer))
        return;
    disconnect(layer.get(), nullptr, this, nullptr);
    m_layers.removeIf([&layer](const ShownLayer& shown) { return shown.layer == layer; });
    update();
}

bool MapView::containsAnnotationLayer(const MapAnnotationLayerPtr& layer) const
{
    return std::any_of(m_layers.cbegin(), m_layers.cend(),
                       [&layer](const ShownLayer& shown) { return shown.layer == layer; });
}

qsizetype MapView::markCount() const
{
    qsizetype count = m_annotations.size();
    for (const ShownLayer& shown : m_layers)
        count += std::max<qsizetype>(0, shown.layer->size() - shown.first);
    return count;
}

MapAnnotationPtr MapView::annotationAt(const QPointF& point) const
{
    // The topmost view first: later children are drawn above earlier ones.
    const QObjectList kids = children();
    for (auto it = kids.crbegin(); it != kids.crend(); ++it) {
        auto* view = qobject_cast<MapAnnotationView*>(*it);
        if (!view || view->isHidden() || !view->pointInside(point - QPointF(view->pos())))
            continue;
        for (auto v = m_views.cbegin(); v != m_views.cend(); ++v) {
            if (v.value() != view)
                continue;
            for (const MapAnnotationPtr& annotation : m_annotations) {
                if (annotation.get() == v.key())
                    return annotation;
            }
        }
    }
    return nullptr;
}

// Overlays ---------------------------------------------------------------------------------

std::pair<qsizetype, qsizetype> MapView::findOverlay(const MapOverlay& overlay) const
{
    for (size_t i = 0; i < m_overlays.size(); ++i) {
        const OverlayRun& run = m_overlays[i];
        const qsizetype at = overlay.line() - run.first;
        if (run.store == overlay.store() && at >= 0 && at < run.count)
            return {qsizetype(i), at};
    }
    return {-1, -1};
}

void MapView::addOverlay(const MapOverlay& overlay)
{
    if (overlay.isNull() || findOverlay(overlay).first >= 0)
        return;
    MapOverlayRendererPtr renderer =
        m_delegate ? m_delegate->rendererForOverlay(this, overlay) : nullptr;
    OverlayRun* last = m_overlays.empty() ? nullptr : &m_overlays.back();
    if (last && last->store == overlay.store() && last->renderer == renderer &&
        last->first + last->count == overlay.line())
        ++last->count;
    else
        m_overlays.push_back({overlay.store(), overlay.line(), 1, renderer});
    if (!m_linesStale)
        addToLines(overlay, renderer.get());
    update();
}

void MapView::addOverlays(const QList<MapOverlay>& overlays)
{
    for (const MapOverlay& overlay : overlays)
        addOverlay(overlay);
}

void MapView::addOverlays(const MapPolylineList& overlays)
{
    for (const MapOverlay& overlay : overlays)
        addOverlay(overlay);
}

void MapView::removeOverlay(const MapOverlay& overlay)
{
    const auto [index, at] = findOverlay(overlay);
    if (index < 0)
        return;
    OverlayRun& run = m_overlays[size_t(index)];
    if (at == 0) {
        ++run.first;
        --run.count;
    } else if (at + 1 < run.count) {
        // The lines after it carry on as a run of their own.
        OverlayRun rest{run.store, run.first + at + 1, run.count - at - 1, run.renderer};
        run.count = at;
        m_overlays.insert(m_overlays.begin() + index + 1, std::move(rest));
    } else {
        run.count = at;
    }
    if (m_overlays[size_t(index)].count == 0)
        m_overlays.erase(m_overlays.begin() + index);
    m_linesStale = true;
    update();
}

void MapView::removeOverlays(const QList<MapOverlay>& overlays)
{
    for (const MapOverlay& overlay : overlays)
        removeOverlay(overlay);
}

void MapView::removeOverlays(const MapPolylineList& overlays)
{
    for (const MapOverlay& overlay : overlays)
        removeOverlay(overlay);
}

QList<MapOverlay> MapView::overlays() const
{
    QList<MapOverlay> list;
    for (const OverlayRun& run : m_overlays) {
        for (qsizetype i = 0; i < run.count; ++i)
            list.append(MapOverlay(run.store, run.first + i));
    }
    return list;
}

MapPolylineRenderer* MapView::rendererForOverlay(const MapOverlay& overlay) const
{
    const qsizetype index = findOverlay(overlay).first;
    return index < 0 ? nullptr : m_overlays[size_t(index)].renderer.get();
}

void MapView::addToLines(const MapOverlay& overlay, const MapPolylineRenderer* renderer)
{
    if (renderer)
        m_lines.append(overlay, renderer->lineWidth(), renderer->strokeColor());
}

void MapView::rebuildLines()
{
    m_lines.clear();
    for (const OverlayRun& run : m_overlays) {
        for (qsizetype i = 0; i < run.count; ++i)
            addToLines(MapOverlay(run.store, run.first + i), run.renderer.get());
    }
    m_linesStale = false;
}

// Drawing ----------------------------------------------------------------------------------

void MapView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const MapCamera now = camera();
    m_tiles->draw(painter, now);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_linesStale)
        rebuildLines();
    m_lines.draw(painter, now);
    if (m_scaleBar)
        drawScaleBar(painter);
    for (const ShownLayer& shown : std::as_const(m_layers))
        shown.layer->draw(painter, now, event->rect(), shown.first);
    m_tiles->drawAttribution(painter, rect());
}

void MapView::setShowsScaleBar(bool shows)
{
    m_scaleBar = shows;
    update();
}

std::pair<int, double> MapView::scaleBarLength() const
{
    const double metersPerPoint = MapProjection::metersPerPoint(
        MapProjection::fromWorld(m_shownCenter).latitude, m_shownZoom);
    static const int steps[] = {5,    10,   20,    50,    100,   200,    500,    1000,
                                2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000};
    int meters = steps[0];
    for (int step : steps) {
        if (step / metersPerPoint <= 90)
            meters = step;
    }
    return {meters, meters / metersPerPoint};
}

void MapView::drawScaleBar(QPainter& painter) const
{
    const auto [meters, points] = scaleBarLength();
    const QString label = meters >= 1000 ? QStringLiteral("%1 km").arg(meters / 1000)
                                         : QStringLiteral("%1 m").arg(meters);
    const QPointF origin(10, height() - 12);
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    QPolygonF bar{origin + QPointF(0, -5), origin, origin + QPointF(points, 0),
                  origin + QPointF(points, -5)};
    painter.setPen(QPen(QColor(255, 255, 255, 220), 4, Qt::SolidLine, Qt::SquareCap));
    painter.drawPolyline(bar);
    painter.setPen(QPen(QColor(60, 60, 60), 1.6, Qt::SolidLine, Qt::SquareCap));
    painter.drawPolyline(bar);
    const QPointF text = origin + QPointF(points + 6, 0);
    painter.setPen(QColor(255, 255, 255, 220));
    for (const QPointF& d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        painter.drawText(text + d, label);
    painter.setPen(QColor(60, 60, 60));
    painter.drawText(text, label);
    painter.restore();
}

QImage MapView::takeSnapshotInRect(const QRectF& rect)
{
    const QRect area = rect.toAlignedRect();
    if (area.isEmpty() || width() <= 0 || height() <= 0)
        return QImage();
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    render(&image, QPoint(), QRegion(area), QWidget::DrawChildren);
    return image;
}

void MapView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutAnnotations();
}

// Gestures ---------------------------------------------------------------------------------

void MapView::tapAt(const QPointF& point)
{
    const MapAnnotationPtr hit = annotationAt(point);
    if (hit)
        selectAnnotation(hit, true);
    else if (m_selected)
        deselectAnnotation(m_selected, true);
}

void MapView::panBy(const QPointF& delta)
{
    const MapCamera now = camera();
    if (m_animation)
        m_animation->stop();
    m_center = now.centerWorld() - delta / now.scale();
    m_center.setY(qBound(0.0, m_center.y(), 1.0));
    m_zoom = now.zoom();
    m_shownCenter = m_center;
    m_shownZoom = m_zoom;
    cameraChanged();
}

void MapView::zoomBy(double levels, const QPointF& anchor)
{
    const MapCamera before = camera();
    const QPointF anchorWorld = before.toWorld(anchor);
    const double zoom = qBound(MinZoom, before.zoom() + levels, MaxZoom);
    const double scale = MapProjection::worldSize(zoom);
    const QPointF fromCentre = anchor - QPointF(width() / 2.0, height() / 2.0);
    if (m_animation)
        m_animation->stop();
    moveCamera(anchorWorld - fromCentre / scale, zoom, false);
}

void MapView::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    m_dragging = false;
    m_pressAt = m_lastDrag = event->position();
    event->accept();
}

void MapView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const QPointF at = event->position();
    if (!m_dragging && (at - m_pressAt).manhattanLength() >= DragThreshold)
        m_dragging = true;
    if (m_dragging) {
        panBy(at - m_lastDrag);
        m_lastDrag = at;
    }
    event->accept();
}

void MapView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressed && !m_dragging)
        tapAt(event->position());
    m_pressed = false;
    m_dragging = false;
    event->accept();
}

void MapView::mouseDoubleClickEvent(QMouseEvent* event)
{
    zoomBy(1, event->position());
    event->accept();
}

void MapView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        zoomBy(notches * 0.5, event->position());
    event->accept();
}

bool MapView::event(QEvent* event)
{
    if (event->type() == QEvent::Gesture) {
        auto* gestures = static_cast<QGestureEvent*>(event);
        if (auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture))) {
            const double factor = pinch->scaleFactor();
            if (factor > 0)
                zoomBy(std::log2(factor), mapFromGlobal(pinch->centerPoint()));
            gestures->accept(pinch);
            return true;
        }
    }
    if (event->type() == QEvent::NativeGesture) {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            zoomBy(std::log2(1 + gesture->value()), gesture->position());
            return true;
        }
    }
    return QWidget::event(event);
}
