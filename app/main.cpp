#include "app/AppDelegate.h"
#include "app/FirstFrameReport.h"
#include "platform/Log.h"
#include "platform/location/LocationManager.h"
#include "platform/map/MapServices.h"
#include "platform/map/TileSource.h"
#include "platform/net/ImageLoader.h"
#include "platform/notify/Haptics.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/share/LocalShareService.h"
#include "platform/Localized.h"
#include "platform/ui/OverlayAlertPresenter.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TrayNotificationPresenter.h"
#include "platform/ui/Window.h"
#include "screens/ScreenCatalog.h"
#include "screens/desktop/DesktopFrame.h"
#include "tour/Tour.h"
#include "tour/TourSteps.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {

void addOptions(QCommandLineParser& parser)
{
    parser.addHelpOption();
    parser.addOption({"data-dir", "Folder of the local store.", "DIR"});
    parser.addOption({"server", "Base URL of the device server.", "URL"});
    parser.addOption({"lang", "Language of the texts (zh, en); default: the system's.", "LANG"});
    parser.addOption({"tour", "Walk the screens and write their pictures, even with a display."});
    parser.addOption({"screens-dir", "Where the tour writes its pictures.", "DIR", "out/screens"});
    parser.addOption(
        {"tiles", "Map tiles from an XYZ address ({z}, {x}, {y}), osm, or none (drawn).", "URL"});
    parser.addOption({"tiles-attribution", "The tile provider's credit shown on the maps.", "TEXT"});
    parser.addOption({"save-tiles", "Keep --tiles and --tiles-attribution for later starts."});
    parser.addOption(
        {LocationManager::ReplayOption, "NMEA file to replay as the location.", "FILE"});
}

// The tour starts from a store of its own, so every run shows a first start.
QString dataDirectory(const QCommandLineParser& parser, bool touring, QTemporaryDir& scratch)
{
    if (parser.isSet("data-dir"))
        return parser.value("data-dir");
    const QString fromEnvironment = qEnvironmentVariable("LVXING_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (touring)
        return scratch.path();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// Running with every write dropped would lose all the rider does; the app says where it
// failed and stops instead.
bool storeUsable(AppDelegate& delegate, bool touring)
{
    if (delegate.managedObjectContext())
        return true;
    static const QString text =
        QStringLiteral("无法在文件夹 %1 中保存数据(%2)。请确认该文件夹可以写入,然后重新启动。");
    const QString message = Localized::string(text).arg(
        QDir::toNativeSeparators(delegate.applicationDocumentsDirectory()), delegate.storeFailure());
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (!touring)
        QMessageBox::critical(nullptr, QStringLiteral("Lvxing"), message);
    return false;
}

QString serverUrl(const QCommandLineParser& parser)
{
    const QString server = parser.value("server");
    return server.isEmpty() ? qEnvironmentVariable("LVXING_SERVER") : server;
}

struct TileChoice
{
    QString urlTemplate;
    QString attribution;
};

// --tiles for this run (kept with --save-tiles), else the saved choice, else OpenStreetMap.
// The tour stays on the machine: it takes tiles only from --tiles.
TileChoice tileChoice(const QCommandLineParser& parser, bool touring)
{
    QSettings settings;
    TileChoice choice{settings.value("map/tiles", "osm").toString(),
                      settings.value("map/attribution").toString()};
    if (parser.isSet("tiles"))
        choice = {parser.value("tiles"), parser.value("tiles-attribution")};
    else if (touring)
        choice = {"none", {}};
    if (parser.isSet("save-tiles") && parser.isSet("tiles")) {
        settings.setValue("map/tiles", choice.urlTemplate);
        settings.setValue("map/attribution", choice.attribution);
    }
    if (choice.urlTemplate == QLatin1String("none"))
        return {};
    if (choice.urlTemplate == QLatin1String("osm"))
        choice.urlTemplate = MapServices::OpenStreetMapTiles;
    const bool osm = choice.urlTemplate == QLatin1String(MapServices::OpenStreetMapTiles);
    if (choice.attribution.isEmpty() && osm)
        choice.attribution = QString::fromUtf8(MapServices::OpenStreetMapAttribution);
    else if (choice.attribution.isEmpty())
        choice.attribution = "Map tiles: " + QUrl(choice.urlTemplate).host();
    return choice;
}

} // namespace

int main(int argc, char* argv[])
{
    // The data folder holds the rider's password and pictures: nothing the app makes is
    // readable by others.
    umask(S_IRWXG | S_IRWXO);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lvxing");
    QApplication::setOrganizationName("Lvxing");
    QApplication::setApplicationVersion(LVXING_VERSION);
    QGuiApplication::setDesktopFileName(QStringLiteral(LVXING_APP_ID));
    Window::applyAppStyle(app);

    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app);
    const QString language = parser.value("lang");
    const bool chinese = language.startsWith(QLatin1String("zh"), Qt::CaseInsensitive);
    if (!Localized::install(app, language) && !language.isEmpty() && !chinese)
        std::fprintf(stderr, "lvxing: no texts in \"%s\", showing Chinese\n", qPrintable(language));
    const bool touring =
        parser.isSet("tour") || QGuiApplication::platformName() == QLatin1String("offscreen");

    QTemporaryDir scratch;
    const QString dataDir = dataDirectory(parser, touring, scratch);
    QDir().mkpath(dataDir);
    AppDelegate delegate(dataDir);
    if (const QString server = serverUrl(parser); !server.isEmpty())
        delegate.setServerUrl(server);
    if (!storeUsable(delegate, touring))
        return 2;

    LocalShareService share;
    LocalNotificationCenter notifications;
    Haptics haptics;
    LocationManager location;
    if (parser.isSet(LocationManager::ReplayOption))
        location.setReplayFile(parser.value(LocationManager::ReplayOption));
    ImageLoader images(QDir(dataDir).filePath("ImageCache"));
    share.setOutboxFolder(QDir(dataDir).filePath("outbox"));
    const QString tileCache =
        touring ? QDir(dataDir).filePath("TileCache")
                : QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/tiles";
    TileSource tiles(tileCache, TileSource::appUserAgent());
    if (const TileChoice choice = tileChoice(parser, touring); !choice.urlTemplate.isEmpty())
        tiles.serve(delegate.mapServices(), choice.urlTemplate, choice.attribution);
    auto* window = new Window;
    DesktopFrame frame(window, delegate.connectionState());
    OverlayAlertPresenter alerts(window);
    TrayNotificationPresenter tray(&notifications);
    delegate.setShare(&share);
    delegate.setNotificationCenter(&notifications);
    delegate.setHaptics(&haptics);
    delegate.setLocationManager(&location);
    delegate.setImageLoader(&images);
    delegate.setAlerts(&alerts);
    delegate.didFinishLaunchingWithOptions();

    Storyboard storyboard(window);
    ScreenCatalog::install(storyboard, delegate.context());
    frame.show();
    FirstFrameReport::watchIfAsked(storyboard.start(ScreenCatalog::FirstScreen));

    std::unique_ptr<Tour> tour;
    if (touring) {
        tour = std::make_unique<Tour>(window, &storyboard, parser.value("screens-dir"));
        tour->setShare(&share);
        tour->setNotifications(&notifications);
        TourSteps::addAll(*tour);
        QObject::connect(tour.get(), &Tour::finished, &app,
                         [](int code) { QApplication::exit(code); });
        tour->start();
    }
    const int code = app.exec();
    tour.reset();
    return code;
}
