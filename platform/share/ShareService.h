#pragma once

#include <QString>

// Image-message sharing (the messaging library's stand-in): the app registers
// its identifier at launch.
class ShareService
{
public:
    virtual ~ShareService() = default;
    virtual bool registerApp(const QString& appId) = 0;
    virtual QString registeredAppId() const = 0;
};
