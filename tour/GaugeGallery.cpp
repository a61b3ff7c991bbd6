#include "tour/GaugeGallery.h"
#include "views/DiTanCustomView.h"
#include "views/FKCustomView.h"
#include "views/LightCustomView.h"
#include "views/MaxSpeedCustomView.h"
#include "views/PowerCustomView.h"
#include "views/PowerYuanHuanCustomView.h"
#include "views/RotateLvCustomView.h"
#include "views/WeiLanCustomView.h"
#include "views/YuanHuanCustomView.h"

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <functional>
#include <memory>

namespace GaugeGallery {

namespace {

constexpr qreal scale = 2;
constexpr int margin = 16;

struct Value
{
    QString label;
    float process;
};

struct Entry
{
    QString name;
    QSize size;
    QList<Value> values;
    // Draws the gauge (or gauges) at one value into a painter at the card's inner corner.
    std::function<void(QPainter&, float)> paint;
};

const QList<Value> quarters = {{"0", 0}, {"0.25", 0.25f}, {"0.5", 0.5f}, {"1", 1}};

QList<Value> withEdges(const QList<Value>& edges)
{
    QList<Value> values = quarters + edges;
    std::sort(values.begin(), values.end(),
              [](const Value& a, const Value& b) { return a.process < b.process; });
    return values;
}

template <typename View>
std::function<void(QPainter&, float)> painter(const char* property, QSize size)
{
    return [property, size](QPainter& target, float process) {
        View view;
        if (property)
            view.setProperty(property, process);
        view.paintTo(target, size);
    };
}

// The battery page lays the logo over its half ring and drives both with one value.
std::function<void(QPainter&, float)> batteryArcWithLogo(QSize size)
{
    return [size](QPainter& target, float process) {
        PowerYuanHuanCustomView arc;
        RotateLvCustomView logo;
        arc.setYuanHuanProcess(process);
        logo.setMyProcess(process);
        arc.paintTo(target, size);
        logo.paintTo(target, size);
    };
}

QList<Entry> entries()
{
    const QSize ring(241, 241), bar(32, 150), halfRing(280, 140), dial(288, 160), battery(110, 180),
        orbit(320, 170);
    const QList<Value> dialEdges = {{"15of180", 15.0f / 180}, {"165of180", 165.0f / 180}};
    QList<Value> scaleMarks = dialEdges;
    scaleMarks += {{"40of180", 40.0f / 180},
                   {"60of180", 60.0f / 180},
                   {"100of180", 100.0f / 180},
                   {"140of180", 140.0f / 180}};
    return {
        {"YuanHuanCustomView", ring, quarters,
         painter<YuanHuanCustomView>("YuanHuanProcess", ring)},
        {"DiTanCustomView", bar, withEdges({{"0.1", 0.1f}}),
         painter<DiTanCustomView>("DiTanProcess", bar)},
        {"PowerYuanHuanCustomView", halfRing, quarters,
         painter<PowerYuanHuanCustomView>("YuanHuanProcess", halfRing)},
        {"FKCustomView",
         QSize(40, 40),
         {{"ring", 0}},
         painter<FKCustomView>(nullptr, QSize(40, 40))},
        {"PowerCustomView", battery, withEdges({{"0.26", 0.26f}, {"0.98", 0.98f}, {"0.99", 0.99f}}),
         painter<PowerCustomView>("PowerProcess", battery)},
        {"MaxSpeedCustomView", dial, withEdges({{"1of12", 1.0f / 12}, {"1of6", 1.0f / 6}}),
         painter<MaxSpeedCustomView>("YuanHuanProcess", dial)},
        {"LightCustomView", dial, withEdges(dialEdges),
         painter<LightCustomView>("YuanHuanProcess", dial)},
        {"WeiLanCustomView", dial, withEdges(scaleMarks),
         painter<WeiLanCustomView>("YuanHuanProcess", dial)},
        {"RotateLvCustomView", orbit, quarters, painter<RotateLvCustomView>("MyProcess", orbit)},
        {"BatteryArcWithLogo", halfRing, withEdges({{"0.1", 0.1f}, {"0.75", 0.75f}}),
         batteryArcWithLogo(halfRing)},
    };
}

QImage card(const Entry& entry, float process)
{
    const QSize outer = entry.size + QSize(2 * margin, 2 * margin);
    QImage image(outer * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(margin, margin);
    entry.paint(painter, process);
    return image;
}

} // namespace

QStringList writeAll(const QString& dir)
{
    QStringList written;
    if (!QDir().mkpath(dir))
        return written;
    for (const Entry& entry : entries()) {
        for (const Value& value : entry.values) {
            const QString path =
                QDir(dir).filePath(QStringLiteral("%1-%2.png").arg(entry.name, value.label));
            if (card(entry, value.process).save(path, "PNG"))
                written.append(path);
        }
    }
    return written;
}

} // namespace GaugeGallery
