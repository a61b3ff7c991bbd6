#include "platform/net/ImageLoader.h"
#include "platform/ui/ImageView.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace {

QByteArray png(const QSize& size, const QColor& color, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    if (format == QImage::Format_Mono)
        image.fill(0);
    else
        image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A PNG whose header claims a huge picture and whose pixel data is missing: decoding it
// would need gigabytes, reading its header needs nothing.
QByteArray hugeHeaderOnly()
{
    QByteArray bytes = png(QSize(1, 1), Qt::red);
    qToBigEndian<quint32>(100000, bytes.data() + 16);
    qToBigEndian<quint32>(100000, bytes.data() + 20);
    return bytes.left(33) + QByteArray(64, 'x');
}

} // namespace

class tst_ImageLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void placeholderAtOnceThenTheImage();
    void secondLoadComesFromTheCachesWithoutNetwork();
    void failuresLeaveThePlaceholder_data();
    void failuresLeaveThePlaceholder();
    void picturesOverTheSizeLimitAreRefused();
    void laterAddressForTheSameViewWins();
    void failedAddressRestsTenMinutes();

private:
    QImage loadNow(ImageLoader& loader, const QString& address);
    QString url(const char* path) const
    {
        return QString("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

    QHttpServer m_server;
    int m_port = 0;
    int m_hits = 0;
    QTemporaryDir m_cacheRoot;
};

void tst_ImageLoader::initTestCase()
{
    const QByteArray teal = png(QSize(64, 64), QColor(19, 146, 134));
    const QByteArray red = png(QSize(32, 32), Qt::red);
    const QByteArray wide = png(QSize(4097, 2), Qt::black, QImage::Format_Mono);
    m_server.route("/avatar.png", [this, teal] {
        ++m_hits;
        return QHttpServerResponse("image/png", teal);
    });
    m_server.route("/red.png", [this, red] {
        ++m_hits;
        return QHttpServerResponse("image/png", red);
    });
    m_server.route("/garbage.png",
                   [] { return QHttpServerResponse("image/png", "not a picture"); });
    m_server.route("/wide.png", [wide] { return QHttpServerResponse("image/png", wide); });
    m_server.route("/huge.png", [] { return QHttpServerResponse("image/png", hugeHeaderOnly()); });
    // A small picture followed by megabytes: only the first 2 MB may ever be read.
    m_server.route("/padded.png", [red] {
        return QHttpServerResponse("image/png", red + QByteArray(3 * 1024 * 1024, 'x'));
    });
    m_server.route("/broken.png", [] {
        return QHttpServerResponse(QHttpServerResponse::StatusCode::InternalServerError);
    });
    m_port = m_server.listen(QHostAddress::LocalHost, 0);
    QVERIFY(m_port > 0);
}

QImage tst_ImageLoader::loadNow(ImageLoader& loader, const QString& address)
{
    QImage result;
    bool done = false;
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    loader.loadImage(address, [&](const QImage& image) {
        result = image;
        done = true;
        loop.quit();
    });
    if (!done) {
        guard.start(10000);
        loop.exec();
    }
    return result;
}

void tst_ImageLoader::placeholderAtOnceThenTheImage()
{
    ImageLoader loader(m_cacheRoot.filePath("first"));
    ImageView view;
    QImage placeholder(10, 10, QImage::Format_RGB32);
    placeholder.fill(Qt::gray);
    QSignalSpy changed(&view, &ImageView::imageChanged);
    loader.setImageWithURL(&view, url("/avatar.png"), placeholder);
    QCOMPARE(view.image(), placeholder);
    QVERIFY(changed.wait(10000));
    QCOMPARE(view.image().size(), QSize(64, 64));
    QCOMPARE(view.image().pixelColor(5, 5), QColor(19, 146, 134));
}

void tst_ImageLoader::secondLoadComesFromTheCachesWithoutNetwork()
{
    const QString folder = m_cacheRoot.filePath("shared");
    const int before = m_hits;
    {
        ImageLoader loader(folder);
        QCOMPARE(loadNow(loader, url("/red.png")).size(), QSize(32, 32));
        QCOMPARE(loadNow(loader, url("/red.png")).size(), QSize(32, 32));
        QCOMPARE(loader.networkRequestCount(), 1);
    }
    // A new run: nothing in memory, the picture comes from the disk at once.
    ImageLoader later(folder);
    ImageView view;
    later.setImageWithURL(&view, url("/red.png"), QImage());
    QCOMPARE(view.image().size(), QSize(32, 32));
    QCOMPARE(later.networkRequestCount(), 0);
    QCOMPARE(m_hits - before, 1);
}

void tst_ImageLoader::failuresLeaveThePlaceholder_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << QString();
    QTest::newRow("store default") << QString("0");
    QTest::newRow("not an address") << QString("ht!tp:// bad");
    QTest::newRow("not http") << QString("ftp://127.0.0.1/a.png");
    QTest::newRow("upload answer text") << QString("error:1");
    QTest::newRow("missing") << url("/nothing-here.png");
    QTest::newRow("server error") << url("/broken.png");
    QTest::newRow("not a picture") << url("/garbage.png");
    QTest::newRow("no server") << QString("http://127.0.0.1:9/avatar.png");
}

