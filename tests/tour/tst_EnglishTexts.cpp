#include "tools/devserver/DeviceServerSimulator.h"
#include "tools/devserver/RiderRoster.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The real app walks its screens in English against the simulator; no text of its own
// that reached the screen (or a notification) may still be Chinese.
class tst_EnglishTexts : public QObject
{
    Q_OBJECT

private slots:
    void tourShowsNoChineseOfItsOwn();
};

namespace {

constexpr quint64 Seed = 7;

// Rider and level names come from the server and stay as it sent them.
QStringList serverNames()
{
    QStringList names;
    for (const RiderRoster::Ranked& entry : RiderRoster(Seed).ranking({}, QDate::currentDate()))
        names.append(entry.rider.username);
    for (int level = 1; level <= 20; ++level)
        names.append(RiderRoster::levelName(level));
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return names;
}

} // namespace

void tst_EnglishTexts::tourShowsNoChineseOfItsOwn()
{
    SimulatorOptions options;
    options.seed = Seed;
    options.speed = 1;
    options.start = QDateTime::currentDateTime();
    DeviceServerSimulator server(options);
    QVERIFY(server.listen() != 0);
    QTemporaryDir screens;
    QProcess app;
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.setStandardOutputFile(QProcess::nullDevice());
    app.start(LVXING_APP, {"--lang", "en", "--tour", "--screens-dir", screens.path(), "--server",
                           server.baseUrl().toString()});
    QSignalSpy finished(&app, &QProcess::finished);
    QVERIFY(finished.wait(400000));
    QCOMPARE(app.exitCode(), 0);

    QFile file(screens.filePath("texts.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    const QStringList names = serverNames();
    const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    QMap<QString, QString> failures; // "place: text" -> first picture
    for (const QString& line : lines) {
        QString text = line.section('\t', 2);
        for (const QString& name : names)
            text.remove(name);
        const QString place = line.section('\t', 1, 1).section('/', -1) + ": " + text;
        if (text.contains(chinese) && !failures.contains(place))
            failures.insert(place, line.section('\t', 0, 0));
    }
    for (auto it = failures.cbegin(); it != failures.cend(); ++it)
        qWarning("Chinese on screen: %s (%s)", qPrintable(it.key()), qPrintable(it.value()));
    QVERIFY2(failures.isEmpty(), "the warnings above name each text");
    QVERIFY(lines.filter("\tOK").size() > 0);
    QVERIFY(lines.filter("notification\tGeofence alarm").size() > 0);
    // The desktop window's additions are walked too, each with a text it must show.
    const QList<std::pair<QString, QString>> desktop = {
        {"StatusBar-connected", "connected · updated just now"},
        {"StatusBar-unreachable", "server unreachable · "},
        {"StatusBar-out-of-date", "data is out of date (15 min ago)"},
        {"Rides", " km"},
        {"AlarmLog", "Geofence alarm"}};
    for (const auto& [picture, text] : desktop) {
        const auto shows = [&](const QString& line) {
            return line.section('\t', 0, 0).endsWith(picture) &&
                   line.section('\t', 2).contains(text);
        };
        QVERIFY2(std::any_of(lines.cbegin(), lines.cend(), shows), qPrintable(picture));
    }
}

QTEST_MAIN(tst_EnglishTexts)
#include "tst_EnglishTexts.moc"
