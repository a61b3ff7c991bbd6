// One animation frame of the battery page (cylinder, half ring, logo) and of
// the mileage page (week ring, seven day bars) on a 360 x 640 page, drawn by
// the gauge views and, for comparison, by the same primitives in bare QPainter
// calls with everything precomputed.
#include "BenchReport.h"
#include "platform/Log.h"
#include "views/DiTanCustomView.h"
#include "views/PowerCustomView.h"
#include "views/PowerYuanHuanCustomView.h"
#include "views/RotateLvCustomView.h"
#include "views/YuanHuanCustomView.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

const QSize pageSize(360, 640);
const QRect halfRingFrame(40, 140, 280, 140);
const QRect cylinderFrame(130, 330, 100, 170);
const QRect ringFrame(80, 60, 200, 200);
QRect barFrame(int day)
{
    return QRect(30 + day * 45, 420, 20, 100);
}

// The value of frame `n`: the pages step by 0.01 a tick.
float valueOf(int frame, float offset = 0)
{
    return std::fmod(frame * 0.01f + offset, 1.0f);
}

void paintAt(QPainter& painter, const GaugeView& view, const QRect& frame)
{
    painter.save();
    painter.translate(frame.topLeft());
    view.paintTo(painter, frame.size());
    painter.restore();
}

// The page as the app builds it: gauges as child widgets of one page widget.
struct BatteryPage
{
    QWidget page;
    PowerCustomView* cylinder = new PowerCustomView(&page);
    PowerYuanHuanCustomView* halfRing = new PowerYuanHuanCustomView(&page);
    RotateLvCustomView* logo = new RotateLvCustomView(&page);

    BatteryPage()
    {
        page.resize(pageSize);
        cylinder->setGeometry(cylinderFrame);
        halfRing->setGeometry(halfRingFrame);
        logo->setGeometry(halfRingFrame);
    }
    void step(int frame)
    {
        const float ratio = valueOf(frame);
        cylinder->setPowerProcess(ratio);
        halfRing->setYuanHuanProcess(1 - ratio);
        logo->setMyProcess(1 - ratio);
    }
    void paint(QPainter& painter) const
    {
        paintAt(painter, *cylinder, cylinderFrame);
        paintAt(painter, *halfRing, halfRingFrame);
        paintAt(painter, *logo, halfRingFrame);
    }
};

struct MileagePage
{
    QWidget page;
    YuanHuanCustomView* ring = new YuanHuanCustomView(&page);
    QList<DiTanCustomView*> bars;

    MileagePage()
    {
        page.resize(pageSize);
        ring->setGeometry(ringFrame);
        for (int day = 0; day < 7; ++day) {
            bars.append(new DiTanCustomView(&page));
            bars.last()->setGeometry(barFrame(day));
        }
    }
    void step(int frame)
    {
        ring->setYuanHuanProcess(valueOf(frame));
        for (int day = 0; day < 7; ++day)
            bars[day]->setDiTanProcess(valueOf(frame, day * 0.13f));
    }
    void paint(QPainter& painter) const
    {
        paintAt(painter, *ring, ringFrame);
        for (int day = 0; day < 7; ++day)
            paintAt(painter, *bars[day], barFrame(day));
    }
};

// Bare QPainter: fonts, pens and the scaled logo made once, arcs in 1/16 degree.
struct BarePainter
{
    QFont small = bold(15);
    QFont number = bold(28);
    QFont sign = bold(18);
    QFontMetricsF smallMetrics{small};
    QFontMetricsF numberMetrics{number};
    QFontMetricsF signMetrics{sign};
    QImage logo = RotateLvCustomView::loadLogo()
                      .scaled(30, 30, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .mirrored(false, true);

    static QFont bold(int size)
    {
        QFont font;
        font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
        font.setPixelSize(size);
        font.setBold(true);
        font.setHintingPreference(QFont::PreferNoHinting);
        return font;
    }

    void text(QPainter& painter, const QFont& font, const QFontMetricsF& metrics, QPointF centre,
              const QString& text) const
    {
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(centre.x() - metrics.horizontalAdvance(text) / 2,
                                 centre.y() - metrics.height() / 2 + metrics.ascent()),
                         text);
    }

