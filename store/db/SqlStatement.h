#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One SQL statement on the store file, for the tables the store keeps beside its
// entities (logs that grow by appending and are read a page at a time, never held
// whole in memory). Prepared on construction, finalized on destruction.
class SqlStatement
{
public:
    SqlStatement(sqlite3* db, const char* sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Runs each statement in turn (the tables' schema, made on first use); false, with the
    // failing one's error, when one fails.
    static bool runEach(sqlite3* db, std::initializer_list<const char*> statements, QString* error);

    // Binds parameters 1, 2, … in order: integers, doubles, text, or null for an invalid value.
    // A statement run before starts over, so one statement serves row after row.
    SqlStatement& bind(std::initializer_list<QVariant> values);
    // Runs to the end; false (and error()) when preparing or running failed.
    bool run();
    // Steps to the next row; false at the end or on failure (then error() says why).
    bool next();
    qint64 integer(int column) const;
    double number(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;
    const QString& error() const { return m_error; }

private:
    void fail();

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
    QString m_error;
};
