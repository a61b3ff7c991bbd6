#pragma once

#include <QString>
#include <QStringList>

// Pictures of every gauge for people to look at: each at 0, 0.25, 0.5 and 1
// and at the values the pages use at their edges, on a white card, as PNGs.
namespace GaugeGallery {

// Writes the pictures into `dir` (made when missing), named "<View>-<value>.png",
// and returns the paths written.
QStringList writeAll(const QString& dir);

} // namespace GaugeGallery
