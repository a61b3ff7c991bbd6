#include "store/db/ManagedObjectModel.h"

namespace {

EntityDescription riderEntity(const QString& name)
{
    EntityDescription entity{name, {{"id", AttributeDescription::Integer}}, {"username", "paiming"}};
    for (const char* attribute :
         {"username", "level", "levelname", "paiming", "touxiangpath", "lat", "lng", "weixin"})
        entity.attributes.append({attribute, AttributeDescription::Text});
    return entity;
}

} // namespace

int EntityDescription::indexOf(const QString& attribute) const
{
    for (int i = 0; i < attributes.size(); ++i)
        if (attributes[i].name == attribute)
            return i;
    return -1;
}

ManagedObjectModel::ManagedObjectModel()
{
    using A = AttributeDescription;
    m_entities.append({"MyBasicInfo",
                       {{"id", A::Integer}, {"type", A::Text}, {"value", A::Text}},
                       {"type"}});
    m_entities.append(riderEntity("MyPaiMingInfo"));
    m_entities.append(riderEntity("MyFriendInfo"));
    m_entities.append({"MyPosInfo",
                       {{"id", A::Integer},
                        {"serverid", A::Integer},
                        {"devid", A::Text},
                        {"lat", A::Double},
                        {"lng", A::Double},
                        {"absday", A::Integer},
                        {"state", A::Integer}},
                       {}});
}

const EntityDescription* ManagedObjectModel::entity(const QString& name) const
{
    for (const EntityDescription& entity : m_entities)
        if (entity.name == name)
            return &entity;
    return nullptr;
}
