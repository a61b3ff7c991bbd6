#include "store/db/ManagedObject.h"

#include "store/db/ManagedObjectContext.h"
#include "store/db/ManagedObjectModel.h"

#include <utility>

ManagedObject::ManagedObject(ManagedObjectContext* context, const EntityDescription* entity,
                             int entityIndex)
    : m_context(context), m_entity(entity), m_entityIndex(entityIndex),
      m_values(entity->attributes.size())
{
}

QVariant ManagedObject::value(const QString& attribute) const
{
    return m_values.value(m_entity->indexOf(attribute));
}

void ManagedObject::setValue(const QString& attribute, const QVariant& value)
{
    setValue(m_entity->indexOf(attribute), value);
}

void ManagedObject::setValue(int attribute, const QVariant& value)
{
    if (attribute < 0 || attribute >= m_values.size() || m_deleted)
        return;
    // Writing what a row already holds changes nothing, so it costs the save nothing:
    // a ranking answer rewrites every rider but mostly repeats what is stored.
    const QVariant& current = m_values[attribute];
    if (current.typeId() == value.typeId() && current == value)
        return;
    const QVariant old = std::exchange(m_values[attribute], value);
    m_context->objectChanged(this, attribute, old);
}

void ManagedObject::setText(int attribute, const QString& text)
{
    if (attribute >= 0 && attribute < m_values.size()) {
        const QVariant& current = m_values[attribute];
        if (current.typeId() == QMetaType::QString &&
            *static_cast<const QString*>(current.constData()) == text)
            return;
    }
    setValue(attribute, QVariant(text));
}
