#pragma once

#include <QString>

// One point of the device's track as the track script answers it (texts).
struct TrackPoint
{
    QString serverid;
    QString lat;
    QString lng;
    QString state;
};
