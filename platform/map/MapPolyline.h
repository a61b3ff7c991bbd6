#pragma once

#include "platform/map/MapCoordinate.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <memory>
#include <vector>

// The coordinates of polylines that follow one another, in one piece: each line is known by
// where its first point lies, and a line that starts where the one before it ended shares
// that point. Lines are only ever appended, so a line's points never move once it exists.
class MapPolylineStore
{
public:
    // Appends a line and returns its index.
    qsizetype append(const MapCoordinate* coordinates, qsizetype count);
    qsizetype lineCount() const { return qsizetype(m_starts.size()); }
    qsizetype firstPoint(qsizetype line) const { return m_starts[size_t(line)] & ~Shared; }
    qsizetype pointCount(qsizetype line) const;
    const MapCoordinate& point(qsizetype index) const { return m_points[size_t(index)]; }
    qsizetype memoryBytes() const;

private:
    static constexpr quint32 Shared = 0x80000000u;
    std::vector<MapCoordinate> m_points;
    // The first point of each line, with Shared set when the line before ends there too.
    std::vector<quint32> m_starts;
};

// A line through a sequence of coordinates: a small value naming one line of a store.
// Copies name the same line; lines built apart are never the same line, however alike.
class MapPolyline
{
public:
    MapPolyline() = default;
    explicit MapPolyline(const QList<MapCoordinate>& coordinates);
    MapPolyline(std::shared_ptr<const MapPolylineStore> store, qsizetype line);
    static MapPolyline polylineWithCoordinates(const MapCoordinate* coordinates, qsizetype count);

    bool isNull() const { return !m_store; }
    qsizetype pointCount() const;
    MapCoordinate coordinate(qsizetype index) const;
    QList<MapCoordinate> coordinates() const;
    // The world rectangle the line covers.
    QRectF boundingWorldRect() const;

    const std::shared_ptr<const MapPolylineStore>& store() const { return m_store; }
    qsizetype line() const { return m_line; }
    friend bool operator==(const MapPolyline& a, const MapPolyline& b)
    {
        return a.m_store == b.m_store && a.m_line == b.m_line;
    }

private:
    std::shared_ptr<const MapPolylineStore> m_store;
    qsizetype m_line = 0;
};
