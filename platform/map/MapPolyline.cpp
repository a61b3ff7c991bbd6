#include "platform/map/MapPolyline.h"

#include "platform/map/MapProjection.h"

qsizetype MapPolylineStore::append(const MapCoordinate* coordinates, qsizetype count)
{
    count = coordinates ? qMax<qsizetype>(count, 0) : 0;
    const bool shares = count > 0 && !m_starts.empty() && pointCount(lineCount() - 1) > 0 &&
                        m_points.back() == coordinates[0];
    if (shares) {
        m_starts.push_back(quint32(m_points.size() - 1) | Shared);
        m_points.insert(m_points.end(), coordinates + 1, coordinates + count);
    } else {
        m_starts.push_back(quint32(m_points.size()));
        m_points.insert(m_points.end(), coordinates, coordinates + count);
    }
    return lineCount() - 1;
}

qsizetype MapPolylineStore::pointCount(qsizetype line) const
{
    if (line + 1 == lineCount())
        return qsizetype(m_points.size()) - firstPoint(line);
    const quint32 next = m_starts[size_t(line + 1)];
    // A line that shares its first point with this one starts at this one's last.
    const qsizetype end = qsizetype(next & ~Shared) + ((next & Shared) ? 1 : 0);
    return end - firstPoint(line);
}

qsizetype MapPolylineStore::memoryBytes() const
{
    return qsizetype(m_points.capacity() * sizeof(MapCoordinate) +
                     m_starts.capacity() * sizeof(quint32));
}

MapPolyline::MapPolyline(const QList<MapCoordinate>& coordinates)
{
    auto store = std::make_shared<MapPolylineStore>();
    m_line = store->append(coordinates.constData(), coordinates.size());
    m_store = std::move(store);
}

MapPolyline::MapPolyline(std::shared_ptr<const MapPolylineStore> store, qsizetype line)
    : m_store(std::move(store)), m_line(line)
{
}

MapPolyline MapPolyline::polylineWithCoordinates(const MapCoordinate* coordinates, qsizetype count)
{
    QList<MapCoordinate> list;
    if (coordinates && count > 0)
        list = QList<MapCoordinate>(coordinates, coordinates + count);
    return MapPolyline(list);
}

qsizetype MapPolyline::pointCount() const
{
    return m_store ? m_store->pointCount(m_line) : 0;
}

MapCoordinate MapPolyline::coordinate(qsizetype index) const
{
    return m_store->point(m_store->firstPoint(m_line) + index);
}

QList<MapCoordinate> MapPolyline::coordinates() const
{
    QList<MapCoordinate> list;
    list.reserve(pointCount());
    for (qsizetype i = 0; i < pointCount(); ++i)
        list.append(coordinate(i));
    return list;
}

QRectF MapPolyline::boundingWorldRect() const
{
    const qsizetype count = pointCount();
    if (count == 0)
        return QRectF();
    double left = 1, top = 1, right = 0, bottom = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const QPointF p = MapProjection::toWorld(coordinate(i));
        left = qMin(left, p.x());
        right = qMax(right, p.x());
        top = qMin(top, p.y());
        bottom = qMax(bottom, p.y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}
