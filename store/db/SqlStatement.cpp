#include "store/db/SqlStatement.h"

#include <sqlite3.h>

SqlStatement::SqlStatement(sqlite3* db, const char* sql) : m_db(db)
{
    if (!db)
        m_error = QStringLiteral("no store");
    else if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
        fail();
}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_statement);
}

bool SqlStatement::runEach(sqlite3* db, std::initializer_list<const char*> statements,
                           QString* error)
{
    for (const char* sql : statements) {
        SqlStatement statement(db, sql);
        if (!statement.run()) {
            *error = statement.error();
            return false;
        }
    }
    return true;
}

void SqlStatement::fail()
{
    if (m_error.isEmpty())
        m_error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no store");
}

SqlStatement& SqlStatement::bind(std::initializer_list<QVariant> values)
{
    if (m_statement)
        sqlite3_reset(m_statement);
    int index = 1;
    for (const QVariant& value : values) {
        if (!m_statement)
            break;
        int result = SQLITE_OK;
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Bool:
            result = sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            result = sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::UnknownType:
            result = sqlite3_bind_null(m_statement, index);
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            result = sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
        }
        }
        if (result != SQLITE_OK)
            fail();
        ++index;
    }
    return *this;
}

bool SqlStatement::run()
{
    while (next()) {
    }
    return m_error.isEmpty();
}

bool SqlStatement::next()
{
    if (!m_statement || !m_error.isEmpty())
        return false;
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE)
        fail();
    return false;
}

qint64 SqlStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double SqlStatement::number(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

QString SqlStatement::text(int column) const
{
    return QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)),
        sqlite3_column_bytes(m_statement, column));
}

bool SqlStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}
