#include "platform/net/WebViewContent.h"

#include <QtTest>

namespace {

const QByteArray Square = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 400 400\" "
                          "width=\"100%\" height=\"100%\"><rect width=\"400\" height=\"400\" "
                          "fill=\"#ff0000\"/></svg>";
const QByteArray Wide = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 400 100\">"
                        "<rect width=\"400\" height=\"100\" fill=\"#0000ff\"/></svg>";

} // namespace

// A fetched page made ready for rich text: what is dropped, what is kept, and how its
// inline pictures are sized and drawn.
class tst_WebViewContent : public QObject
{
    Q_OBJECT

private slots:
    void titleAndBackground_data();
    void titleAndBackground();
    void scriptsFramesAndObjectsAreDropped();
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
    QTest::newRow("background-color, entities in the title")
        << QByteArray("<title>A &amp; B</title><style>body { background-color: white; }</style>")
        << "A & B" << QColor(Qt::white);
    QTest::newRow("bgcolor attribute")
        << QByteArray("<body bgcolor=\"#102030\">x</body>") << "" << QColor("#102030");
    QTest::newRow("other selectors do not count")
        << QByteArray("<style>.card{background:#ff0000}</style><p class=card>x</p>") << ""
        << QColor();
    QTest::newRow("nothing") << QByteArray("<p>plain</p>") << "" << QColor();
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

void tst_WebViewContent::scriptsFramesAndObjectsAreDropped()
{
    const WebViewContent content(
        "<p>before</p><script type=\"text/javascript\">document.write('evil')</script>"
        "<SCRIPT>alert(1)</SCRIPT><iframe src=\"http://other.example/\">frame text</iframe>"
        "<object data=\"x.swf\"></object><embed src=\"y\"/><p>after</p><script>never closed");
    const QString html = content.html({});
    QVERIFY(html.contains("before"));
    QVERIFY(html.contains("after"));
    for (const char* gone :
         {"document.write", "alert", "iframe", "frame text", "object", "embed", "never closed"})
        QVERIFY2(!html.contains(gone, Qt::CaseInsensitive), gone);
}

void tst_WebViewContent::inlinePicturesBecomeImages()
{
    const WebViewContent content("<body><h1>Map</h1>" + Square + "<p>between</p>" + Wide +
                                 "</body>");
    QCOMPARE(content.pictures().size(), 2);
    QVERIFY(content.pictures().at(0).startsWith("<svg"));
    QVERIFY(content.pictures().at(1).contains("#0000ff"));
    const QString html = content.html({QSize(100, 100), QSize(100, 25)});
    QVERIFY(!html.contains("<svg"));
    QVERIFY(html.contains(QString("<img src=\"%1\" width=\"100\" height=\"100\">")
                              .arg(WebViewContent::imageName(0, QSize(100, 100)).toString())));
    QVERIFY(html.contains(QString("<img src=\"%1\" width=\"100\" height=\"25\">")
                              .arg(WebViewContent::imageName(1, QSize(100, 25)).toString())));
    QVERIFY(html.indexOf("Map") < html.indexOf("between"));
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
