#include "app/AppDelegate.h"
#include "platform/Log.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLabel>
#include <QStandardPaths>
#include <QTimer>

namespace {

QString dataDirectory(const QCommandLineParser& parser)
{
    if (parser.isSet("data-dir"))
        return parser.value("data-dir");
    const QString fromEnvironment = qEnvironmentVariable("LVXING_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lvxing");
    QApplication::setOrganizationName("Lvxing");

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"data-dir", "Folder of the local store.", "DIR"});
    parser.addOption({"server", "Base URL of the device server.", "URL"});
    parser.process(app);

    AppDelegate delegate(dataDirectory(parser));
    QString server = parser.value("server");
    if (server.isEmpty())
        server = qEnvironmentVariable("LVXING_SERVER");
    if (!server.isEmpty())
        delegate.setServerUrl(server);
    delegate.didFinishLaunchingWithOptions();

    QLabel window(QObject::tr("驴行"));
    window.setAlignment(Qt::AlignCenter);
    window.resize(360, 640);
    window.show();

    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QTimer::singleShot(0, &app, [] {
            Log::write(QStringLiteral("no display: first screen is up, leaving"));
            QApplication::exit(0);
        });
    }
    return app.exec();
}
