#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

struct EntityDescription;
class ManagedObjectContext;

// One row of an entity as the context holds it; changes are kept here until the
// context saves them.
class ManagedObject
{
public:
    ManagedObject(ManagedObjectContext* context, const EntityDescription* entity, int entityIndex);

    const EntityDescription& entity() const { return *m_entity; }
    QVariant value(const QString& attribute) const;
    QVariant value(int attribute) const { return m_values.value(attribute); }
    QString text(const QString& attribute) const { return value(attribute).toString(); }
    void setValue(const QString& attribute, const QVariant& value);
    void setValue(int attribute, const QVariant& value);
    // The same for a text, without building a variant when the row holds it already.
    void setText(int attribute, const QString& text);
    bool isDeleted() const { return m_deleted; }
    qint64 rowId() const { return m_rowId; }

private:
    friend class ManagedObjectContext;

    ManagedObjectContext* m_context;
    const EntityDescription* m_entity;
    int m_entityIndex;
    qint64 m_rowId = 0;
    quint64 m_serial = 0;
    QVector<QVariant> m_values;
    bool m_dirty = false;
    quint64 m_changed = 0;
    bool m_deleted = false;
};
