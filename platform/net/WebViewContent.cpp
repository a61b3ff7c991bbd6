#include "platform/net/WebViewContent.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QTextDocumentFragment>
#include <cmath>
#include <utility>

// The page is cleaned on the UI thread, so every scan below moves left to right and never
// returns to text it has passed: a page costs time in proportion to its length, however many
// unclosed or nested tags a hostile server packs into it.
namespace {

// Each picture becomes an image as wide as the view, so pictures past this many are left out
// rather than let a page use up memory.
constexpr qsizetype MaxPictures = 64;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// A tag as far as its name, `<name` or `</name`; a '<' that starts no tag has an empty name.
struct Tag
{
    qsizetype begin = -1; // the '<', or -1 when the page has none left
    qsizetype nameEnd = 0;
    bool closing = false;
    QStringView name;

    bool is(QStringView other) const { return name.compare(other, Qt::CaseInsensitive) == 0; }
};

// Finds tags in page order. Where a tag ends is searched from where the last search
// stopped, so a page of tags that never reach their '>' is still read once.
class TagScanner
{
public:
    explicit TagScanner(QStringView page) : m_page(page) {}

    Tag next(qsizetype from) const;
    // Just past the first '>' at or after `from`, or the page's end; asked in page order.
    qsizetype end(qsizetype from);

private:
    QStringView m_page;
    qsizetype m_close = -1;
};

Tag TagScanner::next(qsizetype from) const
{
    Tag tag;
    tag.begin = m_page.indexOf(u'<', from);
    if (tag.begin < 0)
        return tag;
    qsizetype at = tag.begin + 1;
    tag.closing = at < m_page.size() && m_page[at] == u'/';
    at += tag.closing ? 1 : 0;
    const qsizetype nameBegin = at;
    while (at < m_page.size() && isWordChar(m_page[at]))
        ++at;
    tag.name = m_page.sliced(nameBegin, at - nameBegin);
    tag.nameEnd = at;
    return tag;
}

qsizetype TagScanner::end(qsizetype from)
{
    if (m_close < from) {
        m_close = m_page.indexOf(u'>', from);
        if (m_close < 0)
            m_close = m_page.size();
    }
    return qMin(m_close + 1, m_page.size());
}

// What becomes of a tag. Nothing that runs code or pulls in other pages survives: rich text
// has no script engine, and frames or objects would only show as stray text.
enum class Part {
    Kept,
    Picture, // kept, and an outermost one is taken out as a picture
    Void,    // dropped alone: embed and frame hold nothing
    Element, // dropped with everything up to its own end tag
    Script,  // the same, but its text may hold tags, so it ends at its first end tag
};

Part partOf(const Tag& tag)
{
    static const std::pair<QStringView, Part> parts[] = {
        {u"svg", Part::Picture},      {u"script", Part::Script},  {u"iframe", Part::Element},
        {u"frameset", Part::Element}, {u"object", Part::Element}, {u"applet", Part::Element},
        {u"noscript", Part::Element}, {u"frame", Part::Void},     {u"embed", Part::Void}};
    for (const auto& [name, part] : parts) {
        if (tag.is(name))
            return part;
    }
    return Part::Kept;
}

// The page without its active parts, and where each outermost inline picture lies in it.
struct CleanPage
{
    QString html;
    QList<std::pair<qsizetype, qsizetype>> pictures; // [begin, end) in html
};

// The one pass over the page: kept text is copied, active parts are skipped.
class PageCleaner
{
public:
    explicit PageCleaner(QStringView page) : m_page(page), m_tags(page) {}
    CleanPage run();

private:
    qsizetype skip(const Tag& tag, Part part);
    qsizetype keepPictureTag(const Tag& tag);

