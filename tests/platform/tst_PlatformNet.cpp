#include "platform/net/ImageLoader.h"
#include "platform/net/WebView.h"
#include "platform/ui/ImageView.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtEndian>
#include <QtTest>
#include <ctime>
#include <optional>

namespace {

constexpr int Patience = 20000;

const QByteArray Square = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 400 400\" "
                          "width=\"100%\" height=\"100%\"><rect width=\"400\" height=\"400\" "
                          "fill=\"#ff0000\"/></svg>";
const QByteArray Wide = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 400 100\">"
                        "<rect width=\"400\" height=\"100\" fill=\"#0000ff\"/></svg>";
// Pages and addresses the web view meets, from
// tests/data/platform/web-pages.json.
QJsonObject pages()
{
    QFile file(QStringLiteral(LVXING_TEST_DATA "/platform/web-pages.json"));
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A page written out, or {head, repeat, size, tail}: `repeat` over and over
// after `head` up to `size` bytes, then `tail` (pages made to slow a
// backtracking cleaner or Qt's rich text).
QByteArray pageOf(const QJsonValue& value)
{
    QByteArray page = (value.isObject() ? value["head"] : value).toString().toUtf8();
    const QByteArray unit = value["repeat"].toString().toUtf8();
    while (!unit.isEmpty() && page.size() + unit.size() <= value["size"].toInt())
        page += unit;
    return page + value["tail"].toString().toUtf8();
}

QByteArray png(const QSize& size, QImage::Format format = QImage::Format_Mono)
{
    QImage image(size, format);
    image.fill(format == QImage::Format_Mono ? 0 : QColor(Qt::red).rgb());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A PNG header claiming 100000 x 100000 pixels and no pixel data behind it.
QByteArray hugeHeaderOnly()
{
    QByteArray bytes = png(QSize(1, 1));
    qToBigEndian<quint32>(100000, bytes.data() + 16);
    qToBigEndian<quint32>(100000, bytes.data() + 20);
    return bytes.left(33) + QByteArray(64, 'x');
}

// Seconds of processor time this process has used: a hang guard that other
// loads on the machine do not move.
double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

// The web view (which pages it loads and what a page can do) and the image
// loader.
class tst_PlatformNet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void allowedAddresses_data();
    void allowedAddresses();
    void loadsOnlyTheServersPages();
    void fencePageShowsWithItsPicture();
    void newerLoadWins();
    void titleAndBackground_data();
    void titleAndBackground();
    void cleaning_data();
    void cleaning();
    void hostilePagesRenderFlat_data();
    void hostilePagesRenderFlat();
    void picturesAreSizedAndDrawn();
    void imageShowsAfterThePlaceholderAndIsCached();
    void imageFailuresLeaveThePlaceholder_data();
    void imageFailuresLeaveThePlaceholder();
    void imagesOverTheLimitsAreRefused();
    void laterImageForTheSameViewWins();
    void failedImageRestsTenMinutes();

private:
    QString local(const QString& path) const
    {
        return QString("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }
    bool load(WebView& view, const QString& url);
    std::optional<QImage> loadNow(ImageLoader& loader, const QString& address);
    void showView(WebView& view, const QUrl& server);

    QHttpServer m_server;
    int m_port = 0;
    int m_hits = 0;
    QNetworkAccessManager m_network;
    QTemporaryDir m_cacheRoot;
};

void tst_PlatformNet::initTestCase()
{
    using Status = QHttpServerResponse::StatusCode;
    const QString home = QString("http://127.0.0.1:%1/page");
    // Path, body, status and where a redirect points.
    const QList<std::tuple<QString, QByteArray, Status, QString>> answers = {
        {"/page",
         "<title>Hello</title><p>plain "
         "words</p><script>document.write('x')</script>",
         Status::Ok, ""},
        {"/jump-away", "", Status::Found, "http://192.0.2.1:9/elsewhere"},
        {"/jump-home", "", Status::Found, home},
        {"/missing", "<h1>gone</h1>", Status::NotFound, ""},
        {"/huge", QByteArray(WebView::MaxPageBytes + 4096, 'a'), Status::Ok, ""},
        {"/red.png", png({32, 32}, QImage::Format_RGB32), Status::Ok, ""},
        {"/garbage.png", "not a picture", Status::Ok, ""},
        {"/wide.png", png({4097, 2}), Status::Ok, ""},
        {"/huge.png", hugeHeaderOnly(), Status::Ok, ""},
        // A small picture followed by megabytes: only the first 2 MB may ever be
        // read.
        {"/padded.png", png({32, 32}) + QByteArray(3 << 20, 'x'), Status::Ok, ""},
        {"/broken.png", "", Status::InternalServerError, ""}};
    for (const auto& [path, body, status, location] : answers) {
        const QByteArray mime = path.endsWith(".png") ? "image/png" : "text/html";
        m_server.route(path, [this, mime, body = body, status = status, location = location] {
            ++m_hits;
            QHttpServerResponse response(mime, body, status);
            if (!location.isEmpty())
                response.setHeader("Location", location.arg(m_port).toUtf8());
            return response;
        });
    }
    m_port = m_server.listen(QHostAddress::LocalHost);
    QVERIFY(m_port > 0);
}

void tst_PlatformNet::showView(WebView& view, const QUrl& server)
{
    view.resize(320, 180);
    view.setNetworkAccessManager(&m_network);
    view.setAllowedServer(server);
    view.show();
}

bool tst_PlatformNet::load(WebView& view, const QString& url)
{
    QSignalSpy finished(&view, &WebView::loadFinished);
    view.loadRequest(QUrl(url));
    if (finished.isEmpty() && !finished.wait(Patience))
        return false;
    return finished.first().first().toBool();
}

void tst_PlatformNet::allowedAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("allowed");
    for (const QJsonValue& row : pages()["allowed"].toArray()) {
        const QJsonArray r = row.toArray();
        QTest::newRow(qPrintable(r[0].toString()))
            << r[1].toString() << r[2].toString() << r[3].toBool();
    }
}

void tst_PlatformNet::allowedAddresses()
{
    QFETCH(QString, url);
    QFETCH(QString, server);
    QFETCH(bool, allowed);
    QCOMPARE(WebView::isAllowed(QUrl(url), QUrl(server)), allowed);
}

void tst_PlatformNet::loadsOnlyTheServersPages()
{
    WebView view;
    showView(view, QUrl(local("")));
    QVERIFY(load(view, local("/jump-home"))); // a redirect on the server is followed
    QCOMPARE(view.title(), QString("Hello"));
    QVERIFY(view.plainText().contains("plain words"));
    QVERIFY(!view.plainText().contains("document.write"));
    m_hits = 0;
    QSignalSpy finished(&view, &WebView::loadFinished);
    QVERIFY(!view.loadRequest(QUrl(QString("http://localhost:%1/page").arg(m_port))));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(!view.isLoading());
    QVERIFY(view.plainText().trimmed().isEmpty());
    QCOMPARE(view.title(), QString());
    QCOMPARE(m_hits, 0);
    for (const char* path : {"/jump-away", "/missing", "/huge"}) {
        QVERIFY2(!load(view, local(path)), path);
        QVERIFY(view.hasFailed());
        QCOMPARE(view.plainText().trimmed(), QString("页面加载失败"));
    }
}

void tst_PlatformNet::fencePageShowsWithItsPicture()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen() > 0);
    WebView view;
    showView(view, sim.baseUrl());
    QVERIFY(load(view, sim.baseUrl().toString() + "/TestMap.php?wl=500&lng=120.1551&lat=30.2741"));
    QCOMPARE(view.title(), QString("电子围栏 500 m"));
    QCOMPARE(view.pictureCount(), 1);
    // The picture fills the view's height, centred: the device's red dot in the
    // middle, the page's pale green at the side.
    const QImage shot = view.grab().toImage();
    const QColor middle = shot.pixelColor(160, 90);
    QVERIFY2(middle.red() > 150 && middle.green() < 100, qPrintable(middle.name()));
    QCOMPARE(shot.pixelColor(5, 90), QColor("#eef3ee"));
}

void tst_PlatformNet::newerLoadWins()
{
    DeviceServerSimulator sim;
    QVERIFY(sim.listen() > 0);
    // The first answer is held back for good: only the newer load can end.
    sim.addFault(SimFault::delay(600000, "/TestMap.php"));
    WebView view;
    showView(view, sim.baseUrl());
    QSignalSpy finished(&view, &WebView::loadFinished);
    view.loadRequest(QUrl(sim.baseUrl().toString() + "/TestMap.php?wl=100&lng=1&lat=2"));
    QTRY_COMPARE_WITH_TIMEOUT(sim.requestsTo("/TestMap.php").size(), 1, Patience);
    view.loadRequest(QUrl(sim.baseUrl().toString() + "/TestMap.php?wl=200&lng=1&lat=2"));
    QVERIFY(finished.wait(Patience));
    QCOMPARE(finished.count(), 1);
    QVERIFY(finished.first().first().toBool());
    QCOMPARE(view.title(), QString("电子围栏 200 m"));
    QVERIFY(!view.isLoading());
}

void tst_PlatformNet::titleAndBackground_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QColor>("background");
    for (const QJsonValue& row : pages()["titleAndBackground"].toArray())
        QTest::newRow(qPrintable(row["name"].toString()))
            << pageOf(row["page"]) << QString::fromUtf8(pageOf(row["title"]))
            << QColor(row["background"].toString());
}

