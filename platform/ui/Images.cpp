#include "platform/ui/Images.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace Images {

namespace {

const QString Folder = QStringLiteral(":/images/");

// An SVG named like the PNG it stands for ("stop.png" -> stop.svg) is rendered at its own
// size in points; a PNG is used as it is.
QImage load(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return QImage();
    const QString base = QFileInfo(name).completeBaseName();
    const QString svgPath = Folder + base + QStringLiteral(".svg");
    if (QFileInfo::exists(svgPath)) {
        QSvgRenderer renderer(svgPath);
        if (!renderer.isValid())
            return QImage();
        QImage image(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        return image;
    }
    const QString pngPath = Folder + base + QStringLiteral(".png");
    if (QFileInfo::exists(pngPath))
        return QImage(pngPath);
    return QImage();
}

} // namespace

QImage named(const QString& name)
{
    static QHash<QString, QImage> cache;
    auto it = cache.constFind(name);
    if (it == cache.constEnd())
        it = cache.insert(name, load(name));
    return *it;
}

QSize sizeOf(const QString& name)
{
    const QImage image = named(name);
    return image.isNull() ? QSize(0, 0) : image.size();
}

QStringList names()
{
    QStringList all;
    const QStringList files = QDir(Folder).entryList(QDir::Files, QDir::Name);
    for (const QString& file : files)
        all.append(QFileInfo(file).completeBaseName() + QStringLiteral(".png"));
    all.removeDuplicates();
    all.sort();
    return all;
}

} // namespace Images
