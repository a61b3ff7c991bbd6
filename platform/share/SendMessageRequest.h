#pragma once

#include "platform/share/MediaMessage.h"

// A request to send a message: plain text or a media message, to a scene (0 chat,
// 1 timeline, 2 favourites, in the messaging library's numbering).
class SendMessageRequest
{
public:
    static constexpr int SceneSession = 0;
    static constexpr int SceneTimeline = 1;
    static constexpr int SceneFavorite = 2;

    bool bText() const { return m_bText; }
    void setBText(bool text) { m_bText = text; }
    MediaMessage message() const { return m_message; }
    void setMessage(const MediaMessage& message) { m_message = message; }
    int scene() const { return m_scene; }
    void setScene(int scene) { m_scene = scene; }

private:
    bool m_bText = false;
    MediaMessage m_message;
    int m_scene = SceneSession;
};