void tst_PlatformNet::titleAndBackground()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, title);
    QFETCH(QColor, background);
    const double start = cpuSeconds();
    const WebViewContent content(page);
    QVERIFY2(cpuSeconds() - start < 10, "hang guard");
    QCOMPARE(content.title(), title);
    QCOMPARE(content.background(), background);
}

void tst_PlatformNet::cleaning_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("html"); // each picture shown as '@'
    QTest::addColumn<QByteArrayList>("pictures");
    for (const QJsonValue& row : pages()["cleaning"].toArray()) {
        QByteArrayList pictures;
        for (const QJsonValue& picture : row["pictures"].toArray())
            pictures << picture.toString().toUtf8();
        for (int i = row["picturesTimes"].toInt(1); i > 1; --i)
            pictures << pictures.first();
        QTest::newRow(qPrintable(row["name"].toString()))
            << pageOf(row["page"]) << row["html"].toString() << pictures;
    }
}

// Each character is read a bounded number of times, so hostile pages come out
// whole at once.
void tst_PlatformNet::cleaning()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, html);
    QFETCH(QByteArrayList, pictures);
    const double start = cpuSeconds();
    const WebViewContent content(page);
    QVERIFY2(cpuSeconds() - start < 10, "hang guard");
    static const QRegularExpression image(QStringLiteral("<div[^<]*<img[^>]*></div>"));
    QCOMPARE(content.html({}).replace(image, QStringLiteral("@")), html);
    QCOMPARE(content.pictures(), pictures);
}

