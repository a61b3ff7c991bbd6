#pragma once

#include <QList>
#include <QString>

// One attribute of an entity: text or number, as the store file keeps it.
struct AttributeDescription
{
    enum Type { Text, Integer, Double };
    QString name;
    Type type = Text;
};

// One entity of the model: its name (also its table) and its attributes in order.
struct EntityDescription
{
    QString name;
    QList<AttributeDescription> attributes;
    QList<QString> indexed;

    int indexOf(const QString& attribute) const;
};

// The object model "TestCoreData": four entities and the schema version the
// store file must carry.
class ManagedObjectModel
{
public:
    static constexpr int SchemaVersion = 1;

    ManagedObjectModel();

    QString name() const { return QStringLiteral("TestCoreData"); }
    int version() const { return SchemaVersion; }
    const QList<EntityDescription>& entities() const { return m_entities; }
    const EntityDescription* entity(const QString& name) const;

private:
    QList<EntityDescription> m_entities;
};
