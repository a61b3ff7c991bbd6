#include "platform/net/WebViewContent.h"

#include <QAbstractTextDocumentLayout>
#include <QRegularExpression>
#include <QTextDocument>
#include <QtTest>

namespace {

const QByteArray Square = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 400 400\" "
                          "width=\"100%\" height=\"100%\"><rect width=\"400\" height=\"400\" "
                          "fill=\"#ff0000\"/></svg>";
const QByteArray Wide = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 400 100\">"
                        "<rect width=\"400\" height=\"100\" fill=\"#0000ff\"/></svg>";

const QByteArray Head = "<title>t</title><p>kept</p>";
const QString Kept = "<p>kept</p>"; // Head as written for rich text

// A page made to slow a backtracking cleaner down: `unit` over and over after `head` until
// the page is `size` bytes. Built the same way every run, so a failure always repeats.
QByteArray hostilePage(const QByteArray& head, const QByteArray& unit, qsizetype size)
{
    QByteArray page = head;
    while (page.size() + unit.size() <= size)
        page += unit;
    return page;
}

} // namespace

// A fetched page made ready for rich text: what is dropped, what is kept, and how its
// inline pictures are sized and drawn.
class tst_WebViewContent : public QObject
{
    Q_OBJECT

private slots:
    void titleAndBackground_data();
    void titleAndBackground();
    void cleaning_data();
    void cleaning();
    void hostilePagesRenderFlat_data();
    void hostilePagesRenderFlat();
    void inlinePicturesBecomeImages();
    void picturesFitTheViewport_data();
    void picturesFitTheViewport();
    void picturesAreDrawn();
};

void tst_WebViewContent::titleAndBackground_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QColor>("background");
    QTest::newRow("styled html and body")
        << QByteArray("<html><head><title>电子围栏 500 m</title><style>html,body{margin:0;"
                      "height:100%;background:#eef3ee}</style></head><body>x</body></html>")
        << "电子围栏 500 m" << QColor("#eef3ee");
    QTest::newRow("background-color, a title is text")
        << QByteArray("<title>A &amp; <b>B</b></title><style>body { background-color: white; "
                      "}</style>")
        << "A & <b>B</b>" << QColor(Qt::white);
    QTest::newRow("bgcolor attribute")
        << QByteArray("<body bgcolor=\"#102030\">x</body>") << "" << QColor("#102030");
    QTest::newRow("other selectors do not count")
        << QByteArray("<style>.card{background:#ff0000}</style><p class=card>x</p>") << ""
        << QColor();
    QTest::newRow("nothing") << QByteArray("<p>plain</p>") << "" << QColor();
    QTest::newRow("512 KB of tags and rules never closed")
        << hostilePage(Head, "<p <title <body bgcolor= body{ background:", 512 * 1024) << "t"
        << QColor();
    QTest::newRow("a rule after 512 KB of broken ones")
        << hostilePage("", " body{ background:", 512 * 1024) +
               "</style><style>body{background:#123456}"
        << "" << QColor("#123456");
    QTest::newRow("bgcolor after 512 KB of open body tags")
        << hostilePage("", "<body ", 512 * 1024) + "bgcolor=#102030>"
        << "" << QColor("#102030");
    const QByteArray title = hostilePage("<title>", "<b>", 512 * 1024);
    QTest::newRow("a title of 512 KB of nested tags")
        << title + "t</title>" << QString(title.mid(7) + "t") << QColor();
}

void tst_WebViewContent::titleAndBackground()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, title);
    QFETCH(QColor, background);
    const WebViewContent content(page);
    QCOMPARE(content.title(), title);
    QCOMPARE(content.background(), background);
}

