#pragma once

#include <QString>

// The map library's shared services: holds the service key set at launch.
class MapServices
{
public:
    void setApiKey(const QString& key) { m_apiKey = key; }
    QString apiKey() const { return m_apiKey; }

private:
    QString m_apiKey;
};
