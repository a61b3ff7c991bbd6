#include "protocol/ServerAnswer.h"

#include "platform/NumberText.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QLocale>
#include <QStringDecoder>
#include <cmath>
#include <limits>

namespace {

std::optional<QString> strictUtf8(const QByteArray& body)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(body);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

ServerAnswer::ServerAnswer(const QByteArray& body) : m_body(body), m_text(strictUtf8(body))
{
    // JSON is only read from a body that is text: the parser would otherwise
    // accept invalid UTF-8 inside strings and replace it.
    if (!m_text)
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return;
    const QJsonArray array = document.array();
    for (const QJsonValue& element : array)
        if (element.isObject())
            m_list.append(element.toObject());
    if (!array.isEmpty() && array.first().isObject()) {
        m_hasRecord = true;
        m_record = array.first().toObject();
    }
}

QString ServerAnswer::logText() const
{
    return m_text ? *m_text : QStringLiteral("(null)");
}

std::optional<QString> ServerAnswer::text(const QJsonObject& object, const QString& key)
{
    // Read in place: a ranking answer reads eight thousand values, and a copied
    // QJsonValue costs more than the text it carries.
    const auto found = object.constFind(key);
    if (found == object.constEnd())
        return std::nullopt;
    const QJsonValueConstRef value = *found;
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return numberText(value.toDouble());
    return std::nullopt;
}

QString ServerAnswer::textOrEmpty(const QJsonObject& object, const QString& key)
{
    return text(object, key).value_or(QString());
}

qint64 ServerAnswer::integer(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (value.isString())
        return NumberText::toLong(value.toString());
    if (!value.isDouble())
        return 0;
    // Out-of-range numbers are clamped like the lenient text reading clamps them.
    const double number = std::trunc(value.toDouble());
    if (number >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (number <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return std::isfinite(number) ? qint64(number) : 0;
}

double ServerAnswer::number(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (value.isString())
        return NumberText::toDouble(value.toString());
    return value.isDouble() ? value.toDouble() : 0.0;
}

float ServerAnswer::number32(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (value.isString())
        return NumberText::toFloat(value.toString());
    return value.isDouble() ? float(value.toDouble()) : 0.0f;
}

QString ServerAnswer::numberText(double value)
{
    if (std::trunc(value) == value && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}