void tst_WebViewContent::cleaning_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("html"); // each picture shown as '@'
    QTest::addColumn<QByteArrayList>("pictures");
    const auto row = [](const char* name, const QByteArray& page, const QString& html,
                        const QByteArrayList& pictures = {}) {
        QTest::newRow(name) << page << html << pictures;
    };
    row("scripts, frames and objects",
        "<p>before</p><script type=\"text/javascript\">document.write('evil')</script>"
        "<SCRIPT>alert(1)</SCRIPT><iframe src=\"http://other.example/\">frame text</iframe>"
        "<object data=\"x.swf\"></object><embed src=\"y\"/><p>after</p><script>never closed",
        "<p>before</p><p>after</p>");
    row("nested frames", "a<iframe><IFRAME>x</iframe>y</iframe >b", "ab");
    row("a script ends at its first end tag", "a<script>s='<script>'</script>b", "ab");
    row("unclosed element", "a<object data=x>b<p>c", "a");
    row("void and stray tags", "a<frame src=x>b</embed>c</noscript>d<applet", "abcd");
    row("whole names only", "<iframes>x</iframes><p_script>y", "xy");
    row("nested pictures", "a<svg><svg/><SVG x='1'><script>s</script></svg></svg>b", "a@b",
        {"<svg><svg/><SVG x='1'></svg></svg>"});
    row("picture never closed", "a<svg>b", "ab");
    // Rich text gets only markup written here: harmless tags and attributes, well nested.
    row("text escaped, entities kept", "a < b &amp; c & d &#60; &#x3C; &nbsp; &bogus >",
        "a &lt; b &amp; c &amp; d &#60; &#x3C; &nbsp; &amp;bogus &gt;");
    row("harmless attributes only",
        "<p align=CENTER onclick=\"x()\" style=\"color:red; position:fixed; background:url(x)\">"
        "t</p><font color=RED size=+1 face=x>u</font><td rowspan=99999 colspan=2>",
        "<p align=\"center\" style=\"color:red;\">t</p><font color=\"#ff0000\" size=\"+1\">u"
        "</font><td colspan=\"2\"></td>");
    row("links without scripts",
        "<a href=\"javascript:alert(1)\">x</a><a href=' jav&#x61;script:1'>y</a>"
        "<a href=\"/p?a=1&b=2\">z</a><p href=/>",
        "<a>x</a><a>y</a><a href=\"/p?a=1&amp;b=2\">z</a><p></p>");
    row("end tags hidden in quotes and comments", "<b title=\"</b>\">x<!-- </b> -->y</b>z",
        "<b>xy</b>z");
    row("unmatched and implied end tags", "</i><ul><li>a<li>b</ul><p>c<div>d</span>",
        "<ul><li>a</li><li>b</li></ul><p>c</p><div>d</div>");
    row("doctype, head and unknown tags",
        "<!DOCTYPE html><?xml x?><html><head><title>T</title><style>p{}</style></head>"
        "<body><blink>x</blink><img src=a.png></body></html>",
        "x");
    row("a tag the page ends in", "a<b title=\"x>y", "a");
    row("a picture inside open elements", "<div><b>a" + Wide + "b", "<div><b>a@b</b></div>",
        {Wide});
    row("pictures past 64", QByteArray("<svg></svg>").repeated(65), QString(64, u'@'),
        QByteArrayList(64, "<svg></svg>"));
    row("481 KB of nested frames and pictures", hostilePage(Head, "<iframe><svg>", 481 * 1024),
        Kept);
    row("512 KB of unclosed script",
        hostilePage(Head + "<script>", "<svg></svg><script x=", 512 * 1024), Kept);
    row("512 KB of nested elements",
        hostilePage(Head, "<object><noscript></iframe></svg>", 512 * 1024), Kept);
    row("512 KB of pictures never closed", hostilePage(Head, "<svg><g>", 512 * 1024), Kept);
}

// Hostile pages must come out whole; the bound only guards against a hang, as the cleaning
// reads each character a bounded number of times.
void tst_WebViewContent::cleaning()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, html);
    QFETCH(QByteArrayList, pictures);
    QElapsedTimer clock;
    clock.start();
    const WebViewContent content(page);
    QVERIFY2(clock.elapsed() < 10000, "hang guard");
    static const QRegularExpression image(QStringLiteral("<div[^<]*<img[^>]*></div>"));
    QCOMPARE(content.html({}).replace(image, QStringLiteral("@")), html);
    QCOMPARE(content.pictures(), pictures);
}

void tst_WebViewContent::hostilePagesRenderFlat_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::newRow("512 KB of nested tags") << hostilePage("", "<b>y", 512 * 1024);
    QTest::newRow("400 nested tables") << hostilePage("", "<table><tr><td>y", 400 * 16);
    QTest::newRow("512 KB of end tags in quotes and comments")
        << hostilePage("", "<b title=\"</b>\">y<!--</b>-->", 512 * 1024);
    QTest::newRow("512 KB of unclosed tags")
        << hostilePage("", "<p><div><span><font color=red><i>y", 512 * 1024);
    QTest::newRow("a picture deep inside") << hostilePage("", "<div><b>y", 64 * 1024) + Square;
    QTest::newRow("512 KB in one word") << QByteArray(512 * 1024, 'y');
    QTest::newRow("100,000 cells in a row") << "<table><tr>" + hostilePage("", "<td>y", 500000);
}

