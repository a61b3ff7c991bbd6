#include "store/db/ManagedObjectContext.h"

#include "platform/Log.h"
#include "platform/NumberText.h"
#include "store/db/ManagedObject.h"
#include "store/db/ManagedObjectModel.h"
#include "store/db/PersistentStoreCoordinator.h"

#include <algorithm>
#include <iterator>

ManagedObjectContext::ManagedObjectContext(PersistentStoreCoordinator* coordinator)
    : m_coordinator(coordinator)
{
    for (const EntityDescription& entity : coordinator->model()->entities()) {
        EntityState state;
        state.description = &entity;
        state.attributeGenerations.fill(0, entity.attributes.size());
        m_entities.push_back(std::move(state));
    }
}

ManagedObjectContext::~ManagedObjectContext()
{
    if (m_batchOpen) {
        m_batchDepth = 1;
        endBatch(nullptr);
    }
}

ManagedObjectContext::EntityState* ManagedObjectContext::state(const QString& entity,
                                                               QString* error)
{
    for (EntityState& state : m_entities) {
        if (state.description->name != entity)
            continue;
        if (!state.loaded && !load(state, error))
            return nullptr;
        return &state;
    }
    if (error)
        *error = QStringLiteral("no entity named ") + entity;
    return nullptr;
}

bool ManagedObjectContext::load(EntityState& state, QString* error)
{
    QVector<PersistentStoreCoordinator::Row> rows;
    if (!m_coordinator->loadAll(*state.description, &rows, error))
        return false;
    const int entityIndex = int(&state - m_entities.data());
    state.objects.reserve(size_t(rows.size()));
    for (PersistentStoreCoordinator::Row& row : rows) {
        auto object = std::make_unique<ManagedObject>(this, state.description, entityIndex);
        object->m_rowId = row.rowId;
        object->m_serial = m_nextSerial++;
        object->m_values = std::move(row.values);
        state.objects.push_back(std::move(object));
    }
    state.loaded = true;
    ++state.objectsGeneration;
    return true;
}

QList<ManagedObject*> ManagedObjectContext::fetch(const FetchRequest& request, QString* error)
{
    QList<ManagedObject*> found;
    EntityState* entity = state(request.entity, error);
    if (!entity)
        return found;
    const int attribute = entity->description->indexOf(request.attribute);
    switch (request.predicate) {
    case FetchRequest::All:
        found.reserve(qsizetype(entity->objects.size()));
        for (const auto& object : entity->objects)
            found.append(object.get());
        break;
    case FetchRequest::Equal:
        if (attribute >= 0)
            found = equalRows(*entity, attribute, request.value.toString());
        break;
    case FetchRequest::GreaterThanNumber:
        if (attribute < 0)
            break;
        for (const auto& object : entity->objects)
            if (NumberText::toDouble(object->m_values[attribute].toString()) > request.value.toDouble())
                found.append(object.get());
        break;
    }
    return found;
}

const QList<ManagedObject*>& ManagedObjectContext::equalRows(EntityState& entity, int attribute,
                                                             const QString& value)
{
    static const QList<ManagedObject*> none;
    Index& index = entity.indexes[attribute];
    if (!indexValid(entity, index, attribute)) {
        index.rows.clear();
        for (const auto& object : entity.objects)
            index.rows[object->m_values[attribute].toString()].append(object.get());
        index.objectsGeneration = entity.objectsGeneration;
        index.attributeGeneration = entity.attributeGenerations[attribute];
    }
    index.unread = 0;
    const auto rows = index.rows.constFind(value);
    return rows == index.rows.cend() ? none : *rows;
}

ManagedObject* ManagedObjectContext::fetchFirst(const QString& entity, const QString& attribute,
                                                const QString& value, QString* error)
{
    EntityState* found = state(entity, error);
    const int position = found ? found->description->indexOf(attribute) : -1;
    if (position < 0)
        return nullptr;
    const QList<ManagedObject*>& rows = equalRows(*found, position, value);
    return rows.isEmpty() ? nullptr : rows.first();
}

int ManagedObjectContext::count(const FetchRequest& request, QString* error)
{
    if (request.predicate != FetchRequest::GreaterThanNumber)
        return int(fetch(request, error).size());
    EntityState* entity = state(request.entity, error);
    const int attribute = entity ? entity->description->indexOf(request.attribute) : -1;
    if (attribute < 0)
        return 0;
    Count& cached = entity->counts[attribute];
    if (cached.objectsGeneration != entity->objectsGeneration ||
        cached.attributeGeneration != entity->attributeGenerations[attribute] ||
        cached.above != request.value.toDouble()) {
        cached.count = int(fetch(request, error).size());
        cached.above = request.value.toDouble();
        cached.objectsGeneration = entity->objectsGeneration;
        cached.attributeGeneration = entity->attributeGenerations[attribute];
    }
    cached.unread = 0;
    return cached.count;
}

