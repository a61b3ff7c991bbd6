#include "platform/Log.h"
#include "platform/map/MapPointAnnotation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "views/CustomAnnotationViewImage.h"
#include "views/CustomCalloutView.h"

#include <QPainter>
#include <QtTest>

namespace {

MapAnnotationPtr trackMark(const QString& title)
{
    return std::make_shared<MapPointAnnotation>(MapCoordinate{30, 120}, title,
                                                "CustomAnnotationViewImage");
}

} // namespace

class tst_CustomAnnotationViewImage : public QObject
{
    Q_OBJECT

private slots:
    void showsTheImageOfItsTitle();
    void unknownImageGivesAnEmptyView();
    void portraitChangesTheImage();
    void selectionLogsOnlyChanges();
    void calloutBubble();
};

void tst_CustomAnnotationViewImage::showsTheImageOfItsTitle()
{
    Log::Capture log;
    CustomAnnotationViewImage start(trackMark("start.png"), "id");
    QVERIFY(log.contains("beijingpicname:start.png"));
    const QSize size = Images::sizeOf("start.png");
    QVERIFY(!size.isEmpty());
    QCOMPARE(start.size(), size);
    QCOMPARE(start.portraitImageView()->geometry(), QRect(QPoint(0, 0), size));
    QCOMPARE(start.portrait(), Images::named("start.png"));
    QCOMPARE(start.reuseIdentifier(), QString("id"));
}

void tst_CustomAnnotationViewImage::unknownImageGivesAnEmptyView()
{
    CustomAnnotationViewImage none(trackMark("no-such-image.png"), "id");
    QCOMPARE(none.size(), QSize(0, 0));
    QVERIFY(none.portrait().isNull());
}

void tst_CustomAnnotationViewImage::portraitChangesTheImage()
{
    CustomAnnotationViewImage stop(trackMark("stop.png"), "id");
    const QSize size = stop.size();
    stop.setPortrait(Images::named("stopclose.png"));
    QCOMPARE(stop.portrait(), Images::named("stopclose.png"));
    QCOMPARE(stop.size(), size);
}

void tst_CustomAnnotationViewImage::selectionLogsOnlyChanges()
{
    CustomAnnotationViewImage mark(trackMark("mapblackpoint.png"), "id");
    Log::Capture log;
    mark.setSelected(true);
    mark.setSelected(true);
    mark.setSelected(false, true);
    mark.setSelected(false);
    QCOMPARE(log.lines(), (QStringList{"选中", "释放"}));
}

void tst_CustomAnnotationViewImage::calloutBubble()
{
    const QRectF bounds(0, 0, 100, 60);
    const QPainterPath bubble = CustomCalloutView::bubblePath(bounds);
    // The arrow's tip is on the bottom edge, the body ends 10 above it.
    QVERIFY(bubble.contains(QPointF(50, 58)));
    QVERIFY(!bubble.contains(QPointF(40, 58)));
    QVERIFY(bubble.contains(QPointF(5, 45)));
    // Rounded corners: the very corner is outside, a point 6 in is inside.
    QVERIFY(!bubble.contains(QPointF(0.5, 0.5)));
    QVERIFY(bubble.contains(QPointF(6, 6)));
    QVERIFY(!bubble.contains(QPointF(99.5, 49.5)));
    QCOMPARE(bubble.boundingRect(), bounds);

    // Drawn inside a parent, as it is over a map.
    QWidget parent;
    parent.resize(100, 60);
    new CustomCalloutView(QRectF(0, 0, 100, 60), &parent);
    QImage image(100, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    parent.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    // A grey body at 0.8 alpha over its own black shadow.
    const QColor body = image.pixelColor(50, 25);
    QVERIFY2(body.alpha() >= 204, qPrintable(body.name(QColor::HexArgb)));
    QVERIFY(body.red() == body.green() && body.green() == body.blue());
    QVERIFY2(body.red() >= 55 && body.red() <= 80, qPrintable(body.name(QColor::HexArgb)));
    // Beside the arrow only the fading shadow shows.
    QVERIFY(image.pixelColor(2, 58).alpha() < body.alpha() / 2);
}

QTEST_MAIN(tst_CustomAnnotationViewImage)
#include "tst_CustomAnnotationViewImage.moc"
