#include "tools/devserver/HostHeader.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace {

// The host part of a valid Host header, empty when it is not valid.
QString nameOf(const QByteArray& host)
{
    static const QRegularExpression pattern(
        R"(^(\[[0-9A-Fa-f:.]+\]|[A-Za-z0-9.-]+)(:[0-9]{1,5})?$)");
    const auto match = pattern.match(QString::fromLatin1(host));
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

namespace HostHeader {

bool isValid(const QByteArray& host)
{
    return !nameOf(host).isEmpty();
}

bool isLoopback(const QByteArray& host)
{
    static const QRegularExpression ipv4(R"(^\d{1,3}(\.\d{1,3}){3}$)");
    const QString name = nameOf(host);
    if (name.compare("localhost", Qt::CaseInsensitive) == 0)
        return true;
    if (name.startsWith('['))
        return QHostAddress(name.mid(1, name.size() - 2)).isLoopback();
    return ipv4.match(name).hasMatch() && QHostAddress(name).isLoopback();
}

bool isLoopbackOrigin(const QByteArray& origin)
{
    return origin.startsWith("http://") && isLoopback(origin.mid(7));
}

} // namespace HostHeader
