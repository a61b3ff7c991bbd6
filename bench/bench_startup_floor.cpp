// The floor of bench_startup: a bare Qt Widgets program that shows one phone-sized
// window and, once it is drawn, reports and ends the way the app does.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
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

class FloorWindow : public QWidget
{
protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, [] {
                std::fprintf(stderr, "first frame: elapsed_ms=%.1f rss_kb=%ld\n",
                             msSinceProcessStart(), residentKb());
                QApplication::exit(0);
            });
        }
        return QWidget::event(event);
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    FloorWindow window;
    window.resize(360, 640);
    window.setAutoFillBackground(true);
    window.show();
    return app.exec();
}