void tst_ImageLoader::failuresLeaveThePlaceholder()
{
    QFETCH(QString, address);
    ImageLoader loader(m_cacheRoot.filePath("failures"));
    QVERIFY(loadNow(loader, address).isNull());
    ImageView view;
    QImage placeholder(8, 8, QImage::Format_RGB32);
    placeholder.fill(Qt::blue);
    loader.setImageWithURL(&view, address, placeholder);
    loadNow(loader, address);
    QCOMPARE(view.image(), placeholder);
}

void tst_ImageLoader::picturesOverTheSizeLimitAreRefused()
{
    QVERIFY(!ImageLoader::decode(png(QSize(4096, 4096), Qt::black, QImage::Format_Mono)).isNull());
    QVERIFY(ImageLoader::decode(png(QSize(4097, 1), Qt::black, QImage::Format_Mono)).isNull());
    QVERIFY(ImageLoader::decode(png(QSize(1, 4097), Qt::black, QImage::Format_Mono)).isNull());
    QVERIFY(ImageLoader::decode(hugeHeaderOnly()).isNull());

    ImageLoader loader(m_cacheRoot.filePath("limits"));
    QVERIFY(loadNow(loader, url("/wide.png")).isNull());
    QVERIFY(loadNow(loader, url("/huge.png")).isNull());
    QVERIFY(loadNow(loader, url("/padded.png")).isNull());
}

void tst_ImageLoader::laterAddressForTheSameViewWins()
{
    ImageLoader loader(m_cacheRoot.filePath("race"));
    ImageView view;
    loader.setImageWithURL(&view, url("/avatar.png"), QImage());
    loader.setImageWithURL(&view, "", QImage(3, 3, QImage::Format_RGB32));
    loadNow(loader, url("/avatar.png"));
    QCOMPARE(view.image().size(), QSize(3, 3));
}

void tst_ImageLoader::failedAddressRestsTenMinutes()
{
    const QString folder = m_cacheRoot.filePath("rest");
    ImageLoader loader(folder);
    QCOMPARE(QFileInfo(folder).permissions() & 0x0077, QFileDevice::Permissions());
    qint64 now = 0;
    loader.setNow([&now] { return now; });
    QVERIFY(loadNow(loader, url("/broken.png")).isNull());
    now += ImageLoader::RetryAfterMs - 1;
    QVERIFY(loadNow(loader, url("/broken.png")).isNull());
    QCOMPARE(loader.networkRequestCount(), 1);
    now += 1;
    QVERIFY(loadNow(loader, url("/broken.png")).isNull());
    QCOMPARE(loader.networkRequestCount(), 2);
}

QTEST_MAIN(tst_ImageLoader)
#include "tst_ImageLoader.moc"
