#pragma once

#include "platform/share/ShareService.h"

// Image-message sharing on this platform: the app registers its messaging identifier at
// launch; an identifier is accepted when it has the messaging library's form, "wx" and
// 16 lower-case hexadecimal digits.
class LocalShareService : public ShareService
{
public:
    bool registerApp(const QString& appId) override;
    QString registeredAppId() const override { return m_appId; }

    static bool isValidAppId(const QString& appId);

private:
    QString m_appId;
};
