#pragma once

#include <QHash>
#include <functional>

// System sounds and vibration. Every sound played is counted (the alarm's run
// of vibrations is read back from here in tests); where the app side gives a
// player (the desktop's beep) the sound is also made.
class Haptics
{
public:
    // The vibrate sound.
    static constexpr int VibrateSound = 4095;

    void playSystemSound(int soundId);
    int playCount(int soundId) const { return m_counts.value(soundId); }
    int totalPlayed() const { return m_total; }

    void setPlayer(std::function<void(int soundId)> player) { m_player = std::move(player); }

private:
    QHash<int, int> m_counts;
    int m_total = 0;
    std::function<void(int)> m_player;
};
