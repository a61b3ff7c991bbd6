// lvxing-devserver: the device-server simulator as a program, for the run
// command, end-to-end runs and people with a browser.
#include "tools/devserver/DeviceServerSimulator.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QHostAddress>
#include <QStandardPaths>
#include <cstdio>

namespace {

bool rateOption(const QCommandLineParser& parser, const QString& name, double* rate)
{
    bool ok = false;
    *rate = parser.value(name).toDouble(&ok);
    if (!ok || *rate < 0 || *rate > 1) {
        std::fprintf(stderr, "--%s needs a share between 0 and 1\n", qPrintable(name));
        return false;
    }
    return true;
}

// Said plainly, because the scripts hand out passwords and take uploads from
// anyone who can reach the port.
void warnAboutNetwork(const QString& host)
{
    std::fprintf(stderr,
                 "warning: listening on %s: the device scripts (which answer with accounts "
                 "and passwords) and avatar uploads are reachable from that network.\n"
                 "warning: the control API /_sim/ answers only requests whose Host header "
                 "names localhost or 127.x, but any client on that network can send such a "
                 "header. Use --host 127.0.0.1 unless another device must reach the "
                 "simulator.\n",
                 qPrintable(host));
}

} // namespace

int main(int argc, char* argv[])
{
    // The avatars are drawn with fonts, which need a GUI application but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("lvxing-devserver");

    QCommandLineParser parser;
    parser.setApplicationDescription("Simulated Lvxing device server");
    parser.addHelpOption();
    parser.addOptions({
        {"port", "Port to listen on (default 8808).", "port", "8808"},
        {"host", "Address to listen on (default 127.0.0.1).", "address", "127.0.0.1"},
        {"data-dir",
         "Folder for the database, outbox and avatars (default: the user's "
         "data folder).",
         "dir"},
        {"seed", "Seed of the simulated world.", "n", "1"},
        {"speed", "Simulated seconds per real second.", "n", "1"},
        {"start", "Simulated start time, yyyy-MM-ddTHH:mm:ss (default: now).", "time"},
        {"latency", "Delay of every answer in milliseconds.", "ms", "0"},
        {"fail-rate", "Share of answers replaced by HTTP 500.", "p", "0"},
        {"garbage-rate", "Share of answers replaced by a body that is not JSON.", "p", "0"},
        {"drop-rate", "Share of connections closed without an answer.", "p", "0"},
        {"idle-timeout",
         "Seconds a connection may wait on its client before it is closed (default 30).", "s",
         "30"},
    });
    parser.process(app);

    SimulatorOptions options;
    options.dataDir = parser.isSet("data-dir")
                          ? parser.value("data-dir")
                          : QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    options.seed = parser.value("seed").toULongLong();
    options.speed = parser.value("speed").toDouble();
    options.start = parser.isSet("start")
                        ? QDateTime::fromString(parser.value("start"), Qt::ISODate)
                        : QDateTime::currentDateTime();
    if (!options.start.isValid()) {
        std::fprintf(stderr, "--start needs a time such as 2026-03-05T10:00:00\n");
        return 2;
    }
    options.latencyMs = parser.value("latency").toInt();
    bool idleOk = false;
    const double idleSeconds = parser.value("idle-timeout").toDouble(&idleOk);
    if (!idleOk || idleSeconds <= 0 || idleSeconds > 24 * 3600) {
        std::fprintf(stderr, "--idle-timeout needs a number of seconds above 0\n");
        return 2;
    }
    options.idleLimitMs = qMax(1, int(idleSeconds * 1000));
    options.verbose = true;
    if (!rateOption(parser, "fail-rate", &options.failRate) ||
        !rateOption(parser, "garbage-rate", &options.garbageRate) ||
        !rateOption(parser, "drop-rate", &options.dropRate))
        return 2;

    DeviceServerSimulator simulator(options);
    const QHostAddress address(parser.value("host"));
    if (address.isNull()) {
        std::fprintf(stderr, "--host needs an IP address\n");
        return 2;
    }
    if (!address.isLoopback())
        warnAboutNetwork(parser.value("host"));
    if (!simulator.listen(quint16(parser.value("port").toUInt()), address)) {
        std::fprintf(stderr, "cannot listen on %s port %s\n", qPrintable(parser.value("host")),
                     qPrintable(parser.value("port")));
        return 1;
    }
    std::fprintf(stderr, "lvxing-devserver on http://%s:%u (data in %s)\n",
                 qPrintable(parser.value("host")), unsigned(simulator.port()),
                 qPrintable(simulator.dataDir()));
    return app.exec();
}
