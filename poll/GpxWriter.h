#pragma once

#include "store/RideLog.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Rides as a GPX 1.1 file: one track, a segment per ride, each timed point with its time of
// arrival in UTC (an untimed point has no time).
namespace GpxWriter {

using Segment = QList<RideLog::Point>;

QByteArray text(const QString& name, const QList<Segment>& segments);
// Writes to a temporary file beside `path` and renames it into place, so a failed export
// leaves no half-written file; false, with the reason in `error`, when it cannot.
bool write(const QString& path, const QString& name, const QList<Segment>& segments,
           QString* error);

} // namespace GpxWriter
