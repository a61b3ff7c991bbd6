#include "store/db/PersistentStoreCoordinator.h"

#include "store/db/ManagedObjectModel.h"

#include <QFile>
#include <QStringList>
#include <sqlite3.h>

namespace {

QString columnType(AttributeDescription::Type type)
{
    switch (type) {
    case AttributeDescription::Integer:
        return QStringLiteral("INTEGER");
    case AttributeDescription::Double:
        return QStringLiteral("REAL");
    case AttributeDescription::Text:
        break;
    }
    return QStringLiteral("TEXT");
}

QStringList columnNames(const EntityDescription& entity)
{
    QStringList names;
    for (const AttributeDescription& attribute : entity.attributes)
        names.append(QLatin1Char('"') + attribute.name + QLatin1Char('"'));
    return names;
}

} // namespace

PersistentStoreCoordinator::PersistentStoreCoordinator(const ManagedObjectModel* model)
    : m_model(model)
{
}

PersistentStoreCoordinator::~PersistentStoreCoordinator()
{
    for (sqlite3_stmt* statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    if (m_db)
        sqlite3_close(m_db);
}

QString PersistentStoreCoordinator::lastError() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no store");
}

bool PersistentStoreCoordinator::exec(const char* sql, QString* error)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(message ? message : "unknown error");
    sqlite3_free(message);
    return false;
}

bool PersistentStoreCoordinator::addStore(const QString& path, QString* error)
{
    m_path = path;
    restrictToOwner(path);
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        if (error)
            *error = lastError();
        return false;
    }
    sqlite3_busy_timeout(m_db, 2000);
    // The file is checked before anything is written to it, so a file that turns
    // out to be foreign or damaged is moved aside exactly as it was found.
    return checkOrCreateSchema(error) && exec("PRAGMA journal_mode=WAL", error) &&
           exec("PRAGMA synchronous=NORMAL", error);
}

void PersistentStoreCoordinator::restrictToOwner(const QString& path)
{
    // The store holds the rider's password. SQLite gives the -wal and -shm files the
    // mode of the store file, so a store file made (empty, which SQLite takes as a
    // new store) or tightened here before the open keeps all three to the user,
    // whatever the umask. Tightening changes no byte of a file found damaged.
    const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        QFile file(path + suffix);
        if (suffix.isEmpty() && !file.exists() && file.open(QIODevice::WriteOnly))
            file.close();
        if (file.exists())
            file.setPermissions(owner);
    }
}

bool PersistentStoreCoordinator::checkOrCreateSchema(QString* error)
{
    QString reason;
    sqlite3_stmt* check = statement("PRAGMA quick_check", &reason);
    if (!check || sqlite3_step(check) != SQLITE_ROW ||
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) != "ok") {
        if (error)
            *error = reason.isEmpty() ? QStringLiteral("store file is damaged: ") + lastError()
                                      : reason;
        return false;
    }
    sqlite3_reset(check);

    sqlite3_stmt* tables = statement("SELECT count(*) FROM sqlite_master", error);
    if (!tables || sqlite3_step(tables) != SQLITE_ROW)
        return false;
    const int tableCount = sqlite3_column_int(tables, 0);
    sqlite3_reset(tables);

    if (tableCount > 0) {
        sqlite3_stmt* meta = statement("SELECT value FROM lvxing_meta WHERE key = 'model'", error);
        const QString expected = m_model->name() + QLatin1Char(':') + QString::number(m_model->version());
        if (!meta || sqlite3_step(meta) != SQLITE_ROW ||
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(meta, 0))) != expected) {
            if (meta)
                sqlite3_reset(meta);
            if (error)
                *error = QStringLiteral("store file was written for another model than ") + expected;
            return false;
        }
        sqlite3_reset(meta);
        return true;
    }

    // A new store is made without waiting for the disk: the switch to WAL and the schema
    // would otherwise cost a handful of syncs before the first screen shows. A store cut
    // short by a crash is found damaged or empty on the next start and made afresh, and
    // holds nothing of the rider's yet.
    QStringList sql{"PRAGMA synchronous=OFF", "PRAGMA journal_mode=WAL", "BEGIN",
                    "CREATE TABLE lvxing_meta (key TEXT PRIMARY KEY, value TEXT)",
                    QStringLiteral("INSERT INTO lvxing_meta VALUES ('model', '%1:%2')")
                        .arg(m_model->name())
                        .arg(m_model->version())};
    for (const EntityDescription& entity : m_model->entities()) {
        QStringList columns;
        for (const AttributeDescription& attribute : entity.attributes)
            columns.append(QStringLiteral("\"%1\" %2").arg(attribute.name, columnType(attribute.type)));
        sql.append(QStringLiteral("CREATE TABLE \"%1\" (rowid INTEGER PRIMARY KEY, %2)")
                       .arg(entity.name, columns.join(", ")));
        for (const QString& indexed : entity.indexed)
            sql.append(QStringLiteral("CREATE INDEX \"%1_%2\" ON \"%1\" (\"%2\")").arg(entity.name, indexed));
    }
    sql.append("COMMIT");
    for (const QString& line : sql) {
        if (!exec(line.toUtf8().constData(), error)) {
            exec("ROLLBACK", nullptr);
            return false;
        }
    }
    return true;
}

