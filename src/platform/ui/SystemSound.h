#pragma once
// System sounds: short sound files of the bundle created once and played as
// alert sounds. The window host installs a SoundPlayer that plays them on
// the desktop's audio without holding up the run loop; without one (the
// headless host, tests) nothing is heard. A test that asks for it gets each
// play recorded with the clock's time, to see what was played and when; the
// running program records nothing.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// Plays a sound file; must return at once (the sound goes on by itself).
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Answers whether the sound could be started.
    virtual bool play(const std::string& path) = 0;
};

using SystemSoundID = std::uint32_t;

struct SoundPlay {
    SystemSoundID sound = 0;
    std::string path;
    double time = 0;  // the clock's time of the play
    bool alert = false;
};

class SystemSound {
public:
    // A sound for the file; nullopt when the file is missing or is not a
    // RIFF/WAVE file.
    static std::optional<SystemSoundID> create(const std::string& path);
    // A sound for a resource of the main bundle ("BEEP_FM-1", "wav").
    static std::optional<SystemSoundID> createFromResource(const std::string& name, const std::string& type);
    // Forgets the sound; later plays of it do nothing.
    static void dispose(SystemSoundID sound);
    // The file of a sound (empty when unknown).
    static std::string pathOf(SystemSoundID sound);

    static void playAlertSound(SystemSoundID sound);
    static void playSystemSound(SystemSoundID sound);

    // Host side: the player (null: play silently, only recording).
    static void setPlayer(std::shared_ptr<SoundPlayer> player);
    static std::shared_ptr<SoundPlayer> player();

    // Turns the recording of plays on or off (it starts off); either way
    // the plays recorded so far are forgotten.
    static void setRecordsPlaysForTesting(bool record);
    // What was played while recording, oldest first.
    static std::vector<SoundPlay> playsForTesting();
};

}  // namespace ui
