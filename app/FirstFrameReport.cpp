#include "app/FirstFrameReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

// Milliseconds since the kernel started this process (its start time counts in clock
// ticks since boot), so loading the libraries is counted too.
double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which may hold spaces, start at its ')'.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double started = fields.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (double(now.tv_sec) + now.tv_nsec / 1e9 - started) * 1e3;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmRSS:");
    return at < 0 ? -1 : text.mid(at + 6).trimmed().split(' ').first().toLong();
}

} // namespace

void FirstFrameReport::watchIfAsked(QWidget* screen)
{
    const QByteArray asked = qgetenv("LVXING_REPORT_FIRST_FRAME");
    if (!asked.isEmpty() && screen)
        new FirstFrameReport(screen, asked == "quit");
}

FirstFrameReport::FirstFrameReport(QWidget* screen, bool quit) : QObject(screen), m_quit(quit)
{
    screen->installEventFilter(this);
}

bool FirstFrameReport::eventFilter(QObject* watched, QEvent* event)
{
    // The screen paints before its children and the window reaches the display after
    // them; a queued report comes once the whole frame is out.
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &FirstFrameReport::report, Qt::QueuedConnection);
    }
    return false;
}

void FirstFrameReport::report()
{
    std::fprintf(stderr, "first frame: elapsed_ms=%.1f rss_kb=%ld\n", msSinceProcessStart(),
                 residentKb());
    std::fflush(stderr);
    if (m_quit)
        QCoreApplication::exit(0);
    deleteLater();
}