sqlite3_stmt* PersistentStoreCoordinator::statement(const QString& sql, QString* error)
{
    auto found = m_statements.constFind(sql);
    if (found != m_statements.constEnd())
        return *found;
    sqlite3_stmt* prepared = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &prepared, nullptr) != SQLITE_OK) {
        if (error)
            *error = lastError();
        return nullptr;
    }
    m_statements.insert(sql, prepared);
    return prepared;
}

sqlite3_stmt* PersistentStoreCoordinator::entityStatement(const EntityDescription& entity,
                                                         StatementKind kind, QString* error)
{
    QVector<sqlite3_stmt*>& prepared = m_entityStatements[&entity];
    if (prepared.isEmpty())
        prepared.fill(nullptr, KindCount);
    if (prepared[kind])
        return prepared[kind];
    const QStringList columns = columnNames(entity);
    QString sql;
    switch (kind) {
    case Select:
        sql = QStringLiteral("SELECT rowid, %1 FROM \"%2\" ORDER BY rowid").arg(columns.join(", "), entity.name);
        break;
    case Insert: {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks.append(QStringLiteral("?"));
        sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                  .arg(entity.name, columns.join(", "), marks.join(", "));
        break;
    }
    case Remove:
    case KindCount:
        sql = QStringLiteral("DELETE FROM \"%1\" WHERE rowid = ?").arg(entity.name);
        break;
    }
    prepared[kind] = statement(sql, error);
    return prepared[kind];
}

bool PersistentStoreCoordinator::bind(sqlite3_stmt* statement, const QVector<QVariant>& values,
                                      quint64 which, int first)
{
    int parameter = first;
    for (int i = 0; i < values.size(); ++i) {
        if (!(which & (quint64(1) << i)))
            continue;
        const QVariant& value = values[i];
        int rc = SQLITE_OK;
        if (!value.isValid() || value.isNull()) {
            rc = sqlite3_bind_null(statement, parameter);
        } else if (value.typeId() == QMetaType::QString) {
            const QString* text = static_cast<const QString*>(value.constData());
            rc = sqlite3_bind_text16(statement, parameter, text->utf16(), int(text->size() * 2),
                                     SQLITE_TRANSIENT);
        } else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            rc = sqlite3_bind_double(statement, parameter, value.toDouble());
        } else {
            rc = sqlite3_bind_int64(statement, parameter, value.toLongLong());
        }
        if (rc != SQLITE_OK)
            return false;
        ++parameter;
    }
    return true;
}

bool PersistentStoreCoordinator::step(sqlite3_stmt* statement, QString* error)
{
    // Each use binds every parameter anew, so the old bindings are left as they are.
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW)
        return true;
    if (error)
        *error = lastError();
    return false;
}

bool PersistentStoreCoordinator::loadAll(const EntityDescription& entity, QVector<Row>* rows,
                                         QString* error)
{
    if (!m_db) {
        if (error)
            *error = lastError();
        return false;
    }
    sqlite3_stmt* select = entityStatement(entity, Select, error);
    if (!select)
        return false;
    int rc;
    while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
        Row row{sqlite3_column_int64(select, 0), QVector<QVariant>(entity.attributes.size())};
        for (int i = 0; i < entity.attributes.size(); ++i) {
            const int column = i + 1;
            switch (sqlite3_column_type(select, column)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                row.values[i] = qint64(sqlite3_column_int64(select, column));
                break;
            case SQLITE_FLOAT:
                row.values[i] = sqlite3_column_double(select, column);
                break;
            default:
                row.values[i] = QString::fromUtf16(
                    static_cast<const char16_t*>(sqlite3_column_text16(select, column)),
                    sqlite3_column_bytes16(select, column) / 2);
            }
        }
        rows->append(std::move(row));
    }
    sqlite3_reset(select);
    if (rc != SQLITE_DONE) {
        if (error)
            *error = lastError();
        return false;
    }
    return true;
}

bool PersistentStoreCoordinator::insert(const EntityDescription& entity,
                                        const QVector<QVariant>& values, qint64* rowId,
                                        QString* error)
{
    sqlite3_stmt* insert = entityStatement(entity, Insert, error);
    if (!insert || !bind(insert, values, ~quint64(0)) || !step(insert, error))
        return false;
    *rowId = sqlite3_last_insert_rowid(m_db);
    return true;
}

