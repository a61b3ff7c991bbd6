#include "tools/devserver/SimStore.h"

#include <sqlite3.h>

namespace {

QString columnText(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text) : QString();
}

void bindText(sqlite3_stmt* statement, int index, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

SimStore::~SimStore()
{
    if (m_db)
        sqlite3_close(m_db);
}

bool SimStore::open(const QString& path, QString* error)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    // The simulator's data is a convenience, not a record: quick writes matter more
    // than surviving a power cut.
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
    const bool ok = exec("CREATE TABLE IF NOT EXISTS device (devid TEXT PRIMARY KEY, "
                         "username TEXT, pwd TEXT, email TEXT, weixin TEXT, touxiang TEXT, "
                         "registered TEXT, maxspeed TEXT, lightspeed TEXT, weilanradio TEXT, "
                         "weilanmode TEXT, weilanwaring INTEGER, banlvstate INTEGER, "
                         "banlvstateupdate INTEGER)") &&
                    exec("CREATE TABLE IF NOT EXISTS mail (id INTEGER PRIMARY KEY, "
                         "sent TEXT, recipient TEXT, subject TEXT, body TEXT, code TEXT, "
                         "file TEXT)");
    if (!ok)
        *error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return ok;
}

bool SimStore::exec(const char* sql)
{
    return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QList<SimDevice> SimStore::devices() const
{
    QList<SimDevice> devices;
    sqlite3_stmt* statement = nullptr;
    if (!m_db || sqlite3_prepare_v2(m_db,
                                    "SELECT devid, username, pwd, email, weixin, touxiang, "
                                    "registered, maxspeed, lightspeed, weilanradio, weilanmode, "
                                    "weilanwaring, banlvstate, banlvstateupdate FROM device "
                                    "ORDER BY devid",
                                    -1, &statement, nullptr) != SQLITE_OK)
        return devices;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        SimDevice d;
        d.devid = columnText(statement, 0);
        d.username = columnText(statement, 1);
        d.pwd = columnText(statement, 2);
        d.email = columnText(statement, 3);
        d.weixin = columnText(statement, 4);
        d.touxiang = columnText(statement, 5);
        d.registered = QDate::fromString(columnText(statement, 6), Qt::ISODate);
        d.maxspeed = columnText(statement, 7);
        d.lightspeed = columnText(statement, 8);
        d.weilanradio = columnText(statement, 9);
        d.weilanmode = columnText(statement, 10);
        d.weilanwaring = sqlite3_column_int(statement, 11);
        d.banlvstate = sqlite3_column_int(statement, 12);
        d.banlvstateupdate = sqlite3_column_int(statement, 13);
        devices.append(d);
    }
    sqlite3_finalize(statement);
    return devices;
}

void SimStore::saveDevice(const SimDevice& d)
{
    sqlite3_stmt* statement = nullptr;
    if (!m_db || sqlite3_prepare_v2(m_db,
                                    "INSERT OR REPLACE INTO device VALUES "
                                    "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                                    -1, &statement, nullptr) != SQLITE_OK)
        return;
    const QStringList texts{d.devid,
                            d.username,
                            d.pwd,
                            d.email,
                            d.weixin,
                            d.touxiang,
                            d.registered.toString(Qt::ISODate),
                            d.maxspeed,
                            d.lightspeed,
                            d.weilanradio,
                            d.weilanmode};
    for (int i = 0; i < texts.size(); ++i)
        bindText(statement, i + 1, texts.at(i));
    sqlite3_bind_int(statement, 12, d.weilanwaring);
    sqlite3_bind_int(statement, 13, d.banlvstate);
    sqlite3_bind_int(statement, 14, d.banlvstateupdate);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
}

QList<SimMail> SimStore::mails() const
{
    QList<SimMail> mails;
    sqlite3_stmt* statement = nullptr;
    if (!m_db || sqlite3_prepare_v2(m_db,
                                    "SELECT sent, recipient, subject, body, code, file FROM mail "
                                    "ORDER BY id",
                                    -1, &statement, nullptr) != SQLITE_OK)
        return mails;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        SimMail mail;
        mail.sent = QDateTime::fromString(columnText(statement, 0), Qt::ISODate);
        mail.to = columnText(statement, 1);
        mail.subject = columnText(statement, 2);
        mail.body = columnText(statement, 3);
        mail.code = columnText(statement, 4);
        mail.file = columnText(statement, 5);
        mails.append(mail);
    }
    sqlite3_finalize(statement);
    return mails;
}

void SimStore::addMail(const SimMail& mail)
{
    sqlite3_stmt* statement = nullptr;
    if (!m_db || sqlite3_prepare_v2(m_db,
                                    "INSERT INTO mail (sent, recipient, subject, body, code, file) "
                                    "VALUES (?, ?, ?, ?, ?, ?)",
                                    -1, &statement, nullptr) != SQLITE_OK)
        return;
    const QStringList texts{
        mail.sent.toString(Qt::ISODate), mail.to, mail.subject, mail.body, mail.code, mail.file};
    for (int i = 0; i < texts.size(); ++i)
        bindText(statement, i + 1, texts.at(i));
    sqlite3_step(statement);
    sqlite3_finalize(statement);
}
