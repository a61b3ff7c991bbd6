#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// The app's own images by the names the screens use ("login1.png", "stop.png"...). Each is
// drawn for this app and compiled into the binary; a name the app does not hold gives a
// null image (size 0 x 0).
namespace Images {

QImage named(const QString& name);
// The natural size in points of a named image (0 x 0 when there is none).
QSize sizeOf(const QString& name);
// Every name the app holds, sorted.
QStringList names();

} // namespace Images
