#pragma once

#include <QString>

// Lenient reading of a number from text, the way the phone's string classes read
// one: leading white space is skipped, the longest leading [+-]digits[.digits] is
// taken, and text without such a number reads as 0.
namespace NumberText {

double toDouble(const QString& text);
float toFloat(const QString& text);
// Whole part, truncated toward zero and clamped to the type's range.
int toInt(const QString& text);
qint64 toLong(const QString& text);

} // namespace NumberText
