#pragma once

#include "tools/devserver/SimRequest.h"

#include <QByteArray>
#include <QList>

// Cuts a multipart/form-data body into its parts.
class MultipartBody
{
public:
    // Empty when the content type names no boundary or the body does not follow it.
    static QList<SimRequest::Part> parse(const QByteArray& contentType, const QByteArray& body);

private:
    static QByteArray boundaryOf(const QByteArray& contentType);
    static SimRequest::Part partOf(const QByteArray& chunk);
    static QByteArray dispositionValue(const QByteArray& disposition, const QByteArray& name);
};
