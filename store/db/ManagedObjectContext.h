#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>
#include <vector>

class ManagedObject;
class PersistentStoreCoordinator;
struct EntityDescription;

// What a fetch asks for: all rows of an entity, the rows whose text attribute
// equals a value, or the rows whose attribute read as a number is above one.
struct FetchRequest
{
    enum Predicate { All, Equal, GreaterThanNumber };

    static FetchRequest all(const QString& entity) { return {entity, All, {}, {}}; }
    static FetchRequest equal(const QString& entity, const QString& attribute, const QString& value)
    {
        return {entity, Equal, attribute, value};
    }
    static FetchRequest greaterThan(const QString& entity, const QString& attribute, double value)
    {
        return {entity, GreaterThanNumber, attribute, value};
    }

    QString entity;
    Predicate predicate = All;
    QString attribute;
    QVariant value;
};

// The one main-thread object context over the store file. It keeps every row it
// has fetched in memory, answers fetches from there (unsaved changes included,
// rows in insertion order) and writes the changes when asked to save.
class ManagedObjectContext
{
public:
    explicit ManagedObjectContext(PersistentStoreCoordinator* coordinator);
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext&) = delete;
    ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

    // The matching rows; an empty list (and the reason) when the store cannot be read.
    QList<ManagedObject*> fetch(const FetchRequest& request, QString* error = nullptr);
    // The first row whose text attribute equals the value, or null.
    ManagedObject* fetchFirst(const QString& entity, const QString& attribute, const QString& value,
                              QString* error = nullptr);
    int count(const FetchRequest& request, QString* error = nullptr);
    ManagedObject* insert(const QString& entity);
    void deleteObject(ManagedObject* object);
    // Deletes many rows in one pass over each entity, in place of one pass per row.
    void deleteObjects(const QList<ManagedObject*>& objects);

    bool hasChanges() const;
    // Writes every change; on failure the changes stay for the next save.
    bool save(QString* error = nullptr);

    // Saves between beginBatch and endBatch reach the file as one transaction.
    void beginBatch();
    bool endBatch(QString* error = nullptr);
    bool inBatch() const { return m_batchDepth > 0; }

    PersistentStoreCoordinator* coordinator() const { return m_coordinator; }

private:
    friend class ManagedObject;

    struct Index
    {
        quint64 objectsGeneration = ~0ull;
        quint64 attributeGeneration = ~0ull;
        QHash<QString, QList<ManagedObject*>> rows;
        // Changes followed since a fetch last read the index.
        qsizetype unread = 0;
    };
    struct Count
    {
        quint64 objectsGeneration = ~0ull;
        quint64 attributeGeneration = ~0ull;
        double above = 0;
        int count = 0;
        // Changes followed since count() last read it.
        qsizetype unread = 0;
    };
    struct EntityState
    {
        const EntityDescription* description = nullptr;
        bool loaded = false;
        std::vector<std::unique_ptr<ManagedObject>> objects;
        quint64 objectsGeneration = 0;
        QVector<quint64> attributeGenerations;
        QHash<int, Index> indexes;
        QHash<int, Count> counts;
    };
    struct BatchUndo
    {
        QList<ManagedObject*> written;
        QList<ManagedObject*> inserted;
        std::vector<std::unique_ptr<ManagedObject>> deleted;
    };

    EntityState* state(const QString& entity, QString* error);
    const QList<ManagedObject*>& equalRows(EntityState& entity, int attribute, const QString& value);
    bool load(EntityState& state, QString* error);
    void objectChanged(ManagedObject* object, int attribute, const QVariant& old);
    void objectAdded(EntityState& entity, ManagedObject* object);
    void objectRemoved(EntityState& entity, ManagedObject* object);
    // Moves the entity's deleted rows to the pending deletes; the rest keep their order.
    void dropDeleted(EntityState& entity);
    // The attributes whose index and count are still current, found before a change
    // bumps the entity's generation; only those are kept up to date in place.
    static void currentLookups(EntityState& entity, QList<int>& indexes, QList<int>& counts);
    static bool followsChanges(const EntityState& entity, Index& index, int attribute);
    static bool followsChanges(const EntityState& entity, Count& count, int attribute);
    static bool keepsUp(const EntityState& entity, qsizetype& unread);
    static bool indexValid(const EntityState& entity, const Index& index, int attribute);
    static bool countValid(const EntityState& entity, const Count& count, int attribute);
    bool writeChanges(QList<ManagedObject*>* inserted, QString* error);
    bool writeUpdates(std::vector<ManagedObject*>& objects, QString* error);
    // Writes rows of one entity with the same changes: one by one when they are few.
    bool writeUpdateRun(std::vector<ManagedObject*>::const_iterator first,
                        std::vector<ManagedObject*>::const_iterator last, QString* error);
    void restoreAfterFailedBatch();

    static constexpr int BulkUpdateRows = 8;

    PersistentStoreCoordinator* m_coordinator;
    std::vector<EntityState> m_entities;
    QList<ManagedObject*> m_dirty;
    std::vector<std::unique_ptr<ManagedObject>> m_pendingDeletes;
    quint64 m_nextSerial = 1;
    int m_batchDepth = 0;
    bool m_batchOpen = false;
    BatchUndo m_batchUndo;
};

// Saves made while it lives are committed together when it ends.
class ContextBatch
{
public:
    explicit ContextBatch(ManagedObjectContext* context);
    ~ContextBatch();
    ContextBatch(const ContextBatch&) = delete;
    ContextBatch& operator=(const ContextBatch&) = delete;

private:
    ManagedObjectContext* m_context;
};
