#pragma once

#include <QString>

// The two percent-encodings the device server's request URLs use. Both turn
// every character outside their set into "%XX" per UTF-8 byte.
namespace UrlEncoding {

// The URL-query set: letters, digits and - . _ ~ ! $ & ' ( ) * + , ; = : @ / ? stay.
QString query(const QString& text);
// The older whole-URL escaping: every character that may stand in a URL stays
// (the query set plus # % [ ]), the rest is escaped.
QString legacy(const QString& text);

// One query value for the URL-query encoding: as query(), but the characters
// that would end or split a value ("&", "=", "?", "#", "+") are escaped too.
QString queryValue(const QString& text);
// One query value for the older escaping: as legacy(), with the same separators escaped.
QString legacyValue(const QString& text);

} // namespace UrlEncoding
