#pragma once

#include <QDate>
#include <QString>
#include <algorithm>

// What the simulated server keeps about one device: its account, if any, and the
// settings the app sends to it.
struct SimDevice
{
    QString devid;
    QString username; // empty: no account yet
    QString pwd;
    QString email;
    QString weixin;
    QString touxiang; // avatar path on this server, or empty
    QDate registered;
    QString maxspeed = "25";
    QString lightspeed = "15";
    QString weilanradio = "15";
    QString weilanmode = "1";
    int weilanwaring = 0;
    int banlvstate = -1; // negative: follows the simulation (1 riding, 0 standing)
    int banlvstateupdate = 0;

    bool hasAccount() const { return !username.isEmpty(); }

    // A device number is digits only. Anything else names no device, so that no
    // devid ever reaches a file name or a path.
    static bool isValidDevid(const QString& devid)
    {
        return !devid.isEmpty() && devid.size() <= 20 &&
               std::all_of(devid.begin(), devid.end(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    }
};
