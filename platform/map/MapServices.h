#pragma once

#include <QString>
#include <functional>

class QImage;

// The map library's shared services: the service key set at launch, where map tiles
// come from and the credit their provider asks for. The application delegate owns one;
// maps reach the latest live one through shared(). Without a tile address, maps draw
// their own background.
class MapServices
{
public:
    // Loads a picture from an address; `done` gets it, or a null image on failure.
    using TileLoader =
        std::function<void(const QString& address, std::function<void(const QImage&)> done)>;

    MapServices() : m_previous(s_current) { s_current = this; }
    ~MapServices()
    {
        if (s_current == this)
            s_current = m_previous;
    }
    MapServices(const MapServices&) = delete;
    MapServices& operator=(const MapServices&) = delete;

    static MapServices* shared() { return s_current; }

    static constexpr const char* OpenStreetMapTiles =
        "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
    static constexpr const char* OpenStreetMapAttribution = "© OpenStreetMap contributors";

    void setApiKey(const QString& key) { m_apiKey = key; }
    QString apiKey() const { return m_apiKey; }

    // An XYZ address template such as "http://host/tiles/{z}/{x}/{y}.png".
    void setTileUrlTemplate(const QString& urlTemplate) { m_tileUrlTemplate = urlTemplate; }
    QString tileUrlTemplate() const { return m_tileUrlTemplate; }
    void setTileLoader(TileLoader loader) { m_tileLoader = std::move(loader); }
    const TileLoader& tileLoader() const { return m_tileLoader; }
    // Drawn on every map whose tiles come from the template.
    void setTileAttribution(const QString& text) { m_tileAttribution = text; }
    QString tileAttribution() const { return m_tileAttribution; }

private:
    inline static MapServices* s_current = nullptr;
    MapServices* m_previous;
    QString m_apiKey;
    QString m_tileUrlTemplate;
    TileLoader m_tileLoader;
    QString m_tileAttribution;
};
