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

// Whether a text meant as a number can be trusted: it is not a NaN or an infinity, its
// leading number does not overflow (as "1e309" does) and lies within +-limit. Empty text,
// and text holding no number at all (read as 0), pass.
bool isFiniteWithin(const QString& text, double limit);
// Whether the text's leading number is a zero written with a minus ("-0", "-0.0").
bool isNegativeZero(const QString& text);

} // namespace NumberText
