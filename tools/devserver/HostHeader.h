#pragma once

#include <QByteArray>

// Reads Host and Origin headers, which come from the client and so may say anything.
namespace HostHeader {

// host[:port], the host being letters, digits, dots and hyphens or a bracketed IPv6
// address: safe to put into a URL as it is.
bool isValid(const QByteArray& host);
// A valid host naming this machine: localhost, 127.x.y.z or [::1], with any port.
bool isLoopback(const QByteArray& host);
// An Origin header of a page served from this machine ("http://localhost:8808").
bool isLoopbackOrigin(const QByteArray& origin);

} // namespace HostHeader
