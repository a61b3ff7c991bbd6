// The gauges and image helpers are compared with small golden pictures under
// tests/data/golden/ (see Golden.h for the tolerance). After an intended change of a
// picture, regenerate them with LVXING_UPDATE_GOLDEN=1 ./tst_Gauges and look at the PNGs
// before committing them.
#include "views/ArcAngles.h"
#include "views/CSExtensions.h"
#include "views/DiTanCustomView.h"
#include "views/FKCustomView.h"
#include "views/Golden.h"
#include "views/HalfDialView.h"
#include "views/LightCustomView.h"
#include "views/MaxSpeedCustomView.h"
#include "views/PowerCustomView.h"
#include "views/PowerYuanHuanCustomView.h"
#include "views/RotateLvCustomView.h"
#include "views/ViewControllerProcess.h"
#include "views/WeiLanCustomView.h"
#include "views/YuanHuanCustomView.h"

#include <QPainter>
#include <functional>
#include <numbers>

using Picture = std::function<QImage()>;
Q_DECLARE_METATYPE(Picture)

class tst_Gauges : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void arithmetic_data();
    void arithmetic();
    void widgetPaintsWhatToImageDraws();
};

namespace {

constexpr double pi = std::numbers::pi;
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();

template <typename View, typename Setter> Picture gauge(Setter set, float process, QSize size)
{
    return [=] {
        View view;
        (view.*set)(process);
        return view.toImage(size);
    };
}

// Four upright bands (red, green, blue, yellow) or four quadrants.
QImage bands(int width = 100, int height = 50, bool quadrants = false)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const QColor colours[] = {{220, 30, 30}, {30, 200, 60}, {30, 60, 220}, {240, 220, 20}};
    for (int i = 0; i < 4; ++i)
        if (quadrants)
            painter.fillRect(i % 2 * width / 2, i / 2 * height / 2, width / 2, height / 2,
                             colours[i]);
        else
            painter.fillRect(i * width / 4, 0, width / 4, height, colours[i]);
    return image;
}

} // namespace

