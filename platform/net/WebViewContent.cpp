#include "platform/net/WebViewContent.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QTextDocumentFragment>
#include <algorithm>
#include <cctype>
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

// The page as handed to Qt is markup written here, not the server's: Qt's rich-text parser
// and layout take more than linear time on deeply nested tags, and it reads tags in its own
// way (end tags inside quotes or comments), so a depth counted on the page's own text would
// not hold. Only harmless tags and attributes are written, properly nested and never deeper
// than these bounds; one level is left for the frame around a picture.
constexpr qsizetype MaxDepth = 24;
constexpr int MaxTables = 3;
// Table cells cost Qt's layout much more than text does (100,000 cells took seconds); a
// page with more keeps their text without them.
constexpr int MaxCells = 2000;

struct Attribute
{
    QStringView name;
    QStringView value;
};

// One piece of the page: text, a tag, or something dropped whole (comments, doctype, a
// title's or style sheet's text).
struct Token
{
    enum Kind { Text, Start, End, Dropped } kind = Dropped;
    QStringView text; // the text, or the tag's name
    QList<Attribute> attributes;
};

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool endsName(QChar c)
{
    return c.isSpace() || c == u'/' || c == u'>';
}

// Reads a tag's attributes from `at` as a browser does, quotes included; answers just past
// the tag's '>', or -1 when the page ends first (a browser drops such a tag).
qsizetype readAttributes(QStringView page, qsizetype at, QList<Attribute>& attributes)
{
    for (;;) {
        at = skipSpaces(page, at);
        if (at == page.size())
            return -1;
        if (page[at] == u'>')
            return at + 1;
        if (page[at] == u'/') {
            ++at;
            continue;
        }
        const qsizetype name = at++;
        while (at < page.size() && !endsName(page[at]) && page[at] != u'=')
            ++at;
        Attribute attribute{page.sliced(name, at - name), {}};
        at = skipSpaces(page, at);
        if (at < page.size() && page[at] == u'=') {
            at = skipSpaces(page, at + 1);
            if (at < page.size() && (page[at] == u'"' || page[at] == u'\'')) {
                const qsizetype close = page.indexOf(page[at], at + 1);
                if (close < 0)
                    return -1;
                attribute.value = page.sliced(at + 1, close - at - 1);
                at = close + 1;
            } else {
                const qsizetype value = at;
                while (at < page.size() && !page[at].isSpace() && page[at] != u'>')
                    ++at;
                attribute.value = page.sliced(value, at - value);
            }
        }
        attributes.append(attribute);
    }
}

// Splits a page into tokens, left to right, each character read a bounded number of times.
class Tokenizer
{
public:
    explicit Tokenizer(QStringView page) : m_page(page) {}
    bool next(Token& token);

private:
    qsizetype skipPast(QStringView end, qsizetype from) const;
    void readTag(Token& token);

    QStringView m_page;
    qsizetype m_at = 0;
};

// Just past the first `end` at or after `from`, or the page's end.
qsizetype Tokenizer::skipPast(QStringView end, qsizetype from) const
{
    const qsizetype at = m_page.indexOf(end, from, Qt::CaseInsensitive);
    return at < 0 ? m_page.size() : at + end.size();
}

bool Tokenizer::next(Token& token)
{
    if (m_at >= m_page.size())
        return false;
    token = Token();
    const qsizetype tag = m_page.indexOf(u'<', m_at);
    if (tag != m_at) {
        const qsizetype end = tag < 0 ? m_page.size() : tag;
        token = {Token::Text, m_page.sliced(m_at, end - m_at), {}};
        m_at = end;
        return true;
    }
    const QStringView rest = m_page.sliced(m_at);
    const bool closing = rest.startsWith(u"</");
    if (rest.startsWith(u"<!--")) {
        m_at = skipPast(u"-->", m_at + 4);
    } else if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
        m_at = skipPast(u">", m_at);
    } else if (rest.size() > 1 + closing && isAsciiLetter(rest[1 + closing])) {
        token.kind = closing ? Token::End : Token::Start;
        m_at += 1 + closing;
        readTag(token);
    } else {
        // A '<' that starts no tag is text.
        token = {Token::Text, rest.first(1), {}};
        ++m_at;
    }
    return true;
}

