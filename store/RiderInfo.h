#pragma once

#include <QString>

// One rider as the ranking and nearby-rider lists keep it (all values as text).
struct RiderInfo
{
    QString username;
    QString level;
    QString levelname;
    QString paiming;
    QString touxiangpath;
    QString lat;
    QString lng;
    QString weixin;
};
