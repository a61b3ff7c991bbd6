#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

// Length of the leading number (after white space) and where it starts.
qsizetype numberSpan(const QString& text, qsizetype* start)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    *start = i;
    qsizetype j = i;
    if (j < n && (text[j] == u'+' || text[j] == u'-'))
        ++j;
    const qsizetype digitsStart = j;
    while (j < n && text[j] >= u'0' && text[j] <= u'9')
        ++j;
    if (j == digitsStart)
        return 0;
    if (j + 1 < n && text[j] == u'.' && text[j + 1] >= u'0' && text[j + 1] <= u'9') {
        j += 2;
        while (j < n && text[j] >= u'0' && text[j] <= u'9')
            ++j;
    }
    return j - i;
}

template <typename T> T toWhole(const QString& text)
{
    const double value = std::trunc(NumberText::toDouble(text));
    if (value >= double(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    if (value <= double(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    return T(value);
}

} // namespace

namespace NumberText {

double toDouble(const QString& text)
{
    qsizetype start = 0;
    const qsizetype length = numberSpan(text, &start);
    if (length == 0)
        return 0;
    return QStringView(text).mid(start, length).toDouble();
}

float toFloat(const QString& text)
{
    return float(toDouble(text));
}

int toInt(const QString& text)
{
    return toWhole<int>(text);
}

qint64 toLong(const QString& text)
{
    return toWhole<qint64>(text);
}

} // namespace NumberText

namespace {

// The leading number as the C library reads it, with exponents, "nan" and "inf".
std::from_chars_result readFull(const QString& text, double* value)
{
    const QByteArray bytes = text.trimmed().left(400).toLatin1();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    if (begin != end && *begin == '+')
        ++begin;
    const std::from_chars_result result = std::from_chars(begin, end, *value);
    return {result.ptr == begin ? nullptr : result.ptr, result.ec};
}

} // namespace

bool NumberText::isFiniteWithin(const QString& text, double limit)
{
    double value = 0;
    const std::from_chars_result result = readFull(text, &value);
    if (result.ec == std::errc::result_out_of_range)
        return false;
    if (result.ec != std::errc())
        return true;
    return std::isfinite(value) && std::fabs(value) <= limit;
}

bool NumberText::isNegativeZero(const QString& text)
{
    double value = 1;
    const std::from_chars_result result = readFull(text, &value);
    return result.ec == std::errc() && value == 0.0 && std::signbit(value);
}