bool PersistentStoreCoordinator::update(const EntityDescription& entity, qint64 rowId,
                                        const QVector<QVariant>& values, quint64 changed,
                                        QString* error)
{
    // Only the changed columns are written, so an indexed column that did not
    // change costs no index update.
    changed &= attributeMask(entity);
    if (!changed)
        return true;
    sqlite3_stmt*& update = m_updateStatements[&entity][changed];
    if (!update) {
        QStringList assignments;
        for (int i = 0; i < values.size(); ++i)
            if (changed & (quint64(1) << i))
                assignments.append(QLatin1Char('"') + entity.attributes[i].name + QStringLiteral("\" = ?"));
        update = statement(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?")
                               .arg(entity.name, assignments.join(", ")),
                           error);
    }
    if (!update || !bind(update, values, changed))
        return false;
    sqlite3_bind_int64(update, qPopulationCount(changed) + 1, rowId);
    return step(update, error);
}

quint64 PersistentStoreCoordinator::attributeMask(const EntityDescription& entity)
{
    const qsizetype count = entity.attributes.size();
    return count >= 64 ? ~quint64(0) : (quint64(1) << count) - 1;
}

bool PersistentStoreCoordinator::updateRows(const EntityDescription& entity, quint64 changed,
                                            const QVector<RowValues>& rows, QString* error)
{
    // A statement per row costs SQLite about as much again as the row's own write; a
    // ranking answer changes a thousand rows at once.
    changed &= attributeMask(entity);
    if (!changed)
        return true;
    const int columns = qPopulationCount(changed) + 1;
    const int perStatement =
        qBound(1, sqlite3_limit(m_db, SQLITE_LIMIT_VARIABLE_NUMBER, -1) / columns, 128);
    sqlite3_stmt* update = updateRowsStatement(entity, changed, perStatement, nullptr);
    if (!update) {
        // An SQLite before 3.33 has no UPDATE ... FROM.
        for (const RowValues& row : rows)
            if (!this->update(entity, row.rowId, *row.values, changed, error))
                return false;
        return true;
    }
    for (qsizetype first = 0; first < rows.size(); first += perStatement) {
        for (int i = 0; i < perStatement; ++i) {
            const int parameter = i * columns + 1;
            if (first + i >= rows.size()) {
                // Rows past the end match no row: a NULL id equals nothing.
                for (int column = 0; column < columns; ++column)
                    sqlite3_bind_null(update, parameter + column);
                continue;
            }
            const RowValues& row = rows[first + i];
            if (sqlite3_bind_int64(update, parameter, row.rowId) != SQLITE_OK ||
                !bind(update, *row.values, changed, parameter + 1)) {
                if (error)
                    *error = lastError();
                return false;
            }
        }
        if (!step(update, error))
            return false;
    }
    return true;
}

sqlite3_stmt* PersistentStoreCoordinator::updateRowsStatement(const EntityDescription& entity,
                                                              quint64 changed, int rows,
                                                              QString* error)
{
    sqlite3_stmt*& update = m_updateRowsStatements[&entity][changed];
    if (update)
        return update;
    QStringList assignments;
    for (int i = 0; i < entity.attributes.size(); ++i)
        if (changed & (quint64(1) << i))
            assignments.append(QStringLiteral("\"%1\" = v.column%2")
                                   .arg(entity.attributes[i].name)
                                   .arg(assignments.size() + 2));
    const QString row = QLatin1Char('(') + QStringList(assignments.size() + 1, "?").join(',') + ')';
    const QString sql =
        QStringLiteral("UPDATE \"%1\" SET %2 FROM (VALUES %3) AS v"
                       " WHERE \"%1\".rowid = v.column1")
            .arg(entity.name, assignments.join(", "), QStringList(rows, row).join(','));
    update = statement(sql, error);
    return update;
}

bool PersistentStoreCoordinator::control(Control what, QString* error)
{
    static const char* const sql[] = {"BEGIN", "ROLLBACK", "SAVEPOINT context_save",
                                      "RELEASE context_save", "ROLLBACK TO context_save"};
    if (!m_control[what])
        m_control[what] = statement(QString::fromLatin1(sql[what]), error);
    return m_control[what] && step(m_control[what], error);
}

bool PersistentStoreCoordinator::remove(const EntityDescription& entity, qint64 rowId,
                                        QString* error)
{
    sqlite3_stmt* remove = entityStatement(entity, Remove, error);
    if (!remove)
        return false;
    sqlite3_bind_int64(remove, 1, rowId);
    return step(remove, error);
}

bool PersistentStoreCoordinator::commit(QString* error)
{
    if (m_commitFailure) {
        const QString reason = m_commitFailure();
        if (!reason.isEmpty()) {
            if (error)
                *error = reason;
            return false;
        }
    }
    if (!m_control[ControlCount])
        m_control[ControlCount] = statement(QStringLiteral("COMMIT"), error);
    return m_control[ControlCount] && step(m_control[ControlCount], error);
}