    QStringView m_page;
    TagScanner m_tags;
    CleanPage m_result;
    qsizetype m_pictureDepth = 0;
    qsizetype m_pictureBegin = 0;
};

CleanPage PageCleaner::run()
{
    qsizetype at = 0;
    for (Tag tag = m_tags.next(0); tag.begin >= 0; tag = m_tags.next(at)) {
        m_result.html += m_page.sliced(at, tag.begin - at);
        const Part part = partOf(tag);
        if (part == Part::Picture) {
            at = keepPictureTag(tag);
        } else if (part != Part::Kept) {
            at = skip(tag, part);
        } else {
            m_result.html += m_page.sliced(tag.begin, tag.nameEnd - tag.begin);
            at = tag.nameEnd;
        }
    }
    m_result.html += m_page.sliced(at);
    return std::move(m_result);
}

// Skips a dropped tag and, for an element, all up to its own end tag. Same-name elements
// inside nest, except in a script, which like a browser's ends at its first end tag. An
// element never closed takes the rest of the page, as a browser would hide it.
qsizetype PageCleaner::skip(const Tag& tag, Part part)
{
    const qsizetype end = m_tags.end(tag.nameEnd);
    if (tag.closing || part == Part::Void)
        return end;
    qsizetype depth = 1;
    for (Tag inner = m_tags.next(end); inner.begin >= 0; inner = m_tags.next(inner.nameEnd)) {
        if (!inner.is(tag.name))
            continue;
        if (inner.closing && --depth == 0)
            return m_tags.end(inner.nameEnd);
        if (!inner.closing && part == Part::Element)
            ++depth;
    }
    return m_page.size();
}

// Keeps an <svg> or </svg> tag, noting where an outermost picture begins and ends. A
// self-closed <svg/> opens nothing; a picture never closed stays in the page as text.
qsizetype PageCleaner::keepPictureTag(const Tag& tag)
{
    QString& html = m_result.html;
    const qsizetype end = m_tags.end(tag.nameEnd);
    if (tag.closing) {
        html += m_page.sliced(tag.begin, end - tag.begin);
        if (m_pictureDepth > 0 && --m_pictureDepth == 0)
            m_result.pictures.append({m_pictureBegin, html.size()});
        return end;
    }
    if (!m_page.sliced(tag.begin, end - tag.begin).endsWith(u"/>") && m_pictureDepth++ == 0)
        m_pictureBegin = html.size();
    html += m_page.sliced(tag.begin, tag.nameEnd - tag.begin);
    return tag.nameEnd;
}

// The first tag named `name` at or after `from`, opening or closing as asked.
Tag findTag(TagScanner& tags, qsizetype from, QStringView name, bool closing)
{
    Tag tag = tags.next(from);
    while (tag.begin >= 0 && (tag.closing != closing || !tag.is(name)))
        tag = tags.next(tag.nameEnd);
    return tag;
}

QString titleOf(QStringView html)
{
    TagScanner tags(html);
    const Tag start = findTag(tags, 0, u"title", false);
    if (start.begin < 0)
        return QString();
    const qsizetype text = tags.end(start.nameEnd);
    const Tag stop = findTag(tags, text, u"title", true);
    if (stop.begin < 0 || !html.sliced(0, text).endsWith(u'>'))
        return QString();
    // A title is plain text with entities, as in a browser; escaping its '<' also keeps Qt's
    // parser, which slows down with every level of nested tags, from seeing any.
    QString title = html.sliced(text, stop.begin - text).toString();
    title.replace(u'<', QStringLiteral("&lt;"));
    return QTextDocumentFragment::fromHtml(title).toPlainText().simplified();
}

// Whether `html` or `body` stands as a selector word in html[begin, end).
bool namesPage(QStringView html, qsizetype begin, qsizetype end)
{
    for (qsizetype at = begin; at + 4 <= end; ++at) {
        const QStringView word = html.sliced(at, 4);
        if ((at == 0 || html[at - 1].isSpace() || QStringView(u",}>").contains(html[at - 1])) &&
            (word.compare(u"html", Qt::CaseInsensitive) == 0 ||
             word.compare(u"body", Qt::CaseInsensitive) == 0) &&
            (at + 4 == end || !isWordChar(html[at + 4])))
            return true;
    }
    return false;
}

// The first valid background or background-color among a rule's declarations.
QColor backgroundIn(QStringView declarations)
{
    for (QStringView declaration : declarations.split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QStringView name = declaration.first(colon).trimmed();
        if (name.compare(u"background", Qt::CaseInsensitive) != 0 &&
            name.compare(u"background-color", Qt::CaseInsensitive) != 0)
            continue;
        // An !important after the value is no part of the colour.
        const QStringView value = declaration.sliced(colon + 1).split(u'!').first();
        const QColor colour = QColor::fromString(value.trimmed());
        if (colour.isValid())
            return colour;
    }
    return QColor();
}

// A style rule for html or body: each rule's selector and declarations are read once, the
// declarations ending at the next brace of either kind.
QColor styledBackground(QStringView html)
{
    qsizetype selector = 0;
    for (qsizetype at = 0; at < html.size(); ++at) {
        if (html[at] != u'{' && html[at] != u'}')
            continue;
        if (html[at] == u'{' && namesPage(html, selector, at)) {
            qsizetype end = at + 1;
            while (end < html.size() && html[end] != u'{' && html[end] != u'}')
                ++end;
            const QColor colour = backgroundIn(html.sliced(at + 1, end - at - 1));
            if (colour.isValid())
                return colour;
        }
        selector = at + 1;
    }
    return QColor();
}

bool isColourChar(QChar c)
{
    return c == u'#' || (c.unicode() < 128 && c.isLetterOrNumber());
}

qsizetype skipSpaces(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at].isSpace())
        ++at;
    return at;
}

