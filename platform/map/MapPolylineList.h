#pragma once

#include "platform/map/MapPolyline.h"

#include <memory>

// A list of polylines kept as one store, for a track that arrives in pieces: each piece is
// a line of its own at the cost of a few bytes, its points kept once.
class MapPolylineList
{
public:
    class const_iterator
    {
    public:
        const_iterator(const MapPolylineList* list, qsizetype index) : m_list(list), m_index(index)
        {
        }
        MapPolyline operator*() const { return m_list->at(m_index); }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return m_index != other.m_index; }

    private:
        const MapPolylineList* m_list;
        qsizetype m_index;
    };

    MapPolylineList();

    MapPolyline append(const MapCoordinate* coordinates, qsizetype count);
    // Starts afresh; lines handed out before keep their points.
    void clear();

    qsizetype size() const { return m_store->lineCount(); }
    bool isEmpty() const { return size() == 0; }
    MapPolyline at(qsizetype index) const { return MapPolyline(m_store, index); }
    MapPolyline first() const { return at(0); }
    MapPolyline last() const { return at(size() - 1); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }
    qsizetype memoryBytes() const { return m_store->memoryBytes(); }

private:
    std::shared_ptr<MapPolylineStore> m_store;
};
