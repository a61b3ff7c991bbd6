#include "platform/share/LocalShareService.h"

#include <QRegularExpression>

bool LocalShareService::isValidAppId(const QString& appId)
{
    static const QRegularExpression form(QStringLiteral("^wx[0-9a-f]{16}$"));
    return form.match(appId).hasMatch();
}

bool LocalShareService::registerApp(const QString& appId)
{
    if (!isValidAppId(appId))
        return false;
    m_appId = appId;
    return true;
}