    void battery(QPainter& painter, int frame) const
    {
        const float ratio = valueOf(frame);
        const QRectF c = cylinderFrame;
        const double cap = c.height() / 4;
        const double fill = (c.height() - cap) * ratio;
        painter.setPen(Qt::NoPen);
        painter.setBrush(ratio > 0.25f ? QColor(23, 156, 129) : QColor(194, 33, 46));
        painter.drawEllipse(QRectF(c.left(), c.bottom() - cap, c.width(), cap));
        painter.drawEllipse(QRectF(c.left(), c.bottom() - cap - fill, c.width(), cap));
        painter.drawRect(QRectF(c.left(), c.bottom() - cap / 2 - fill, c.width(), fill));
        const QPointF middle(c.center().x(), c.bottom() - cap / 2 - fill / 2);
        text(painter, number, numberMetrics, middle, QString::number(int(ratio * 100)));
        text(painter, sign, signMetrics, middle + QPointF(30, 6), QStringLiteral("%"));

        const QRectF h = halfRingFrame;
        const double line = h.width() * 9 / 280;
        const double radius = h.width() / 2 - line / 2;
        const QPointF centre(h.center().x(), h.bottom());
        painter.setPen(QPen(QColor(19, 146, 134), line, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        painter.drawArc(box, 0, int(ratio * 180 * 16));

        const double degrees = (1 - ratio) * 180;
        const double orbit = h.width() / 2 - 15;
        painter.save();
        painter.translate(centre.x() - orbit * std::cos(qDegreesToRadians(degrees)),
                          centre.y() - orbit * std::sin(qDegreesToRadians(degrees)));
        painter.rotate(degrees + 90);
        painter.drawImage(QPointF(-15, -15), logo);
        painter.restore();
    }

    void mileage(QPainter& painter, int frame) const
    {
        const QRectF r = ringFrame;
        const double line = r.width() * 25 / 241;
        const double radius = r.width() / 2 - line / 2;
        const QRectF box(r.center().x() - radius, r.center().y() - radius, 2 * radius, 2 * radius);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(151, 151, 153), line, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(box, -130 * 16, -280 * 16);
        painter.setPen(QPen(QColor(19, 146, 134), line, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(box, -130 * 16, int(-280 * 16 * valueOf(frame)));

        for (int day = 0; day < 7; ++day) {
            const float value = valueOf(frame, day * 0.13f);
            const QRectF b = barFrame(day);
            const double c = b.width() / 2;
            const double rise = (c - b.height()) * value;
            painter.setPen(QPen(Qt::black, b.width() / 10, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(QPointF(b.center().x(), b.bottom()),
                             QPointF(b.center().x(), b.bottom() + rise));
            const bool shortBar = std::abs(rise) < c;
            const QPointF disc(b.center().x(), shortBar ? b.bottom() - c : b.bottom() + rise);
            painter.setPen(Qt::NoPen);
            painter.setBrush(shortBar ? QColor(188, 189, 190) : QColor(Qt::black));
            painter.drawEllipse(disc, c, c);
            text(painter, small, smallMetrics, disc, QString::number(value * 3, 'f', 1));
        }
    }
};

QImage blankPage()
{
    QImage page(pageSize, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    return page;
}

// One frame drawn into a fresh page painter, as a widget repaint does.
template <typename Draw> std::function<void()> painted(QImage& page, Draw draw)
{
    return [&page, draw, frame = 0]() mutable {
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        draw(painter, frame++);
    };
}

// The same frame through the widget tree: the page widget renders its gauges.
template <typename Page> std::function<void()> rendered(QImage& image, Page& page)
{
    return [&image, &page, frame = 0]() mutable {
        page.step(frame++);
        image.fill(Qt::white);
        page.page.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    };
}

// Medians of several ways of drawing the same frames, measured in alternating
// rounds so that a busy machine slows them all alike.
QList<double> alternatingMedians(const QList<std::function<void()>>& ways, int rounds = 15)
{
    QList<std::vector<double>> samples(ways.size());
    for (int round = 0; round < rounds; ++round)
        for (int i = 0; i < ways.size(); ++i)
            samples[i].push_back(medianNs(ways[i], 100, 1));
    QList<double> medians;
    for (std::vector<double>& perWay : samples) {
        std::sort(perWay.begin(), perWay.end());
        medians.append(perWay[perWay.size() / 2]);
    }
    return medians;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Log::Quiet quiet;
    const BarePainter bare;
    QImage page = blankPage();

    BatteryPage battery;
    const QList<double> batteryNs = alternatingMedians({
        painted(page, [&](QPainter& p, int f) { bare.battery(p, f); }),
        painted(page,
                [&](QPainter& p, int f) {
                    battery.step(f);
                    battery.paint(p);
                }),
        rendered(page, battery),
    });
    report("views_battery_frame", batteryNs[1], batteryNs[0], "bare_qpainter_battery_frame");
    report("views_battery_frame_widgets", batteryNs[2], batteryNs[0],
           "bare_qpainter_battery_frame");

    MileagePage mileage;
    const QList<double> mileageNs = alternatingMedians({
        painted(page, [&](QPainter& p, int f) { bare.mileage(p, f); }),
        painted(page,
                [&](QPainter& p, int f) {
                    mileage.step(f);
                    mileage.paint(p);
                }),
        rendered(page, mileage),
    });
    report("views_mileage_frame", mileageNs[1], mileageNs[0], "bare_qpainter_mileage_frame");
    report("views_mileage_frame_widgets", mileageNs[2], mileageNs[0],
           "bare_qpainter_mileage_frame");
    return 0;
}