void tst_PlatformNet::hostilePagesRenderFlat_data()
{
    QTest::addColumn<QByteArray>("page");
    for (const QJsonValue& row : pages()["renderFlat"].toArray())
        QTest::newRow(qPrintable(row["name"].toString())) << pageOf(row["page"]);
}

// Qt's rich text slows down more than linearly with nesting (512 KB of nested
// tags took minutes), so what reaches it is never nested deeper than 24
// elements and 3 tables, and all of the page's text shows.
void tst_PlatformNet::hostilePagesRenderFlat()
{
    QFETCH(QByteArray, page);
    const QString html = WebViewContent(page).html({QSize(320, 320)});
    QTextDocument document; // laid out as the web view lays out its page
    document.setHtml(html);
    document.setTextWidth(320);
    QVERIFY(document.documentLayout()->documentSize().height() > 0);
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

void tst_PlatformNet::picturesAreSizedAndDrawn()
{
    const WebViewContent content("<h1>Map</h1>" + Square + "<p>between</p>" + Wide);
    QCOMPARE(content.pictures(), QByteArrayList({Square, Wide}));
    // As wide as the viewport and no taller, in proportion.
    QCOMPARE(content.pictureSize(0, QSize(150, 300)), QSize(150, 150));
    QCOMPARE(content.pictureSize(1, QSize(300, 50)), QSize(200, 50));
    QCOMPARE(content.pictureSize(1, QSize(300, 0)), QSize(300, 75));
    QVERIFY(content.html({{100, 100}, {100, 25}}).contains("width=\"100\" height=\"25\""));
    QVERIFY(WebViewContent::imageName(0, {10, 10}) != WebViewContent::imageName(0, {20, 20}));
    const QImage sharp = content.picture(0, QSize(10, 10), 2.0);
    QCOMPARE(sharp.size(), QSize(20, 20));
    QCOMPARE(sharp.pixelColor(19, 19), QColor(Qt::red));
    QCOMPARE(content.picture(1, QSize(80, 20)).pixelColor(40, 10), QColor(Qt::blue));
    QVERIFY(content.picture(2, QSize(10, 10)).isNull());
}

std::optional<QImage> tst_PlatformNet::loadNow(ImageLoader& loader, const QString& address)
{
    auto result = std::make_shared<std::optional<QImage>>();
    loader.loadImage(address, [result](const QImage& image) { *result = image; });
    QDeadlineTimer deadline(Patience);
    while (!*result && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    return *result;
}

void tst_PlatformNet::imageShowsAfterThePlaceholderAndIsCached()
{
    const QString folder = m_cacheRoot.filePath("shared");
    QImage placeholder(10, 10, QImage::Format_RGB32);
    placeholder.fill(Qt::gray);
    {
        ImageLoader loader(folder);
        QCOMPARE(QFileInfo(folder).permissions() & 0x0077, QFileDevice::Permissions());
        ImageView view;
        QSignalSpy changed(&view, &ImageView::imageChanged);
        loader.setImageWithURL(&view, local("/red.png"), placeholder);
        QCOMPARE(view.image(), placeholder);
        QVERIFY(changed.wait(Patience));
        QCOMPARE(view.image().pixelColor(5, 5), QColor(Qt::red));
        QCOMPARE(loadNow(loader, local("/red.png")).value().size(), QSize(32, 32));
        QCOMPARE(loader.networkRequestCount(), 1);
    }
    // A new run: nothing in memory, the picture comes from the disk at once.
    ImageLoader later(folder);
    ImageView view;
    later.setImageWithURL(&view, local("/red.png"), placeholder);
    QCOMPARE(view.image().size(), QSize(32, 32));
    QCOMPARE(later.networkRequestCount(), 0);
}

void tst_PlatformNet::imageFailuresLeaveThePlaceholder_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << QString();
    QTest::newRow("store default") << QString("0");
    QTest::newRow("not an address") << QString("ht!tp:// bad");
    QTest::newRow("not http") << QString("ftp://127.0.0.1/a.png");
    QTest::newRow("upload answer text") << QString("error:1");
    QTest::newRow("missing") << local("/nothing-here.png");
    QTest::newRow("server error") << local("/broken.png");
    QTest::newRow("not a picture") << local("/garbage.png");
    QTest::newRow("no server") << QString("http://127.0.0.1:9/avatar.png");
}

void tst_PlatformNet::imageFailuresLeaveThePlaceholder()
{
    QFETCH(QString, address);
    ImageLoader loader(m_cacheRoot.filePath("failures"));
    QVERIFY(loadNow(loader, address).value().isNull());
    ImageView view;
    QImage placeholder(8, 8, QImage::Format_RGB32);
    placeholder.fill(Qt::blue);
    loader.setImageWithURL(&view, address, placeholder);
    QVERIFY(loadNow(loader, address).has_value());
    QCOMPARE(view.image(), placeholder);
}

void tst_PlatformNet::imagesOverTheLimitsAreRefused()
{
    QVERIFY(!ImageLoader::decode(png({4096, 4096})).isNull());
    QVERIFY(ImageLoader::decode(png({4097, 1})).isNull());
    QVERIFY(ImageLoader::decode(png({1, 4097})).isNull());
    QVERIFY(ImageLoader::decode(hugeHeaderOnly()).isNull());
    ImageLoader loader(m_cacheRoot.filePath("limits"));
    for (const char* path : {"/wide.png", "/huge.png", "/padded.png"})
        QVERIFY2(loadNow(loader, local(path)).value().isNull(), path);
}

void tst_PlatformNet::laterImageForTheSameViewWins()
{
    ImageLoader loader(m_cacheRoot.filePath("race"));
    ImageView view;
    loader.setImageWithURL(&view, local("/red.png"), QImage());
    loader.setImageWithURL(&view, "", QImage(3, 3, QImage::Format_RGB32));
    QVERIFY(loadNow(loader, local("/red.png")).has_value());
    QCOMPARE(view.image().size(), QSize(3, 3));
}

void tst_PlatformNet::failedImageRestsTenMinutes()
{
    ImageLoader loader(m_cacheRoot.filePath("rest"));
    qint64 now = 0;
    loader.setNow([&now] { return now; });
    QVERIFY(loadNow(loader, local("/broken.png")).value().isNull());
    now += ImageLoader::RetryAfterMs - 1;
    QVERIFY(loadNow(loader, local("/broken.png")).value().isNull());
    QCOMPARE(loader.networkRequestCount(), 1);
    now += 1;
    QVERIFY(loadNow(loader, local("/broken.png")).value().isNull());
    QCOMPARE(loader.networkRequestCount(), 2);
}

QTEST_MAIN(tst_PlatformNet)
#include "tst_PlatformNet.moc"
