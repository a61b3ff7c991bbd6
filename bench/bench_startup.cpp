// Cold start of the app binary to the first drawn frame of the welcome screen, and its
// memory at that moment, against a bare Qt Widgets program started the same way. Each
// start gets fresh HOME, XDG folders and data folder, runs offscreen against a simulator
// in this process, and ends itself once it has reported its first frame.
#include "BenchReport.h"
#include "tools/devserver/DeviceServerSimulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace {

constexpr int Runs = 9;
constexpr int TimeoutMs = 60000;

struct Start
{
    double ns = -1;
    double rssKb = -1;
};

QProcessEnvironment freshEnvironment(const QString& root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QList<std::pair<const char*, const char*>> folders = {{"HOME", "home"},
                                                                {"XDG_CONFIG_HOME", "config"},
                                                                {"XDG_DATA_HOME", "data"},
                                                                {"XDG_CACHE_HOME", "cache"},
                                                                {"XDG_RUNTIME_DIR", "runtime"}};
    for (const auto& [name, folder] : folders) {
        const QString path = QDir(root).filePath(QString::fromLatin1(folder));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QString::fromLatin1(name), path);
    }
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LVXING_REPORT_FIRST_FRAME"), QStringLiteral("quit"));
    env.remove(QStringLiteral("LVXING_DATA_DIR"));
    env.remove(QStringLiteral("LVXING_SERVER"));
    return env;
}

// Starts `program` and waits for its first-frame line; the clock runs from the start
// request to the line's arrival.
Start startOnce(const QString& program, const QStringList& arguments, const QString& root)
{
    QProcess process;
    process.setProcessEnvironment(freshEnvironment(root));
    process.setWorkingDirectory(root);
    QByteArray output;
    Start start;
    QEventLoop loop;
    QElapsedTimer clock;
    QObject::connect(&process, &QProcess::readyReadStandardError, &loop, [&] {
        output += process.readAllStandardError();
        const qsizetype at = output.indexOf("first frame:");
        if (at < 0 || start.ns >= 0 || !output.mid(at).contains('\n'))
            return;
        start.ns = double(clock.nsecsElapsed());
        const qsizetype rss = output.indexOf("rss_kb=", at);
        start.rssKb = output.mid(rss + 7, output.indexOf('\n', rss) - rss - 7).toDouble();
        loop.quit();
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(TimeoutMs, &loop, &QEventLoop::quit);
    clock.start();
    process.start(program, arguments);
    loop.exec();
    if (!process.waitForFinished(TimeoutMs))
        process.kill();
    process.waitForFinished();
    if (start.ns < 0)
        std::fprintf(stderr, "%s gave no first frame:\n%s\n", qPrintable(program),
                     output.right(2000).constData());
    return start;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    DeviceServerSimulator simulator;
    if (!simulator.listen()) {
        std::fprintf(stderr, "the simulator cannot listen\n");
        return 1;
    }
    std::vector<double> appNs, appKb, floorNs, floorKb;
    // The two programs take turns, so a busy moment of the shared machine hits both alike.
    for (int run = 0; run < Runs; ++run) {
        QTemporaryDir root;
        const QString folder = root.path();
        const Start bare = startOnce(QStringLiteral(LVXING_STARTUP_FLOOR), {}, folder + "/floor");
        const Start lvxing =
            startOnce(QStringLiteral(LVXING_APP),
                      {"--data-dir", folder + "/app/store", "--screens-dir",
                       folder + "/app/screens", "--server", simulator.baseUrl().toString()},
                      folder + "/app");
        if (bare.ns < 0 || lvxing.ns < 0)
            return 1;
        floorNs.push_back(bare.ns);
        floorKb.push_back(bare.rssKb);
        appNs.push_back(lvxing.ns);
        appKb.push_back(lvxing.rssKb);
    }
    const double floorTime = median(floorNs);
    report(QStringLiteral("startup_bare_widgets_first_frame"), floorTime);
    report(QStringLiteral("startup_first_frame"), median(appNs), floorTime,
           QStringLiteral("startup_bare_widgets_first_frame"));
    std::printf("startup_memory rss=%.1fMB ratio=%.2f vs bare_widgets rss=%.1fMB (at the first "
                "frame, median of %d)\n",
                median(appKb) / 1024, median(appKb) / median(floorKb), median(floorKb) / 1024,
                Runs);
    return 0;
}
