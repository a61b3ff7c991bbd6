#pragma once

#include "tools/devserver/SimDevice.h"
#include "tools/devserver/SimMail.h"

#include <QList>
#include <QString>

struct sqlite3;

// The simulator's own database file: devices with their accounts and settings,
// and the mails sent. Without a usable file it keeps going on memory alone.
class SimStore
{
public:
    SimStore() = default;
    ~SimStore();
    SimStore(const SimStore&) = delete;
    SimStore& operator=(const SimStore&) = delete;

    bool open(const QString& path, QString* error);
    QList<SimDevice> devices() const;
    void saveDevice(const SimDevice& device);
    QList<SimMail> mails() const;
    void addMail(const SimMail& mail);

private:
    bool exec(const char* sql);

    sqlite3* m_db = nullptr;
};