// The colour of the first bgcolor="…" among a tag's attributes that names one. Only leading
// spaces are skipped, never trailing ones, so no stretch of the tag is read once per try.
QColor bgcolorIn(QStringView attributes)
{
    const QStringView name = u"bgcolor";
    for (qsizetype at = attributes.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = attributes.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        qsizetype value = skipSpaces(attributes, at + name.size());
        if ((at > 0 && isWordChar(attributes[at - 1])) || value == attributes.size() ||
            attributes[value] != u'=')
            continue;
        value = skipSpaces(attributes, value + 1);
        if (value < attributes.size() && (attributes[value] == u'"' || attributes[value] == u'\''))
            ++value;
        qsizetype end = value;
        while (end < attributes.size() && isColourChar(attributes[end]))
            ++end;
        const QColor colour = QColor::fromString(attributes.sliced(value, end - value));
        if (colour.isValid())
            return colour;
    }
    return QColor();
}

// A bgcolor on a <body> tag. A failed tag is passed whole: any <body inside it shares its end.
QColor attributeBackground(QStringView html)
{
    TagScanner tags(html);
    for (Tag body = findTag(tags, 0, u"body", false); body.begin >= 0;) {
        const qsizetype end = tags.end(body.nameEnd);
        const QColor colour = bgcolorIn(html.sliced(body.nameEnd, end - body.nameEnd));
        if (colour.isValid())
            return colour;
        body = findTag(tags, end, u"body", false);
    }
    return QColor();
}

QColor backgroundOf(QStringView html)
{
    const QColor styled = styledBackground(html);
    return styled.isValid() ? styled : attributeBackground(html);
}

QSizeF shapeOf(const QByteArray& svg)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return QSizeF();
    const QSizeF box = renderer.viewBoxF().size();
    return box.isEmpty() ? QSizeF(renderer.defaultSize()) : box;
}

} // namespace

WebViewContent::WebViewContent(const QByteArray& body)
{
    const QString page = QString::fromUtf8(body);
    const CleanPage clean = PageCleaner(page).run();
    m_title = titleOf(clean.html);
    m_background = backgroundOf(clean.html);
    QString text;
    qsizetype from = 0;
    for (const auto& [begin, end] : clean.pictures) {
        text += QStringView(clean.html).sliced(from, begin - from);
        from = end;
        if (m_pictures.size() == MaxPictures)
            continue;
        m_texts.append(std::exchange(text, QString()));
        m_pictures.append(QStringView(clean.html).sliced(begin, end - begin).toUtf8());
        m_pictureShapes.append(shapeOf(m_pictures.last()));
    }
    text += QStringView(clean.html).sliced(from);
    m_texts.append(text);
}

QUrl WebViewContent::imageName(int index, const QSize& size)
{
    return QUrl(
        QStringLiteral("webview-picture:%1-%2x%3").arg(index).arg(size.width()).arg(size.height()));
}

QSize WebViewContent::pictureSize(int index, const QSize& viewport) const
{
    const QSizeF shape = m_pictureShapes.value(index);
    if (shape.isEmpty() || viewport.width() <= 0)
        return QSize(qMax(0, viewport.width()), qMax(0, viewport.height()));
    int width = viewport.width();
    int height = int(std::lround(width * shape.height() / shape.width()));
    if (viewport.height() > 0 && height > viewport.height()) {
        height = viewport.height();
        width = int(std::lround(height * shape.width() / shape.height()));
    }
    return QSize(width, height);
}

QString WebViewContent::html(const QList<QSize>& sizes) const
{
    QString page = m_texts.value(0);
    for (int i = 0; i < m_pictures.size(); ++i) {
        const QSize size = sizes.value(i);
        page += QStringLiteral("<div align=\"center\" style=\"margin:0\">"
                               "<img src=\"%1\" width=\"%2\" height=\"%3\"></div>")
                    .arg(imageName(i, size).toString())
                    .arg(size.width())
                    .arg(size.height());
        page += m_texts.at(i + 1);
    }
    return page;
}

QImage WebViewContent::picture(int index, const QSize& size, qreal pixelRatio) const
{
    if (index < 0 || index >= m_pictures.size() || size.isEmpty())
        return QImage();
    QImage image(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(m_pictures.at(index));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}
