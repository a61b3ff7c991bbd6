// The app shell's costs: a section switch (make, load and show a section, release the old),
// a named image from the cache against drawing it, a picture from the loader's memory
// against one from its disk cache, a manual timer tick, and a notification to ten observers.
#include "BenchReport.h"

#include "platform/Log.h"
#include "platform/ManualTimerLoop.h"
#include "platform/NotificationCenter.h"
#include "platform/Timer.h"
#include "platform/net/ImageLoader.h"
#include "platform/ui/Images.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"

#include <QApplication>
#include <QBuffer>
#include <QLabel>
#include <QNetworkDiskCache>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

namespace {

// A section like the real ones: a pager over five pages with a few labels each.
class Section : public Screen, public PageViewControllerDataSource
{
public:
    QList<Screen*> pages;

protected:
    void viewDidLoad() override
    {
        auto* pager = new PageViewController;
        for (int i = 0; i < 5; ++i) {
            auto* page = new Screen;
            for (int j = 0; j < 6; ++j)
                new QLabel(QStringLiteral("label %1").arg(j), page);
            pages << page;
        }
        pager->setDataSource(this);
        pager->setViewControllers({pages[0]}, PageViewController::NavigationDirection::Forward,
                                  false);
        addChildScreen(pager);
        place(pager, [this] { return QRectF(0, 0, width(), height() + gy(-160)); });
    }
    Screen* viewControllerBeforeViewController(PageViewController*, Screen* page) override
    {
        const int i = int(pages.indexOf(page));
        return i > 0 ? pages[i - 1] : nullptr;
    }
    Screen* viewControllerAfterViewController(PageViewController*, Screen* page) override
    {
        const int i = int(pages.indexOf(page));
        return i < pages.size() - 1 ? pages[i + 1] : nullptr;
    }
};

void sectionSwitch()
{
    QWidget host;
    host.resize(360, 640);
    host.show();
    Storyboard storyboard(&host);
    storyboard.registerScreen<Screen>("Welcome");
    storyboard.registerScreen<Section>("A");
    storyboard.registerScreen<Section>("B");
    storyboard.registerSegue("In", "A", SegueKind::EnterSection);
    storyboard.registerSegue("AToB", "B", SegueKind::Replace);
    storyboard.registerSegue("BToA", "A", SegueKind::Replace);
    storyboard.performSegue(storyboard.start("Welcome"), "In");
    bool toB = true;
    const double switchNs = medianNs(
        [&] {
            storyboard.performSegue(storyboard.topScreen(), toB ? "AToB" : "BToA");
            toB = !toB;
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        },
        50, 9);
    const double loadNs = medianNs(
        [&] {
            Screen* section = storyboard.instantiateViewControllerWithIdentifier("A");
            section->setBaseGeometry(host.rect());
            section->loadViewIfNeeded();
            delete section;
        },
        50, 9);
    report("shell_section_switch", switchNs, loadNs, "make_and_load_section");
    std::printf("shell_section_switch live_screens=%d after 450 switches\n",
                storyboard.liveScreenCount());
}

void namedImages()
{
    Images::named("biggreenbg3.png");
    const double cachedNs = medianNs([] { Images::named("biggreenbg3.png"); }, 10000, 9);
    const double drawNs = medianNs(
        [] {
            QSvgRenderer renderer(QStringLiteral(":/images/biggreenbg3.svg"));
            QImage image(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
        },
        50, 9);
    report("images_named_cached", cachedNs);
    report("images_draw_rider_mark_svg", drawNs, cachedNs, "images_named_cached");
}

void loaderCaches()
{
    QImage avatar(256, 256, QImage::Format_RGB32);
    avatar.fill(QColor(19, 146, 134));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    avatar.save(&buffer, "PNG");

    // The picture as an earlier run left it in the disk cache.
    QTemporaryDir folder;
    const QUrl address(QStringLiteral("http://127.0.0.1:9/avatar.png"));
    {
        QNetworkDiskCache disk;
        disk.setCacheDirectory(folder.path());
        QNetworkCacheMetaData meta;
        meta.setUrl(address);
        meta.setSaveToDisk(true);
        QIODevice* device = disk.prepare(meta);
        device->write(png);
        disk.insert(device);
    }
    int found = 0;
    const auto count = [&found](const QImage& image) { found += image.isNull() ? 0 : 1; };
    const double diskNs = medianNs(
        [&] {
            ImageLoader fresh(folder.path());
            fresh.loadImage(address.toString(), count);
        },
        20, 9);
    ImageLoader loader(folder.path());
    loader.loadImage(address.toString(), count);
    const double memoryNs =
        medianNs([&] { loader.loadImage(address.toString(), count); }, 10000, 9);
    report("imageloader_memory_hit", memoryNs);
    report("imageloader_disk_hit", diskNs, memoryNs, "imageloader_memory_hit");
    std::printf("imageloader network_requests=%d found=%d\n", loader.networkRequestCount(), found);
}

void timersAndNotifications()
{
    ManualTimerLoop loop;
    int ticks = 0;
    Timer animation(0.03, true, [&] { ++ticks; });
    Timer poll(1.0, true, [&] { ++ticks; });
    const double tickNs = medianNs([&] { loop.advance(30); }, 10000, 9);
    report("manual_timer_tick", tickNs);

    NotificationCenter centre;
    int heard = 0;
    for (int i = 0; i < 10; ++i)
        centre.addObserver(QStringLiteral("SelectLvYou"), [&](const Notification&) { ++heard; });
    const double postNs = medianNs([&] { centre.post(QStringLiteral("SelectLvYou")); }, 10000, 9);
    report("notification_post_10_observers", postNs);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Log::Quiet quiet;
    sectionSwitch();
    namedImages();
    loaderCaches();
    timersAndNotifications();
    return 0;
}
