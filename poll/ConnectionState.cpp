#include "poll/ConnectionState.h"

#include "platform/Localized.h"
#include "store/MyBasicInfo.h"

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

} // namespace

ConnectionState::ConnectionState(std::function<QDateTime()> now, QObject* parent)
    : QObject(parent), m_now(std::move(now))
{
}

void ConnectionState::answered(bool ok)
{
    m_failures = 0;
    if (ok) {
        // Not one of the settings made at first start: the row appears with the first answer.
        MyBasicInfo::CheckAdd(LastOkKey);
        MyBasicInfo::SetValue(LastOkKey, m_now().toString(TimeFormat));
    }
    emit changed();
}

void ConnectionState::failed()
{
    ++m_failures;
    emit changed();
}

QDateTime ConnectionState::lastOk() const
{
    return QDateTime::fromString(MyBasicInfo::GetValue(LastOkKey), TimeFormat);
}

QString ConnectionState::text() const
{
    const QString connection = reachable() ? Localized::string(QStringLiteral("已连接"))
                                           : Localized::string(QStringLiteral("无法连接服务器"));
    return connection + QStringLiteral(" · ") + ageText();
}

QString ConnectionState::ageText() const
{
    const QDateTime last = lastOk();
    if (!last.isValid())
        return Localized::string(QStringLiteral("尚无数据"));
    const qint64 secs = qMax<qint64>(0, last.secsTo(m_now()));
    const QString minutes = QString::number(secs / 60);
    if (secs > StaleAfterSecs)
        return Localized::string(QStringLiteral("数据已过时(%1 分钟前)")).arg(minutes);
    if (secs < 60)
        return Localized::string(QStringLiteral("数据更新于刚刚"));
    return Localized::string(QStringLiteral("数据更新于 %1 分钟前")).arg(minutes);
}