void tst_Gauges::pictures_data()
{
    QTest::addColumn<Picture>("picture");
    const auto row = [](const char* name, Picture picture) { QTest::newRow(name) << picture; };
    const QSize ring(121, 121), halfRing(140, 70), bar(20, 100), battery(90, 160), dial(216, 120),
        orbit(160, 100);
    const auto week = &YuanHuanCustomView::setYuanHuanProcess;
    row("week-ring-0", gauge<YuanHuanCustomView>(week, 0, ring));
    row("week-ring-0.5", gauge<YuanHuanCustomView>(week, 0.5f, ring));
    row("week-ring-1", gauge<YuanHuanCustomView>(week, 1, ring));
    row("week-ring-1.5", gauge<YuanHuanCustomView>(week, 1.5f, ring));
    row("week-ring-minus", gauge<YuanHuanCustomView>(week, -0.25f, ring));
    row("week-ring-nan", gauge<YuanHuanCustomView>(week, notANumber, ring));
    row("week-ring-wide", gauge<YuanHuanCustomView>(week, 0.5f, QSize(160, 80)));
    row("progress-ring", [] { return FKCustomView().toImage(QSize(40, 40)); });
    row("progress-screen", [] {
        ViewControllerProcess screen;
        screen.resize(320, 100);
        screen.loadViewIfNeeded();
        return screen.grab().toImage();
    });
    const auto arc = &PowerYuanHuanCustomView::setYuanHuanProcess;
    row("battery-arc-0", gauge<PowerYuanHuanCustomView>(arc, 0, halfRing));
    row("battery-arc-0.75", gauge<PowerYuanHuanCustomView>(arc, 0.75f, halfRing));
    row("battery-arc-1", gauge<PowerYuanHuanCustomView>(arc, 1, halfRing));
    const auto day = &DiTanCustomView::setDiTanProcess;
    row("day-bar-0", gauge<DiTanCustomView>(day, 0, bar));
    row("day-bar-0.1", gauge<DiTanCustomView>(day, 0.1f, bar));
    row("day-bar-0.5", gauge<DiTanCustomView>(day, 0.5f, bar));
    row("day-bar-1", gauge<DiTanCustomView>(day, 1, bar));
    const auto power = &PowerCustomView::setPowerProcess;
    row("battery-0", gauge<PowerCustomView>(power, 0, battery));
    row("battery-0.25", gauge<PowerCustomView>(power, 0.25f, battery));
    row("battery-0.26", gauge<PowerCustomView>(power, 0.26f, battery));
    row("battery-1", gauge<PowerCustomView>(power, 1, battery));
    row("battery-nan", gauge<PowerCustomView>(power, notANumber, battery));
    const auto value = &HalfDialView::setYuanHuanProcess;
    row("max-speed-0", gauge<MaxSpeedCustomView>(value, 0, dial));
    row("max-speed-1of12", gauge<MaxSpeedCustomView>(value, 1.0f / 12, dial));
    row("max-speed-1", gauge<MaxSpeedCustomView>(value, 1, dial));
    row("light-15of180", gauge<LightCustomView>(value, 15.0f / 180, dial));
    row("light-165of180", gauge<LightCustomView>(value, 165.0f / 180, dial));
    row("light-1", gauge<LightCustomView>(value, 1, dial));
    row("geofence-0", gauge<WeiLanCustomView>(value, 0, dial));
    row("geofence-0.5", gauge<WeiLanCustomView>(value, 0.5f, dial));
    row("geofence-140of180", gauge<WeiLanCustomView>(value, 140.0f / 180, dial));
    row("geofence-1", gauge<WeiLanCustomView>(value, 1, dial));
    const auto along = &RotateLvCustomView::setMyProcess;
    row("logo-orbit-0", gauge<RotateLvCustomView>(along, 0, orbit));
    row("logo-orbit-0.3", gauge<RotateLvCustomView>(along, 0.3f, orbit));
    row("logo-orbit-1", gauge<RotateLvCustomView>(along, 1, orbit));
    // The logo scaled for one width must not stay cached for another.
    row("logo-orbit-resized", [=] {
        RotateLvCustomView view;
        view.setLogo(bands(60, 60, true));
        view.setMyProcess(0.5f);
        view.toImage(orbit);
        return view.toImage(orbit * 2);
    });
    row("logo-turned-0", [] { return RotateLvCustomView::rotate(bands(40, 40, true), 0); });
    row("logo-turned-quarter",
        [] { return RotateLvCustomView::rotate(bands(40, 40, true), float(pi / 2)); });
    row("logo-turned-wide", [] { return RotateLvCustomView::rotate(bands(40, 20, true), 0); });
    row("image-cover", [] {
        return CSExtensions::imageByScalingProportionallyToMinimumSize(bands(), {50, 50});
    });
    row("image-fit", [] {
        return CSExtensions::imageByScalingProportionallyToSize(bands(), {50, 50});
    });
    row("image-stretch", [] { return CSExtensions::imageByScalingToSize(bands(), {50, 50}); });
    row("image-turn-90", [] { return CSExtensions::imageRotatedByDegrees(bands(), 90); });
    row("image-turn-minus-90",
        [] { return CSExtensions::imageRotatedByRadians(bands(), -pi / 2); });
    row("image-turn-45", [] { return CSExtensions::imageRotatedByDegrees(bands(), 45); });
    row("image-cut", [] { return CSExtensions::imageAtRect(bands(), {20.5, 10, 10, 5}); });
    row("image-cut-double-density", [] {
        QImage image = bands(200, 100);
        image.setDevicePixelRatio(2);
        return CSExtensions::imageAtRect(image, {45, 0, 10, 10});
    });
}

void tst_Gauges::pictures()
{
    QFETCH(Picture, picture);
    QCOMPARE_GOLDEN(QTest::currentDataTag(), picture());
}

