#include "views/DiTanCustomView.h"
#include "views/LightCustomView.h"
#include "views/MaxSpeedCustomView.h"
#include "views/PowerCustomView.h"
#include "views/PowerYuanHuanCustomView.h"
#include "views/RotateLvCustomView.h"
#include "views/WeiLanCustomView.h"
#include "views/YuanHuanCustomView.h"

#include <QPainter>
#include <QtTest>
#include <functional>
#include <memory>

// What every gauge shares: one float property that starts at 0, is stored
// unclamped, and asks for a redraw; a transparent background.
class tst_GaugeView : public QObject
{
    Q_OBJECT

private slots:
    void propertyStartsAtZeroAndIsStoredUnclamped_data();
    void propertyStartsAtZeroAndIsStoredUnclamped();
    void setterRepaintsTheWidget();
    void widgetPaintsWhatToImageDraws();
};

namespace {

using Maker = std::function<GaugeView*()>;

template <typename View> Maker maker()
{
    return [] { return new View; };
}

// Counts the paint events a shown gauge receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(Maker)

void tst_GaugeView::propertyStartsAtZeroAndIsStoredUnclamped_data()
{
    QTest::addColumn<Maker>("make");
    QTest::addColumn<QByteArray>("property");
    QTest::newRow("YuanHuanCustomView")
        << maker<YuanHuanCustomView>() << QByteArray("YuanHuanProcess");
    QTest::newRow("PowerYuanHuanCustomView")
        << maker<PowerYuanHuanCustomView>() << QByteArray("YuanHuanProcess");
    QTest::newRow("DiTanCustomView") << maker<DiTanCustomView>() << QByteArray("DiTanProcess");
    QTest::newRow("PowerCustomView") << maker<PowerCustomView>() << QByteArray("PowerProcess");
    QTest::newRow("MaxSpeedCustomView")
        << maker<MaxSpeedCustomView>() << QByteArray("YuanHuanProcess");
    QTest::newRow("LightCustomView") << maker<LightCustomView>() << QByteArray("YuanHuanProcess");
    QTest::newRow("WeiLanCustomView") << maker<WeiLanCustomView>() << QByteArray("YuanHuanProcess");
    QTest::newRow("RotateLvCustomView") << maker<RotateLvCustomView>() << QByteArray("MyProcess");
}

void tst_GaugeView::propertyStartsAtZeroAndIsStoredUnclamped()
{
    QFETCH(Maker, make);
    QFETCH(QByteArray, property);
    std::unique_ptr<GaugeView> view(make());
    QCOMPARE(view->property(property).toFloat(), 0.0f);
    for (float value : {0.37f, 1.75f, -0.5f}) {
        QVERIFY(view->setProperty(property, value));
        QCOMPARE(view->property(property).toFloat(), value);
    }
    QVERIFY(view->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!view->autoFillBackground());
}

void tst_GaugeView::setterRepaintsTheWidget()
{
    DiTanCustomView view;
    view.resize(20, 100);
    PaintCounter counter;
    view.installEventFilter(&counter);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(counter.paints > 0);

    counter.paints = 0;
    view.setDiTanProcess(0.5f);
    QTRY_VERIFY(counter.paints > 0);
}

void tst_GaugeView::widgetPaintsWhatToImageDraws()
{
    PowerCustomView view;
    view.resize(80, 160);
    view.setPowerProcess(0.6f);
    QImage grabbed(view.size(), QImage::Format_ARGB32_Premultiplied);
    grabbed.fill(Qt::transparent);
    view.render(&grabbed, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(grabbed, view.toImage(QSize(80, 160)));
}

QTEST_MAIN(tst_GaugeView)
#include "tst_GaugeView.moc"
