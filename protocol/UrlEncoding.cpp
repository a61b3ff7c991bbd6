#include "protocol/UrlEncoding.h"

#include <QByteArray>

#include <cstring>

namespace {

constexpr const char* QuerySet = "-._~!$&'()*+,;=:@/?";
constexpr const char* LegacySet = "-._~!$&'()*+,;=:@/?#%[]";
constexpr const char* Separators = "&=?#+";

bool keeps(char c, const char* set, bool escapeSeparators)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    if (c == '\0')
        return false;
    if (escapeSeparators && std::strchr(Separators, c))
        return false;
    return std::strchr(set, c) != nullptr;
}

QString encode(const QString& text, const char* set, bool escapeSeparators)
{
    static const char Hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        if (keeps(c, set, escapeSeparators)) {
            out.append(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out.append('%').append(Hex[byte >> 4]).append(Hex[byte & 0xF]);
        }
    }
    return QString::fromLatin1(out);
}

} // namespace

namespace UrlEncoding {

QString query(const QString& text)
{
    return encode(text, QuerySet, false);
}

QString legacy(const QString& text)
{
    return encode(text, LegacySet, false);
}

QString queryValue(const QString& text)
{
    return encode(text, QuerySet, true);
}

QString legacyValue(const QString& text)
{
    return encode(text, LegacySet, true);
}

} // namespace UrlEncoding
