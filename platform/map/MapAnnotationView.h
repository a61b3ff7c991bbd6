#pragma once

#include "platform/map/MapAnnotation.h"

#include <QPointF>
#include <QString>
#include <QWidget>

// The view that stands for one annotation on the map, centred on its coordinate (plus the
// centre offset). The map makes it through its delegate, keeps it while the annotation is
// in sight, and puts it in a reuse queue under its identifier when it is not.
class MapAnnotationView : public QWidget
{
    Q_OBJECT

public:
    MapAnnotationView(const MapAnnotationPtr& annotation, const QString& reuseIdentifier,
                      QWidget* parent = nullptr);

    // The annotation the view was made for (the map may show a reused view for another).
    MapAnnotationPtr annotation() const { return m_annotation.lock(); }
    QString reuseIdentifier() const { return m_reuseIdentifier; }

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { setSelected(selected, false); }
    virtual void setSelected(bool selected, bool animated);

    // Whether a point in the view's own coordinates hits it.
    virtual bool pointInside(const QPointF& point) const;

    bool canShowCallout() const { return m_canShowCallout; }
    void setCanShowCallout(bool can) { m_canShowCallout = can; }
    bool isDraggable() const { return m_draggable; }
    void setDraggable(bool draggable) { m_draggable = draggable; }
    QPointF calloutOffset() const { return m_calloutOffset; }
    void setCalloutOffset(const QPointF& offset) { m_calloutOffset = offset; }
    QPointF centerOffset() const { return m_centerOffset; }
    void setCenterOffset(const QPointF& offset) { m_centerOffset = offset; }
    // For a view whose picture is a pin: its tip, at the bottom centre, marks the place.
    void standOnTip() { m_centerOffset = QPointF(0, -height() / 2.0); }

    // Called when the view goes into the reuse queue.
    virtual void prepareForReuse() {}

    // The view's size: set by the subclasses from their pictures.
    void setBounds(const QSize& size);

    // A map's own view for annotations its delegate gives none: a red pin.
    static MapAnnotationView* makePin(const MapAnnotationPtr& annotation);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::weak_ptr<MapAnnotation> m_annotation;
    QString m_reuseIdentifier;
    bool m_selected = false;
    bool m_canShowCallout = false;
    bool m_draggable = false;
    bool m_drawsPin = false;
    QPointF m_calloutOffset;
    QPointF m_centerOffset;
};
