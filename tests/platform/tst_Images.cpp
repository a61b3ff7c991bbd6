#include "platform/ui/Images.h"

#include <QTest>

class tst_Images : public QObject
{
    Q_OBJECT

private slots:
    void everyNameTheScreensUseExists_data();
    void everyNameTheScreensUseExists();
    void unknownNamesGiveNoImage();
    void riderMarkBackgroundsDifferByBandAndOwner();
    void tickBoxesShowTheirState();
};

void tst_Images::everyNameTheScreensUseExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    const QList<QPair<const char*, QSize>> names = {
        {"login1.png", {48, 48}},          {"login2.png", {48, 48}},
        {"touxiangsmall.png", {120, 120}}, {"touxiang1.png", {120, 120}},
        {"logo_id.png", {40, 40}},         {"lvlogo2.png", {64, 64}},
        {"leftarrow.png", {60, 60}},       {"weixinbutton.png", {113, 113}},
        {"childern.png", {96, 96}},        {"childernp.png", {96, 96}},
        {"start.png", {36, 48}},           {"stop.png", {36, 48}},
        {"stopopen.png", {36, 48}},        {"stopclose.png", {36, 48}},
        {"mapblackpoint.png", {14, 14}},   {"biggreenbg1.png", {60, 80}},
        {"biggreenbg2.png", {60, 80}},     {"biggreenbg3.png", {60, 80}},
        {"biggreenbg4.png", {60, 80}},     {"blackmarkbg1.png", {60, 80}},
        {"blackmarkbg2.png", {60, 80}},    {"blackmarkbg3.png", {60, 80}},
        {"blackmarkbg4.png", {60, 80}},    {"welcome.png", {720, 1280}},
        {"appicon.png", {256, 256}},       {"tabset.png", {72, 72}},
        {"tabpos.png", {72, 72}},          {"tabmine.png", {72, 72}},
        {"rightarrow.png", {60, 60}},
    };
    for (const auto& [name, size] : names)
        QTest::newRow(name) << QString(name) << size;
}

void tst_Images::everyNameTheScreensUseExists()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage image = Images::named(name);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    QCOMPARE(Images::sizeOf(name), size);
    QVERIFY(Images::names().contains(name));
    // Something covers a good part of the picture.
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            drawn += image.pixelColor(x, y).alpha() > 0 ? 1 : 0;
    }
    QVERIFY2(drawn > image.width() * image.height() / 10, qPrintable(QString::number(drawn)));
}

void tst_Images::unknownNamesGiveNoImage()
{
    QVERIFY(Images::named("nosuch.png").isNull());
    QCOMPARE(Images::sizeOf("nosuch.png"), QSize(0, 0));
    QVERIFY(Images::named("").isNull());
    QVERIFY(Images::named("../images/login1.png").isNull());
}

void tst_Images::riderMarkBackgroundsDifferByBandAndOwner()
{
    // The pin's rim, left of the avatar circle, carries the band's colour.
    QList<QRgb> rims;
    for (const char* prefix : {"biggreenbg", "blackmarkbg"}) {
        for (int band = 1; band <= 4; ++band) {
            const QImage mark = Images::named(QString("%1%2.png").arg(prefix).arg(band));
            const QColor rim = mark.pixelColor(2, 30);
            QVERIFY(rim.alpha() == 255);
            rims << rim.rgb();
            if (QString(prefix) == "biggreenbg")
                QVERIFY(rim.green() > rim.red() && rim.green() > rim.blue());
            else
                QVERIFY(qAbs(rim.red() - rim.green()) < 20 && rim.lightness() < 120);
            // The avatar goes in a light circle at (30, 30).
            QVERIFY(mark.pixelColor(30, 30).lightness() > 200);
            QCOMPARE(mark.pixelColor(1, 78).alpha(), 0);
        }
    }
    for (int i = 0; i < rims.size(); ++i)
        QCOMPARE(rims.count(rims[i]), 1);
}

void tst_Images::tickBoxesShowTheirState()
{
    const QImage off = Images::named("login1.png");
    const QImage on = Images::named("login2.png");
    QCOMPARE(off.pixelColor(24, 9), QColor(Qt::white));
    QCOMPARE(off.pixelColor(5, 24), off.pixelColor(24, 5));
    QVERIFY(off.pixelColor(5, 24).lightness() < 200);
    QCOMPARE(on.pixelColor(24, 9), QColor(19, 146, 134));
    QCOMPARE(on.pixelColor(21, 33), QColor(Qt::white));
}

QTEST_MAIN(tst_Images)
#include "tst_Images.moc"