void Tokenizer::readTag(Token& token)
{
    const qsizetype name = m_at;
    while (m_at < m_page.size() && !endsName(m_page[m_at]))
        ++m_at;
    token.text = m_page.sliced(name, m_at - name);
    m_at = readAttributes(m_page, m_at, token.attributes);
    if (m_at < 0) {
        m_at = m_page.size();
        token.kind = Token::Dropped;
        return;
    }
    // A title and a style sheet are not shown; their text may hold '<' meaning nothing.
    for (QStringView hidden : {u"</title", u"</style"}) {
        if (token.kind == Token::Start &&
            token.text.compare(hidden.sliced(2), Qt::CaseInsensitive) == 0) {
            const qsizetype end = m_page.indexOf(hidden, m_at, Qt::CaseInsensitive);
            m_at = end < 0 ? m_page.size() : end;
            token.kind = Token::Dropped;
        }
    }
}

bool isEntityChar(QChar c, int base)
{
    const char16_t u = c.unicode();
    if (u >= 128)
        return false;
    return base == 10 ? isdigit(u) != 0 : base == 16 ? isxdigit(u) != 0 : isalnum(u) != 0;
}

// The length of the well-formed entity at `at` (`&name;`, `&#N;` or `&#xH;`), or 0. Only a
// few characters are looked at, so stray ampersands cost no more than text.
qsizetype entityLength(QStringView text, qsizetype at)
{
    qsizetype begin = at + 1;
    int base = 0;
    if (text.sliced(begin).startsWith(u"#x", Qt::CaseInsensitive))
        base = 16;
    else if (text.sliced(begin).startsWith(u'#'))
        base = 10;
    begin += base == 16 ? 2 : base == 10 ? 1 : 0;
    const qsizetype longest = base == 16 ? 6 : base == 10 ? 7 : 31;
    qsizetype end = begin;
    while (end < text.size() && end - begin < longest && isEntityChar(text[end], base))
        ++end;
    if (end == begin || end == text.size() || text[end] != u';' ||
        (base == 0 && !isAsciiLetter(text[begin])))
        return 0;
    return end + 1 - at;
}

// Qt lays out one long unbroken word in time that grows faster than its length (512 KB
// of letters took seconds), so a word gets a zero-width break opportunity this often.
constexpr qsizetype LongestWord = 64;

// `text` as rich-text characters: markup characters escaped, entities kept working.
// `word`, for text, counts the letters of the word under way, which may go on from
// earlier text; attribute values (null) get no breaks.
void appendEscaped(QString& out, QStringView text, qsizetype* word = nullptr)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        if (word) {
            *word = c.isSpace() ? 0 : *word + 1;
            if (*word > LongestWord) {
                out += QChar(0x200B);
                *word = 1;
            }
        }
        if (c == u'&') {
            const qsizetype entity = entityLength(text, at);
            out += entity > 0 ? text.sliced(at, entity) : QStringView(u"&amp;");
            at += qMax<qsizetype>(entity, 1) - 1;
        } else if (c == u'<') {
            out += u"&lt;";
        } else if (c == u'>') {
            out += u"&gt;";
        } else if (c == u'"') {
            out += u"&quot;";
        } else {
            out += c;
        }
    }
}

bool isOneOf(QStringView word, std::initializer_list<QStringView> words)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