ManagedObject* ManagedObjectContext::insert(const QString& entity)
{
    EntityState* found = state(entity, nullptr);
    if (!found)
        return nullptr;
    const int entityIndex = int(found - m_entities.data());
    found->objects.push_back(std::make_unique<ManagedObject>(this, found->description, entityIndex));
    ManagedObject* object = found->objects.back().get();
    object->m_serial = m_nextSerial++;
    object->m_dirty = true;
    m_dirty.append(object);
    objectAdded(*found, object);
    return object;
}

void ManagedObjectContext::deleteObject(ManagedObject* object)
{
    if (!object || object->m_deleted)
        return;
    EntityState& entity = m_entities[size_t(object->m_entityIndex)];
    auto it = std::find_if(entity.objects.begin(), entity.objects.end(),
                           [object](const auto& owned) { return owned.get() == object; });
    if (it == entity.objects.end())
        return;
    object->m_deleted = true;
    if (object->m_dirty) {
        object->m_dirty = false;
        m_dirty.removeOne(object);
    }
    m_pendingDeletes.push_back(std::move(*it));
    entity.objects.erase(it);
    objectRemoved(entity, object);
}

void ManagedObjectContext::deleteObjects(const QList<ManagedObject*>& objects)
{
    std::vector<bool> touched(m_entities.size(), false);
    bool dirtyDeleted = false;
    for (ManagedObject* object : objects) {
        if (!object || object->m_deleted || object->m_context != this)
            continue;
        EntityState& entity = m_entities[size_t(object->m_entityIndex)];
        object->m_deleted = true;
        dirtyDeleted = dirtyDeleted || object->m_dirty;
        object->m_dirty = false;
        touched[size_t(object->m_entityIndex)] = true;
        objectRemoved(entity, object);
    }
    if (dirtyDeleted)
        m_dirty.removeIf([](const ManagedObject* object) { return object->m_deleted; });
    for (size_t i = 0; i < m_entities.size(); ++i)
        if (touched[i])
            dropDeleted(m_entities[i]);
}

void ManagedObjectContext::dropDeleted(EntityState& entity)
{
    auto& objects = entity.objects;
    const auto gone = std::stable_partition(objects.begin(), objects.end(),
                                            [](const auto& object) { return !object->m_deleted; });
    std::move(gone, objects.end(), std::back_inserter(m_pendingDeletes));
    objects.erase(gone, objects.end());
}

bool ManagedObjectContext::indexValid(const EntityState& entity, const Index& index, int attribute)
{
    return index.objectsGeneration == entity.objectsGeneration &&
           index.attributeGeneration == entity.attributeGenerations[attribute];
}

bool ManagedObjectContext::countValid(const EntityState& entity, const Count& count, int attribute)
{
    return count.objectsGeneration == entity.objectsGeneration &&
           count.attributeGeneration == entity.attributeGenerations[attribute];
}

bool ManagedObjectContext::followsChanges(const EntityState& entity, Index& index, int attribute)
{
    return indexValid(entity, index, attribute) && keepsUp(entity, index.unread);
}

bool ManagedObjectContext::followsChanges(const EntityState& entity, Count& count, int attribute)
{
    return countValid(entity, count, attribute) && keepsUp(entity, count.unread);
}

bool ManagedObjectContext::keepsUp(const EntityState& entity, qsizetype& unread)
{
    // A lookup that many changes reach before a fetch reads it is rebuilt by that fetch
    // instead: a ranking answer moves every rider's rank, and following each move costs
    // more than one pass over the rows.
    return ++unread <= std::max<qsizetype>(16, qsizetype(entity.objects.size()) / 8);
}

void ManagedObjectContext::currentLookups(EntityState& entity, QList<int>& indexes,
                                          QList<int>& counts)
{
    for (auto it = entity.indexes.begin(); it != entity.indexes.end(); ++it)
        if (followsChanges(entity, *it, it.key()))
            indexes.append(it.key());
    for (auto it = entity.counts.begin(); it != entity.counts.end(); ++it)
        if (followsChanges(entity, *it, it.key()))
            counts.append(it.key());
}

