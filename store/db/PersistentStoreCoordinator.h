#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;
struct EntityDescription;
class ManagedObjectModel;

// The SQLite store file behind the object context: one table per entity, a
// metadata table naming the model and its schema version, WAL journal.
class PersistentStoreCoordinator
{
public:
    struct Row
    {
        qint64 rowId;
        QVector<QVariant> values;
    };

    explicit PersistentStoreCoordinator(const ManagedObjectModel* model);
    ~PersistentStoreCoordinator();
    PersistentStoreCoordinator(const PersistentStoreCoordinator&) = delete;
    PersistentStoreCoordinator& operator=(const PersistentStoreCoordinator&) = delete;

    // Opens (or creates) the store file; false with the reason when it is damaged
    // or was written for another schema.
    bool addStore(const QString& path, QString* error);
    const QString& path() const { return m_path; }
    const ManagedObjectModel* model() const { return m_model; }

    bool loadAll(const EntityDescription& entity, QVector<Row>* rows, QString* error);
    bool insert(const EntityDescription& entity, const QVector<QVariant>& values, qint64* rowId,
                QString* error);
    // Writes the attributes whose bits are set in `changed` (bit i = attribute i).
    bool update(const EntityDescription& entity, qint64 rowId, const QVector<QVariant>& values,
                quint64 changed, QString* error);
    // The rows of one bulk update: each row's id and values, the changed ones shared.
    struct RowValues
    {
        qint64 rowId;
        const QVector<QVariant>* values;
    };
    // The same as update() for each row, many rows to a statement.
    bool updateRows(const EntityDescription& entity, quint64 changed,
                    const QVector<RowValues>& rows, QString* error);
    bool remove(const EntityDescription& entity, qint64 rowId, QString* error);
    bool exec(const char* sql, QString* error);
    // The open file, for the tables kept beside the entities (see SqlStatement).
    sqlite3* database() const { return m_db; }

    enum Control { Begin, Rollback, Savepoint, Release, RollbackToSavepoint, ControlCount };
    // Transaction control through prepared statements (they run on every save).
    bool control(Control what, QString* error);

    // Test hook: a non-empty answer makes the next COMMIT fail with that reason.
    void setCommitFailure(std::function<QString()> failure) { m_commitFailure = std::move(failure); }
    bool commit(QString* error);

private:
    enum StatementKind { Select, Insert, Remove, KindCount };

    static void restrictToOwner(const QString& path);

    bool checkOrCreateSchema(QString* error);
    sqlite3_stmt* entityStatement(const EntityDescription& entity, StatementKind kind,
                                  QString* error);
    sqlite3_stmt* statement(const QString& sql, QString* error);
    // Binds the values whose bits are set in `which`, in order, from parameter `first`.
    bool bind(sqlite3_stmt* statement, const QVector<QVariant>& values, quint64 which,
              int first = 1);
    sqlite3_stmt* updateRowsStatement(const EntityDescription& entity, quint64 changed, int rows,
                                      QString* error);
    static quint64 attributeMask(const EntityDescription& entity);
    bool step(sqlite3_stmt* statement, QString* error);
    QString lastError() const;

    const ManagedObjectModel* m_model;
    sqlite3* m_db = nullptr;
    QString m_path;
    QHash<QString, sqlite3_stmt*> m_statements;
    QHash<const EntityDescription*, QVector<sqlite3_stmt*>> m_entityStatements;
    QHash<const EntityDescription*, QHash<quint64, sqlite3_stmt*>> m_updateStatements;
    QHash<const EntityDescription*, QHash<quint64, sqlite3_stmt*>> m_updateRowsStatements;
    sqlite3_stmt* m_control[ControlCount + 1] = {};
    std::function<QString()> m_commitFailure;
};
