#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

// Draws the app's SVG icon as the PNGs an icon theme wants, one per size:
// render-icon ICON.svg FOLDER NAME SIZE... writes FOLDER/SIZExSIZE/apps/NAME.png.
int main(int argc, char* argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: render-icon ICON.svg FOLDER NAME SIZE...\n");
        return 1;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(argv[2]).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString path = folder + QStringLiteral("/%1.png").arg(argv[3]);
        if (size <= 0 || !QDir().mkpath(folder) || !image.save(path)) {
            std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
