#include "poll/GpxWriter.h"

#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

void writePoint(QXmlStreamWriter& xml, const RideLog::Point& point)
{
    xml.writeStartElement(QStringLiteral("trkpt"));
    xml.writeAttribute(QStringLiteral("lat"), QString::number(point.lat, 'f', 7));
    xml.writeAttribute(QStringLiteral("lon"), QString::number(point.lng, 'f', 7));
    if (point.timed)
        xml.writeTextElement(QStringLiteral("time"), point.arrival.toUTC().toString(Qt::ISODate));
    xml.writeEndElement();
}

// Unbuffered, a write the disk takes only part of comes back short and is tried again, so a
// full disk reports itself instead of leaving a short file for QSaveFile to rename into place.
bool writeAll(QSaveFile& file, const QByteArray& data)
{
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 wrote = file.write(data.constData() + done, data.size() - done);
        if (wrote <= 0)
            return false;
        done += wrote;
    }
    return true;
}

} // namespace

namespace GpxWriter {

QByteArray text(const QString& name, const QList<Segment>& segments)
{
    QByteArray gpx;
    QXmlStreamWriter xml(&gpx);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Lvxing"));
    xml.writeStartElement(QStringLiteral("trk"));
    xml.writeTextElement(QStringLiteral("name"), name);
    for (const Segment& segment : segments) {
        xml.writeStartElement(QStringLiteral("trkseg"));
        for (const RideLog::Point& point : segment)
            writePoint(xml, point);
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return gpx;
}

bool write(const QString& path, const QString& name, const QList<Segment>& segments, QString* error)
{
    // Until commit() the file is a temporary one; without it, it is removed.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        writeAll(file, text(name, segments)) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace GpxWriter
