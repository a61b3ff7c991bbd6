#include "tour/GaugeGallery.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

// The gallery of gauge pictures that the headless run leaves for people.
class tst_GaugeGallery : public QObject
{
    Q_OBJECT

private slots:
    void writesEveryGaugeAtItsValues();
    void picturesShowTheGaugeOnAWhiteCard();
    void unwritableFolderWritesNothing();
};

void tst_GaugeGallery::writesEveryGaugeAtItsValues()
{
    QTemporaryDir dir;
    const QStringList written = GaugeGallery::writeAll(dir.filePath("screens"));
    QStringList names;
    for (const QString& path : written) {
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        names.append(QFileInfo(path).fileName());
    }
    for (const char* view :
         {"YuanHuanCustomView", "DiTanCustomView", "PowerYuanHuanCustomView", "PowerCustomView",
          "MaxSpeedCustomView", "LightCustomView", "WeiLanCustomView", "RotateLvCustomView"})
        for (const char* value : {"0", "1"})
            QVERIFY2(names.contains(QStringLiteral("%1-%2.png").arg(view, value)), view);
    QCOMPARE(names.removeDuplicates(), 0);
}

void tst_GaugeGallery::picturesShowTheGaugeOnAWhiteCard()
{
    QTemporaryDir dir;
    GaugeGallery::writeAll(dir.path());
    // 241 × 241 with a margin of 16 around it, at two pixels per point.
    const QImage empty(dir.filePath("YuanHuanCustomView-0.png"));
    QCOMPARE(empty.size(), QSize(546, 546));
    QCOMPARE(empty.pixelColor(1, 1), QColor(Qt::white));
    const auto teal = [](const QImage& picture) {
        const QImage image = picture.convertToFormat(QImage::Format_RGB32);
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        return std::count(pixels, pixels + image.width() * image.height(), qRgb(19, 146, 134));
    };
    QCOMPARE(teal(empty), 0);
    QVERIFY(teal(QImage(dir.filePath("YuanHuanCustomView-0.5.png"))) > 5000);
}

void tst_GaugeGallery::unwritableFolderWritesNothing()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(GaugeGallery::writeAll(dir.filePath("file/screens")).isEmpty());
    // A picture that cannot be saved is not reported as written.
    QVERIFY(QDir(dir.path()).mkdir("YuanHuanCustomView-0.png"));
    QVERIFY(!GaugeGallery::writeAll(dir.path()).contains(dir.filePath("YuanHuanCustomView-0.png")));
}

QTEST_MAIN(tst_GaugeGallery)
#include "tst_GaugeGallery.moc"
