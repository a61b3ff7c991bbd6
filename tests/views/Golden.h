#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QtTest>

// Compares a picture with tests/data/golden/<name>.png. A pixel differs when one of its
// premultiplied channels is off by more than `tolerance`; antialiasing may vary a little
// between machines, so a small share of differing pixels passes. With
// LVXING_UPDATE_GOLDEN=1 the picture is written as the new golden instead.
// On a mismatch the actual picture and a diff (differing pixels red) go to the test's
// runtime folder and the message names them.
namespace Golden {

inline QString compare(const QString& name, QImage actual, int tolerance = 12, double share = 0.002)
{
    actual = actual.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    actual.setDevicePixelRatio(1);
    const QString path = QStringLiteral(LVXING_TEST_DATA "/golden/%1.png").arg(name);
    if (qEnvironmentVariableIntValue("LVXING_UPDATE_GOLDEN"))
        return actual.save(path) ? QString() : QStringLiteral("cannot write ") + path;
    const QImage golden = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage diff(actual.size(), QImage::Format_ARGB32);
    diff.fill(Qt::white);
    const bool sameSize = golden.size() == actual.size();
    int differing = sameSize ? 0 : actual.width() * actual.height() + 1;
    for (int y = 0; sameSize && y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), g = golden.pixel(x, y);
            const int off = qMax(qMax(qAbs(qRed(a) - qRed(g)), qAbs(qGreen(a) - qGreen(g))),
                                 qMax(qAbs(qBlue(a) - qBlue(g)), qAbs(qAlpha(a) - qAlpha(g))));
            const int faint = 191 + qGray(a) / 4;
            differing += off > tolerance ? 1 : 0;
            diff.setPixel(x, y, off > tolerance ? qRgb(255, 0, 0) : qRgb(faint, faint, faint));
        }
    if (differing <= share * actual.width() * actual.height())
        return QString();
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR", QDir::tempPath());
    actual.save(folder + QStringLiteral("/%1.actual.png").arg(name));
    diff.save(folder + QStringLiteral("/%1.diff.png").arg(name));
    return QStringLiteral(
               "%1 pixels differ from %2 (%3 x %4 against %5 x %6); see %7/%8.actual.png "
               "and .diff.png")
        .arg(differing)
        .arg(path)
        .arg(actual.width())
        .arg(actual.height())
        .arg(golden.width())
        .arg(golden.height())
        .arg(folder, name);
}

} // namespace Golden

#define QCOMPARE_GOLDEN(name, image)                                                               \
    do {                                                                                           \
        const QString failure = Golden::compare(name, image);                                      \
        QVERIFY2(failure.isEmpty(), qPrintable(failure));                                          \
    } while (false)
