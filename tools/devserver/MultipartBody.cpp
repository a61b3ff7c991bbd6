#include "tools/devserver/MultipartBody.h"

QList<SimRequest::Part> MultipartBody::parse(const QByteArray& contentType, const QByteArray& body)
{
    QList<SimRequest::Part> parts;
    const QByteArray boundary = boundaryOf(contentType);
    if (boundary.isEmpty())
        return parts;
    const QByteArray delimiter = "--" + boundary;
    qsizetype pos = body.indexOf(delimiter);
    while (pos >= 0) {
        const qsizetype start = pos + delimiter.size();
        if (body.mid(start, 2) == "--")
            break;
        const qsizetype next = body.indexOf("\r\n" + delimiter, start);
        if (next < 0)
            break;
        QByteArray chunk = body.mid(start, next - start);
        if (chunk.startsWith("\r\n"))
            chunk.remove(0, 2);
        parts.append(partOf(chunk));
        pos = next + 2;
    }
    return parts;
}

QByteArray MultipartBody::boundaryOf(const QByteArray& contentType)
{
    for (QByteArray param : contentType.split(';')) {
        param = param.trimmed();
        if (param.toLower().startsWith("boundary=")) {
            QByteArray value = param.mid(9);
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

SimRequest::Part MultipartBody::partOf(const QByteArray& chunk)
{
    SimRequest::Part part;
    const qsizetype headerEnd = chunk.indexOf("\r\n\r\n");
    const QByteArray head = headerEnd < 0 ? chunk : chunk.left(headerEnd);
    part.data = headerEnd < 0 ? QByteArray() : chunk.mid(headerEnd + 4);
    part.size = part.data.size();
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-type")
            part.contentType = value;
        if (name == "content-disposition") {
            part.name = dispositionValue(value, "name");
            part.fileName = dispositionValue(value, "filename");
        }
    }
    return part;
}

QByteArray MultipartBody::dispositionValue(const QByteArray& disposition, const QByteArray& name)
{
    for (QByteArray param : disposition.split(';')) {
        param = param.trimmed();
        const qsizetype equals = param.indexOf('=');
        if (equals < 0 || param.left(equals).trimmed().toLower() != name)
            continue;
        QByteArray value = param.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}
