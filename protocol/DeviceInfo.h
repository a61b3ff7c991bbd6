#pragma once

#include <QString>

// The account of a device as the device query answers it (texts, empty when absent).
struct DeviceInfo
{
    QString devid;
    QString username;
    QString pwd;
    QString email;
    QString weixin;
    QString touxiangpath;

    // The server answers "null" in devid for a device it does not know.
    bool isUnknown() const { return devid.contains(QLatin1String("null")); }
};