// Qt's rich text slows down more than linearly with nesting (512 KB of nested tags took
// minutes), so what reaches it is never nested deeper than 24 elements and 3 tables, and
// the page's text all shows. The bound only guards against a hang.
void tst_WebViewContent::hostilePagesRenderFlat()
{
    QFETCH(QByteArray, page);
    QElapsedTimer clock;
    clock.start();
    const WebViewContent content(page);
    const QString html = content.html({QSize(320, 320)});
    QTextDocument document; // laid out as the web view lays out its page
    document.setHtml(html);
    document.setTextWidth(320);
    QVERIFY(document.documentLayout()->documentSize().height() > 0);
    QVERIFY2(clock.elapsed() < 10000, "hang guard");
    QCOMPARE(document.toPlainText().count(u'y'), page.count('y'));
    static const QRegularExpression tag(QStringLiteral("<(/?)(\\w+)"));
    int depth = 0, tables = 0, deepest = 0, deepestTables = 0;
    for (const QRegularExpressionMatch& match : tag.globalMatch(html)) {
        const QString name = match.captured(2);
        const int step = match.capturedView(1).isEmpty() ? 1 : -1;
        if (name == "br" || name == "hr" || name == "img")
            continue;
        deepest = qMax(deepest, depth += step);
        deepestTables = qMax(deepestTables, tables += name == "table" ? step : 0);
    }
    QCOMPARE(depth, 0);
    QVERIFY2(deepest <= 24 && deepestTables <= 3, qPrintable(QString::number(deepest)));
}

void tst_WebViewContent::inlinePicturesBecomeImages()
{
    const WebViewContent content("<h1>Map</h1>" + Square + "<p>between</p>" + Wide);
    QCOMPARE(content.pictures(), QByteArrayList({Square, Wide}));
    const auto image = [](int index, const QSize& size) {
        return QString("<div align=\"center\" style=\"margin:0\"><img src=\"%1\" width=\"%2\" "
                       "height=\"%3\"></div>")
            .arg(WebViewContent::imageName(index, size).toString())
            .arg(size.width())
            .arg(size.height());
    };
    QCOMPARE(content.html({QSize(100, 100), QSize(100, 25)}),
             "<h1>Map</h1>" + image(0, QSize(100, 100)) + "<p>between</p>" +
                 image(1, QSize(100, 25)));
    QVERIFY(WebViewContent::imageName(0, QSize(10, 10)) !=
            WebViewContent::imageName(0, QSize(20, 20)));
}

void tst_WebViewContent::picturesFitTheViewport_data()
{
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<QSize>("viewport");
    QTest::addColumn<QSize>("size");
    QTest::newRow("square in a wide view") << Square << QSize(300, 150) << QSize(150, 150);
    QTest::newRow("square in a tall view") << Square << QSize(150, 300) << QSize(150, 150);
    QTest::newRow("wide in a wide view") << Wide << QSize(300, 150) << QSize(300, 75);
    QTest::newRow("wide in a flat view") << Wide << QSize(300, 50) << QSize(200, 50);
    QTest::newRow("no height given") << Wide << QSize(300, 0) << QSize(300, 75);
}

void tst_WebViewContent::picturesFitTheViewport()
{
    QFETCH(QByteArray, svg);
    QFETCH(QSize, viewport);
    QFETCH(QSize, size);
    QCOMPARE(WebViewContent(svg).pictureSize(0, viewport), size);
}

void tst_WebViewContent::picturesAreDrawn()
{
    const WebViewContent content(Wide + Square);
    const QImage wide = content.picture(0, QSize(80, 20));
    QCOMPARE(wide.size(), QSize(80, 20));
    QCOMPARE(wide.pixelColor(40, 10), QColor(Qt::blue));
    const QImage sharp = content.picture(1, QSize(10, 10), 2.0);
    QCOMPARE(sharp.size(), QSize(20, 20));
    QCOMPARE(sharp.devicePixelRatio(), 2.0);
    QCOMPARE(sharp.pixelColor(19, 19), QColor(Qt::red));
    QVERIFY(content.picture(2, QSize(10, 10)).isNull());
    QVERIFY(content.picture(0, QSize()).isNull());
}

QTEST_MAIN(tst_WebViewContent)
#include "tst_WebViewContent.moc"
