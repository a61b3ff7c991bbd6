#pragma once

#include "store/RiderInfo.h"

#include <QList>
#include <QString>
#include <sqlite3.h>

// The floor of a ranking merge: the same riders upserted by bare SQLite in one
// transaction (an UPDATE by user name, an INSERT when it changed no row), with prepared
// statements, into a table shaped like the ranking cache's (same columns and indexes)
// in a file of its own in the store's journal and sync mode.
class BareRankingUpsert
{
public:
    explicit BareRankingUpsert(const QString& path)
    {
        sqlite3_open(path.toUtf8().constData(), &m_db);
        exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
             "CREATE TABLE IF NOT EXISTS ranking (rowid INTEGER PRIMARY KEY, id INTEGER,"
             " username TEXT, level TEXT, levelname TEXT, paiming TEXT, touxiangpath TEXT,"
             " lat TEXT, lng TEXT, weixin TEXT);"
             "CREATE INDEX IF NOT EXISTS ranking_username ON ranking (username);"
             "CREATE INDEX IF NOT EXISTS ranking_paiming ON ranking (paiming);");
        sqlite3_prepare_v2(
            m_db,
            "UPDATE ranking SET level = ?1, levelname = ?2, paiming = ?3,"
            " touxiangpath = ?4, lat = ?5, lng = ?6, weixin = ?7 WHERE username = ?8",
            -1, &m_update, nullptr);
        sqlite3_prepare_v2(m_db,
                           "INSERT INTO ranking (level, levelname, paiming, touxiangpath, lat, lng,"
                           " weixin, username, id) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, 1)",
                           -1, &m_insert, nullptr);
        sqlite3_prepare_v2(m_db, "BEGIN", -1, &m_begin, nullptr);
        sqlite3_prepare_v2(m_db, "COMMIT", -1, &m_commit, nullptr);
    }
    ~BareRankingUpsert()
    {
        for (sqlite3_stmt* statement : {m_update, m_insert, m_begin, m_commit})
            sqlite3_finalize(statement);
        sqlite3_close(m_db);
    }
    BareRankingUpsert(const BareRankingUpsert&) = delete;
    BareRankingUpsert& operator=(const BareRankingUpsert&) = delete;

    void upsert(const QList<RiderInfo>& riders)
    {
        run(m_begin);
        for (const RiderInfo& rider : riders) {
            bind(m_update, rider);
            run(m_update);
            if (sqlite3_changes(m_db) == 0) {
                bind(m_insert, rider);
                run(m_insert);
            }
        }
        run(m_commit);
    }

private:
    void exec(const char* sql) { sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }
    static void run(sqlite3_stmt* statement)
    {
        sqlite3_step(statement);
        sqlite3_reset(statement);
    }
    static void bind(sqlite3_stmt* statement, const RiderInfo& rider)
    {
        int parameter = 0;
        for (const QString* text :
             {&rider.level, &rider.levelname, &rider.paiming, &rider.touxiangpath, &rider.lat,
              &rider.lng, &rider.weixin, &rider.username})
            sqlite3_bind_text16(statement, ++parameter, text->utf16(), int(text->size() * 2),
                                SQLITE_STATIC);
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_update = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_begin = nullptr;
    sqlite3_stmt* m_commit = nullptr;
};
