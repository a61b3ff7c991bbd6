#include "tools/devserver/AvatarPainter.h"
#include "tools/devserver/PngBytes.h"

#include <QColor>
#include <QCryptographicHash>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

QString AvatarPainter::initials(const QString& name)
{
    QString letters;
    for (const QChar c : name) {
        if (c.isLetter())
            letters += c;
    }
    if (letters.isEmpty())
        return "?";
    // One character of a Chinese name says as much as two Latin letters.
    if (letters.at(0).unicode() >= 0x2e80)
        return letters.left(1);
    return letters.left(2).toUpper();
}

QByteArray AvatarPainter::png(const QString& name)
{
    const QByteArray digest = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Md5);
    const QColor colour = QColor::fromHsv(quint8(digest.at(0)) * 359 / 255, 150, 200);
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(0, 0, kSize, kSize);
    // Text needs the font database of a GUI application; without one the disc alone
    // still makes a valid avatar.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QFont font;
        font.setPixelSize(kSize * 2 / 5);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(image.rect(), Qt::AlignCenter, initials(name));
    }
    painter.end();
    return pngBytes(image);
}