// The lookup indexes and counts follow each change in place, so a merge of many
// riders does not rebuild them once per row.
void ManagedObjectContext::objectAdded(EntityState& entity, ManagedObject* object)
{
    QList<int> validIndexes, validCounts;
    currentLookups(entity, validIndexes, validCounts);
    ++entity.objectsGeneration;
    for (int attribute : validIndexes) {
        Index& index = entity.indexes[attribute];
        index.rows[object->m_values[attribute].toString()].append(object);
        index.objectsGeneration = entity.objectsGeneration;
    }
    for (int attribute : validCounts) {
        Count& count = entity.counts[attribute];
        if (NumberText::toDouble(object->m_values[attribute].toString()) > count.above)
            ++count.count;
        count.objectsGeneration = entity.objectsGeneration;
    }
}

void ManagedObjectContext::objectRemoved(EntityState& entity, ManagedObject* object)
{
    QList<int> validIndexes, validCounts;
    currentLookups(entity, validIndexes, validCounts);
    ++entity.objectsGeneration;
    for (int attribute : validIndexes) {
        Index& index = entity.indexes[attribute];
        const QString key = object->m_values[attribute].toString();
        auto rows = index.rows.find(key);
        if (rows != index.rows.end()) {
            rows->removeOne(object);
            if (rows->isEmpty())
                index.rows.erase(rows);
        }
        index.objectsGeneration = entity.objectsGeneration;
    }
    for (int attribute : validCounts) {
        Count& count = entity.counts[attribute];
        if (NumberText::toDouble(object->m_values[attribute].toString()) > count.above)
            --count.count;
        count.objectsGeneration = entity.objectsGeneration;
    }
}

void ManagedObjectContext::objectChanged(ManagedObject* object, int attribute, const QVariant& old)
{
    EntityState& entity = m_entities[size_t(object->m_entityIndex)];
    auto index = entity.indexes.find(attribute);
    const bool keepIndex =
        index != entity.indexes.end() && followsChanges(entity, *index, attribute);
    auto count = entity.counts.find(attribute);
    const bool keepCount =
        count != entity.counts.end() && followsChanges(entity, *count, attribute);
    const quint64 generation = ++entity.attributeGenerations[attribute];
    const QString now = object->m_values[attribute].toString();
    if (keepIndex) {
        const QString before = old.toString();
        auto rows = index->rows.find(before);
        if (rows != index->rows.end()) {
            rows->removeOne(object);
            if (rows->isEmpty())
                index->rows.erase(rows);
        }
        QList<ManagedObject*>& target = index->rows[now];
        const auto position = std::lower_bound(
            target.begin(), target.end(), object,
            [](const ManagedObject* a, const ManagedObject* b) { return a->m_serial < b->m_serial; });
        target.insert(position, object);
        index->attributeGeneration = generation;
    }
    if (keepCount) {
        const bool was = NumberText::toDouble(old.toString()) > count->above;
        const bool is = NumberText::toDouble(now) > count->above;
        count->count += int(is) - int(was);
        count->attributeGeneration = generation;
    }
    object->m_changed |= quint64(1) << attribute;
    if (!object->m_dirty) {
        object->m_dirty = true;
        m_dirty.append(object);
    }
}

bool ManagedObjectContext::hasChanges() const
{
    return !m_dirty.isEmpty() || !m_pendingDeletes.empty();
}

bool ManagedObjectContext::writeChanges(QList<ManagedObject*>* inserted, QString* error)
{
    for (const auto& object : m_pendingDeletes)
        if (object->m_rowId != 0 &&
            !m_coordinator->remove(*object->m_entity, object->m_rowId, error))
            return false;
    std::vector<ManagedObject*> updated;
    for (ManagedObject* object : std::as_const(m_dirty)) {
        if (object->m_rowId != 0) {
            updated.push_back(object);
            continue;
        }
        if (!m_coordinator->insert(*object->m_entity, object->m_values, &object->m_rowId, error))
            return false;
        inserted->append(object);
    }
    return writeUpdates(updated, error);
}

bool ManagedObjectContext::writeUpdates(std::vector<ManagedObject*>& objects, QString* error)
{
    // Rows of one entity that changed the same attributes are written together.
    const auto key = [](const ManagedObject* object) {
        return std::pair(object->m_entityIndex, object->m_changed);
    };
    std::stable_sort(
        objects.begin(), objects.end(),
        [&key](const ManagedObject* a, const ManagedObject* b) { return key(a) < key(b); });
    for (auto first = objects.begin(); first != objects.end();) {
        const auto last = std::find_if(first, objects.end(), [&](const ManagedObject* object) {
            return key(object) != key(*first);
        });
        if (!writeUpdateRun(first, last, error))
            return false;
        first = last;
    }
    return true;
}