bool isDigits(QStringView text, qsizetype most)
{
    return !text.isEmpty() && text.size() <= most &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A link that names no scheme, or a web one: rich text never follows links, but one with
// a script in it is not kept either. A scheme hidden behind entities or spaces fails too.
bool isSafeLink(QStringView link)
{
    qsizetype at = 0;
    for (; at < link.size() && !QStringView(u"/?#:").contains(link[at]); ++at) {
        if (link[at].unicode() <= u' ' || link[at] == u'&' || link[at] == u'\\')
            return false;
    }
    if (at == link.size() || link[at] != u':')
        return true;
    const QStringView scheme = link.first(at);
    return scheme.compare(u"http", Qt::CaseInsensitive) == 0 ||
           scheme.compare(u"https", Qt::CaseInsensitive) == 0;
}

// The declarations of an inline style that only colour, align or weigh text; values are
// plain words, numbers and colours, so nothing is loaded and no size can blow up a layout.
QString safeStyle(QStringView style)
{
    QString kept;
    for (QStringView declaration : style.split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        const QString property =
            declaration.first(qMax<qsizetype>(colon, 0)).trimmed().toString().toLower();
        const QStringView value = declaration.sliced(colon + 1).trimmed();
        const bool plain = std::all_of(value.begin(), value.end(), [](QChar c) {
            return c.unicode() < 128 &&
                   (c.isLetterOrNumber() || QStringView(u"#%., -").contains(c));
        });
        if (colon > 0 && plain && !value.isEmpty() && value.size() <= 32 &&
            isOneOf(property, {u"color", u"background-color", u"text-align", u"font-weight",
                               u"font-style", u"text-decoration", u"vertical-align"}))
            kept += property + u':' + value.toString() + u';';
    }
    return kept;
}

// An attribute's value as written again, or empty when the attribute is dropped: only
// attributes that shape text, tables and colours, each with a value of its kind.
QString attributeValue(QStringView name, QStringView value)
{
    value = value.trimmed();
    const QString word = value.toString().toLower();
    if (name == u"align")
        return isOneOf(word, {u"left", u"right", u"center", u"justify"}) ? word : QString();
    if (name == u"valign")
        return isOneOf(word, {u"top", u"middle", u"bottom"}) ? word : QString();
    if (name == u"color" || name == u"bgcolor") {
        const QColor colour = value.size() <= 32 ? QColor::fromString(value) : QColor();
        return colour.isValid() ? colour.name() : QString();
    }
    if (name == u"width" || name == u"height")
        return isDigits(value.endsWith(u'%') ? value.chopped(1) : value, 4) ? word : QString();
    if (isOneOf(name, {u"border", u"cellpadding", u"cellspacing"}))
        return isDigits(value, 2) ? word : QString();
    // Qt builds a grid of empty cells for a span; rows spanning others make its table
    // import slow down faster than the table grows, so only short column spans are kept.
    if (name == u"colspan")
        return isDigits(value, 1) ? word : QString();
    if (name == u"size")
        return isOneOf(word, {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"+1", u"+2", u"-1", u"-2"})
                   ? word
                   : QString();
    if (name == u"href")
        return isSafeLink(value) ? value.toString() : QString();
    if (name == u"style")
        return safeStyle(value);
    return QString();
}

// The tags kept: text styles, blocks, lists and tables. Anything else (forms, media, links
// to other documents, the page's own images) goes, its text staying.
bool isKept(QStringView name)
{
    static const QStringView kept[] = {
        u"p",     u"br",     u"div",  u"span",   u"b",  u"i",         u"u",   u"s",
        u"em",    u"strong", u"h1",   u"h2",     u"h3", u"h4",        u"h5",  u"h6",
        u"ul",    u"ol",     u"li",   u"table",  u"tr", u"td",        u"th",  u"thead",
        u"tbody", u"tfoot",  u"font", u"center", u"a",  u"hr",        u"pre", u"small",
        u"big",   u"sub",    u"sup",  u"code",   u"tt", u"blockquote"};
    return std::find(std::begin(kept), std::end(kept), name) != std::end(kept);
}

bool isBlock(QStringView name)
{
    return isOneOf(name, {u"p", u"div", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"ul", u"ol",
                          u"li", u"table", u"pre", u"hr", u"center", u"blockquote"});
}

// Writes the page again from its tokens, tracking which elements are open. A page may be
// written in pieces, between which the caller puts pictures; elements stay open across them.
class PageWriter
{
public:
    void write(QStringView html);
    QString take() { return std::exchange(m_out, QString()); }
    // The rest of the page, every element still open closed.
    QString finish();

private:
    void start(const QString& name, const QList<Attribute>& attributes);
    void end(const QString& name);
    void appendAttributes(const QString& tag, const QList<Attribute>& attributes);
    qsizetype findOpen(std::initializer_list<QStringView> names,
                       std::initializer_list<QStringView> scope) const;
    qsizetype implicitEnd(const QString& name) const;
    void closeTo(qsizetype depth);

    QString m_out;
    QStringList m_open;
    int m_tables = 0;
    int m_cells = 0;
    qsizetype m_word = 0;
};

void PageWriter::write(QStringView html)
{
    Tokenizer tokens(html);
    for (Token token; tokens.next(token);) {
        if (token.kind == Token::Text) {
            appendEscaped(m_out, token.text, &m_word);
            continue;
        }
        const QString name = token.text.toString().toLower();
        if (token.kind == Token::Dropped || !isKept(name))
            continue;
        if (token.kind == Token::Start)
            start(name, token.attributes);
        else
            end(name);
    }
}

QString PageWriter::finish()
{
    closeTo(0);
    return take();
}

void PageWriter::start(const QString& name, const QList<Attribute>& attributes)
{
    const qsizetype end = implicitEnd(name);
    if (end >= 0)
        closeTo(end);
    const bool isVoid = name == u"br" || name == u"hr";
    // Too deep: the tag goes, its text stays.
    if (!isVoid && (m_open.size() >= MaxDepth - 1 || (name == u"table" && m_tables >= MaxTables)))
        return;
    const bool isCell = name == u"td" || name == u"th";
    if (isCell && ++m_cells > MaxCells)
        return;
    m_out += u'<' + name;
    appendAttributes(name, attributes);
    m_out += u'>';
    if (isVoid)
        return;
    m_open.append(name);
    m_tables += name == u"table";
}

// An end tag closes its innermost open namesake and all inside it; one that closes nothing
// is dropped.
void PageWriter::end(const QString& name)
{
    const qsizetype open = m_open.lastIndexOf(name);
    if (open >= 0)
        closeTo(open);
}

void PageWriter::appendAttributes(const QString& tag, const QList<Attribute>& attributes)
{
    QStringList written;
    for (const Attribute& attribute : attributes) {
        const QString name = attribute.name.toString().toLower();
        if (written.contains(name) || (name == u"href" && tag != u"a"))
            continue;
        const QString value = attributeValue(name, attribute.value);
        if (value.isEmpty())
            continue;
        written.append(name);
        m_out += u' ' + name + QLatin1String("=\"");
        appendEscaped(m_out, value);
        m_out += u'"';
    }
}

// The innermost open element named in `names`, looking no further out than one in `scope`.
qsizetype PageWriter::findOpen(std::initializer_list<QStringView> names,
                               std::initializer_list<QStringView> scope) const
{
    for (qsizetype at = m_open.size() - 1; at >= 0; --at) {
        if (isOneOf(m_open.at(at), names))
            return at;
        if (isOneOf(m_open.at(at), scope))
            return -1;
    }
    return -1;
}

// What an element opening now closes first, as in a browser: a list item the item before
// it, a cell the cell before, a row the row before, a block an open paragraph. Pages that
// never close these would otherwise nest a level deeper with every one.
qsizetype PageWriter::implicitEnd(const QString& name) const
{
    qsizetype end = -1;
    if (name == u"li")
        end = findOpen({u"li"}, {u"ul", u"ol", u"table"});
    else if (name == u"td" || name == u"th")
        end = findOpen({u"td", u"th"}, {u"tr", u"table"});
    else if (name == u"tr")
        end = findOpen({u"tr"}, {u"table"});
    if (end < 0 && isBlock(name))
        end = findOpen({u"p"}, {u"td", u"th", u"table"});
    return end;
}

void PageWriter::closeTo(qsizetype depth)
{
    while (m_open.size() > depth) {
        const QString name = m_open.takeLast();
        m_tables -= name == u"table";
        m_out += QLatin1String("</") + name + u'>';
    }
}

} // namespace

WebViewContent::WebViewContent(const QByteArray& body)
{
    const QString page = QString::fromUtf8(body);
    const CleanPage clean = PageCleaner(page).run();
    m_title = titleOf(clean.html);
    m_background = backgroundOf(clean.html);
    PageWriter writer;
    qsizetype from = 0;
    for (const auto& [begin, end] : clean.pictures) {
        writer.write(QStringView(clean.html).sliced(from, begin - from));
        from = end;
        if (m_pictures.size() == MaxPictures)
            continue;
        m_texts.append(writer.take());
        m_pictures.append(QStringView(clean.html).sliced(begin, end - begin).toUtf8());
        m_pictureShapes.append(shapeOf(m_pictures.last()));
    }
    writer.write(QStringView(clean.html).sliced(from));
    m_texts.append(writer.finish());
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
