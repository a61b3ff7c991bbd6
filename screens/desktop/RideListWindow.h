#pragma once

#include "platform/map/MapPolylineList.h"
#include "platform/map/MapViewDelegate.h"
#include "poll/GpxWriter.h"
#include "poll/Rides.h"

#include <QWidget>
#include <optional>

class MapView;
class QLabel;
class QListWidget;

// The rides kept from the position section's track, newest first under their dates, with the
// chosen ride drawn on a map; exports the chosen ride, or its whole day, as a GPX file.
class RideListWindow : public QWidget, public MapViewDelegate
{
    Q_OBJECT

public:
    explicit RideListWindow(QWidget* parent = nullptr);

    // Reads the rides again and chooses the newest.
    void reload();
    // Asks whether to write the chosen ride or its day, and where; says why when it fails.
    void exportGpx();
    // Writes the chosen ride, or every ride that started on its day, to `path`; false, with a
    // message for the rider in `error`, when nothing was written.
    bool exportTo(const QString& path, bool wholeDay, QString* error);

    // Newest first.
    const QList<Rides::Ride>& rides() const { return m_rides; }
    // The chosen ride's place in rides(); -1 when none is chosen.
    int chosenRide() const;
    void chooseRide(int index);

    MapOverlayRendererPtr rendererForOverlay(MapView* mapView, const MapOverlay& overlay) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyTheme();
    void fillList();
    void showChosenRide();
    // Centres the map on the world rectangle and zooms it to fit.
    void frame(const QRectF& world);
    // Whether the rider wants the chosen ride's whole day; none when the rider cancels.
    std::optional<bool> askWholeDay();
    QString suggestedPath(bool wholeDay) const;
    QString trackName(bool wholeDay) const;
    QList<GpxWriter::Segment> segments(bool wholeDay) const;
    static QString devid();

    QList<Rides::Ride> m_rides;
    QListWidget* m_list;
    MapView* m_map;
    QLabel* m_empty;
    MapPolylineList m_line;
    MapOverlayRendererPtr m_renderer;
};
