#include "platform/notify/Haptics.h"

void Haptics::playSystemSound(int soundId)
{
    ++m_counts[soundId];
    ++m_total;
    if (m_player)
        m_player(soundId);
}
