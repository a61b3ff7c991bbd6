#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>

// A fetched page made ready for rich-text display: scripts, frames and embedded objects are
// dropped, each inline SVG picture is taken out to be drawn as an image, and the page's title
// and background colour are kept. The rest is written again as markup of known shape: only
// harmless tags and attributes, escaped text, and a bounded depth of nesting.
class WebViewContent
{
public:
    WebViewContent() = default;
    explicit WebViewContent(const QByteArray& body);

    bool isEmpty() const { return m_pictures.isEmpty() && m_texts.value(0).isEmpty(); }
    QString title() const { return m_title; }
    // The background the page asks for on its body (invalid when it names none).
    QColor background() const { return m_background; }
    // The inline SVG pictures, in page order.
    const QList<QByteArray>& pictures() const { return m_pictures; }

    // The size picture `index` takes in a viewport of `viewport`: as wide as the viewport and
    // no taller, keeping its own proportions.
    QSize pictureSize(int index, const QSize& viewport) const;
    // The page as rich text, each picture an image of `sizes[i]` named by imageName(i, size).
    QString html(const QList<QSize>& sizes) const;
    // Names differ by size, so a document never shows a picture drawn for another size.
    static QUrl imageName(int index, const QSize& size);
    // Picture `index` drawn at `size` points and `pixelRatio` pixels per point.
    QImage picture(int index, const QSize& size, qreal pixelRatio = 1.0) const;

private:
    // The page's text around its pictures: one more piece than there are pictures.
    QStringList m_texts;
    QString m_title;
    QColor m_background;
    QList<QByteArray> m_pictures;
    QList<QSizeF> m_pictureShapes;
};
