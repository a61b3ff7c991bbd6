#include "tour/GaugeGallery.h"
#include "views/PixelProbe.h"

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
        for (const char* value : {"0", "0.25", "0.5", "1"})
            QVERIFY2(names.contains(QStringLiteral("%1-%2.png").arg(view, value)),
                     qPrintable(QStringLiteral("%1 at %2").arg(view, value)));
    for (const char* edge :
         {"DiTanCustomView-0.1.png", "PowerCustomView-0.26.png", "PowerCustomView-0.99.png",
          "LightCustomView-15of180.png", "LightCustomView-165of180.png",
          "MaxSpeedCustomView-1of12.png", "WeiLanCustomView-140of180.png", "FKCustomView-ring.png"})
        QVERIFY2(names.contains(edge), edge);
    QCOMPARE(names.removeDuplicates(), 0);
}

void tst_GaugeGallery::picturesShowTheGaugeOnAWhiteCard()
{
    QTemporaryDir dir;
    GaugeGallery::writeAll(dir.path());
    // 241 × 241 with a margin of 16 around it, at two pixels per point.
    const QImage empty(dir.filePath("YuanHuanCustomView-0.png"));
    const QImage half(dir.filePath("YuanHuanCustomView-0.5.png"));
    QCOMPARE(empty.size(), QSize(546, 546));
    QVERIFY(PixelProbe::is(empty, 1, 1, Qt::white));
    const auto teal = PixelProbe::near(QColor(19, 146, 134));
    QCOMPARE(PixelProbe::countOf(empty, empty.rect(), teal), 0);
    QVERIFY(PixelProbe::countOf(half, half.rect(), teal) > 5000);
}

void tst_GaugeGallery::unwritableFolderWritesNothing()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(GaugeGallery::writeAll(dir.filePath("file/screens")).isEmpty());
}

QTEST_MAIN(tst_GaugeGallery)
#include "tst_GaugeGallery.moc"