bool ManagedObjectContext::writeUpdateRun(std::vector<ManagedObject*>::const_iterator first,
                                          std::vector<ManagedObject*>::const_iterator last,
                                          QString* error)
{
    const EntityDescription& entity = *(*first)->m_entity;
    const quint64 changed = (*first)->m_changed;
    if (last - first < BulkUpdateRows) {
        for (auto it = first; it != last; ++it)
            if (!m_coordinator->update(entity, (*it)->m_rowId, (*it)->m_values, changed, error))
                return false;
        return true;
    }
    QVector<PersistentStoreCoordinator::RowValues> rows;
    rows.reserve(last - first);
    for (auto it = first; it != last; ++it)
        rows.append({(*it)->m_rowId, &(*it)->m_values});
    return m_coordinator->updateRows(entity, changed, rows, error);
}

bool ManagedObjectContext::save(QString* error)
{
    if (!hasChanges())
        return true;
    QList<ManagedObject*> inserted;
    const auto forgetInserted = [&inserted] {
        for (ManagedObject* object : inserted)
            object->m_rowId = 0;
    };

    if (m_batchDepth > 0) {
        if (!m_batchOpen) {
            if (!m_coordinator->control(PersistentStoreCoordinator::Begin, error))
                return false;
            m_batchOpen = true;
        }
        // A failed statement undoes itself, so a save of one row needs no savepoint.
        const bool savepoint = m_dirty.size() + qsizetype(m_pendingDeletes.size()) > 1;
        if (savepoint && !m_coordinator->control(PersistentStoreCoordinator::Savepoint, error))
            return false;
        if (!writeChanges(&inserted, error)) {
            if (savepoint) {
                m_coordinator->control(PersistentStoreCoordinator::RollbackToSavepoint, nullptr);
                m_coordinator->control(PersistentStoreCoordinator::Release, nullptr);
            }
            forgetInserted();
            return false;
        }
        if (savepoint)
            m_coordinator->control(PersistentStoreCoordinator::Release, nullptr);
        m_batchUndo.written.append(m_dirty);
        m_batchUndo.inserted.append(inserted);
        for (auto& object : m_pendingDeletes)
            m_batchUndo.deleted.push_back(std::move(object));
    } else {
        if (!m_coordinator->control(PersistentStoreCoordinator::Begin, error))
            return false;
        if (!writeChanges(&inserted, error) || !m_coordinator->commit(error)) {
            m_coordinator->control(PersistentStoreCoordinator::Rollback, nullptr);
            forgetInserted();
            return false;
        }
    }
    for (ManagedObject* object : std::as_const(m_dirty)) {
        object->m_dirty = false;
        object->m_changed = 0;
    }
    m_dirty.clear();
    m_pendingDeletes.clear();
    return true;
}

void ManagedObjectContext::beginBatch()
{
    ++m_batchDepth;
}

bool ManagedObjectContext::endBatch(QString* error)
{
    if (m_batchDepth == 0 || --m_batchDepth > 0 || !m_batchOpen)
        return true;
    m_batchOpen = false;
    const bool committed = m_coordinator->commit(error);
    if (!committed) {
        m_coordinator->control(PersistentStoreCoordinator::Rollback, nullptr);
        restoreAfterFailedBatch();
    }
    m_batchUndo = BatchUndo();
    return committed;
}

void ManagedObjectContext::restoreAfterFailedBatch()
{
    // The file is back where it was before the batch: everything the batch wrote
    // becomes a pending change again, so the next save writes it.
    for (ManagedObject* object : std::as_const(m_batchUndo.inserted))
        object->m_rowId = 0;
    for (ManagedObject* object : std::as_const(m_batchUndo.written)) {
        object->m_changed = ~quint64(0);
        if (!object->m_deleted && !object->m_dirty) {
            object->m_dirty = true;
            m_dirty.append(object);
        }
    }
    for (auto& object : m_batchUndo.deleted)
        m_pendingDeletes.push_back(std::move(object));
}

ContextBatch::ContextBatch(ManagedObjectContext* context) : m_context(context)
{
    if (m_context)
        m_context->beginBatch();
}

ContextBatch::~ContextBatch()
{
    QString error;
    if (m_context && !m_context->endBatch(&error))
        Log::write(error);
}
