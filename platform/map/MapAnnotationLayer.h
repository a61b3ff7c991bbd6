#pragma once

#include "platform/map/MapCoordinate.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class MapCamera;
class QPainter;

// Marks that are only pictures (a ride's start, standing and stop marks), kept as plain
// values in one array, in the order they are drawn. A screen fills it; each map it is on
// draws it in one pass. Marks with the same title share their picture, so a mark costs a
// few dozen bytes and no object of its own, however many pile up at one place.
class MapAnnotationLayer : public QObject
{
    Q_OBJECT

public:
    // A title's picture, centred on the marked place plus the offset.
    struct Picture
    {
        QImage image;
        QPointF centerOffset;
    };
    using PictureMaker = std::function<Picture(const QString& title)>;

    // `makePicture` is asked once for each title the layer meets.
    explicit MapAnnotationLayer(PictureMaker makePicture);

    void append(const MapCoordinate& coordinate, const QString& title);
    void setCoordinate(qsizetype index, const MapCoordinate& coordinate);
    // The frame stays as the title's picture was made; an image of another size fills it.
    void setImage(const QString& title, const QImage& image);
    void clear();

    qsizetype size() const { return qsizetype(m_marks.size()); }
    bool isEmpty() const { return m_marks.empty(); }
    MapCoordinate coordinate(qsizetype index) const { return m_marks[index].coordinate; }
    QString title(qsizetype index) const { return m_kinds[m_marks[index].kind].title; }
    QImage image(qsizetype index) const { return m_kinds[m_marks[index].kind].image; }
    // Where a mark's picture lies in a viewport, as it is drawn.
    QRect frame(qsizetype index, const MapCamera& camera) const;

    // Draws the marks from `first` on whose pictures meet `area`, the later above.
    void draw(QPainter& painter, const MapCamera& camera, const QRect& area,
              qsizetype first = 0) const;

signals:
    // A mark came or moved, or a picture changed.
    void changed();

private:
    struct Kind
    {
        QString title;
        QImage image;
        QSize size;
        QPointF centerOffset;
    };
    struct Mark
    {
        MapCoordinate coordinate;
        QPointF world;
        int kind;
    };
    // The world points of a run of consecutive marks, so a pass skips runs out of sight.
    struct Bounds
    {
        double left, top, right, bottom;
        void extend(const QPointF& p);
        bool meets(const QRectF& rect) const;
    };
    static constexpr qsizetype ChunkSize = 256;
    // Copies of one picture drawn at one place in a row.
    struct Stack
    {
        QPoint at;
        int kind = -1;
        int copies = 0;
        // Whether another copy would change no pixel.
        bool settled(const QPoint& place, int kindOfMark);
    };

    int kindOf(const QString& title);
    static QPoint topLeft(const Kind& kind, const QPointF& place);
    void drawMark(QPainter& painter, const Kind& kind, const QPoint& at) const;

    PictureMaker m_makePicture;
    QList<Kind> m_kinds;
    std::vector<Mark> m_marks;
    std::vector<Bounds> m_chunks;
};

using MapAnnotationLayerPtr = std::shared_ptr<MapAnnotationLayer>;