void tst_Gauges::arithmetic_data()
{
    QTest::addColumn<QVariant>("actual");
    QTest::addColumn<QVariant>("expected");
    const auto row = [](const char* name, QVariant actual, QVariant expected) {
        QTest::newRow(name) << actual << expected;
    };
    using ArcAngles::sweep;
    row("sweep over the top", sweep(pi, 2 * pi), pi);
    row("sweep of equal ends", sweep(2 * pi, 2 * pi), 0.0);
    row("sweep wraps an end before the start", sweep(2.5 * pi, 2 * pi), 1.5 * pi);
    row("sweep of a full turn", sweep(0, 2 * pi), 2 * pi);
    row("sweep of more than a turn", sweep(1, 1 + 3 * pi), 2 * pi);
    row("no arc between equal ends", ArcAngles::path({}, 10, 2 * pi, 2 * pi).isEmpty(), true);
    row("down on screen is -90 degrees", ArcAngles::toQtDegrees(pi / 2), -90.0);
    row("percent 0.25", PowerCustomView::shownPercent(0.25f), 25);
    row("percent truncates", PowerCustomView::shownPercent(0.987f), 98);
    row("percent 0.99 reads 100", PowerCustomView::shownPercent(0.99f), 100);
    row("percent below zero", PowerCustomView::shownPercent(-0.015f), -1);
    row("percent of huge", PowerCustomView::shownPercent(3e8f), 100);
    row("percent of hugely negative", PowerCustomView::shownPercent(-3e8f), -1000000000);
    row("percent of nan", PowerCustomView::shownPercent(notANumber), 0);
    row("distance label 0.69", DiTanCustomView::labelText(0.69f), "2.1");
    row("distance label over", DiTanCustomView::labelText(1.5f), "4.5");
    // The dials place knob, labels and logo in single precision, like the app always has.
    const QSizeF dial(288, 160), orbit(320, 200);
    const QPointF knob = HalfDialView::geometry(dial, 0.3f).knobCentre;
    row("knob x at 0.3", knob.x(), 94.86116027832031);
    row("knob y at 0.3", knob.y(), 92.36617279052734);
    row("geofence 1K label x", WeiLanCustomView::scaleLabels(dial)[3].topLeft.x(),
        155.67886352539062);
    row("children label y", MaxSpeedCustomView::zoneLabelCentre(dial).y(), 133.77268981933594);
    const RotateLvCustomView::Placement logo = RotateLvCustomView::placement(orbit, 0.3f);
    row("logo x at 0.3", logo.centre.x(), 74.77114868164062);
    row("logo y at 0.3", logo.centre.y(), 82.6925277709961);
    row("logo turn at 0.3", logo.turn, 2.5132741928100586);
    using CSExtensions::proportionalRect;
    row("cover wide", proportionalRect({100, 50}, {50, 50}, true), QRectF(-25, 0, 100, 50));
    row("fit wide", proportionalRect({100, 50}, {50, 50}, false), QRectF(0, 12.5, 50, 25));
    row("cover tall", proportionalRect({50, 100}, {50, 50}, true), QRectF(0, -25, 50, 100));
    row("fit tall", proportionalRect({50, 100}, {50, 50}, false), QRectF(12.5, 0, 25, 50));
    row("cut beside the image", CSExtensions::imageAtRect(bands(), {100, 0, 10, 10}).isNull(),
        true);
    row("cut above the image", CSExtensions::imageAtRect(bands(), {-20, -20, 10, 10}).isNull(),
        true);
    row("cover of nothing", CSExtensions::imageByScalingToSize(bands(), {0, 5}).isNull(), true);
    row("stretch to infinity", CSExtensions::imageByScalingToSize(bands(), {qInf(), 5}).isNull(),
        true);
}

void tst_Gauges::arithmetic()
{
    QFETCH(QVariant, actual);
    QFETCH(QVariant, expected);
    if (expected.typeId() == QMetaType::Double)
        QVERIFY2(qAbs(actual.toDouble() - expected.toDouble()) < 1e-9,
                 qPrintable(QString::number(actual.toDouble(), 'g', 17)));
    else
        QCOMPARE(actual, expected);
}

void tst_Gauges::widgetPaintsWhatToImageDraws()
{
    PowerCustomView view;
    view.resize(80, 160);
    view.setPowerProcess(0.6f);
    QImage grabbed(view.size(), QImage::Format_ARGB32_Premultiplied);
    grabbed.fill(Qt::transparent);
    view.render(&grabbed, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(grabbed, view.toImage(QSize(80, 160)));
}

QTEST_MAIN(tst_Gauges)
#include "tst_Gauges.moc"
