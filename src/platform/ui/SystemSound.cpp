#include "platform/ui/SystemSound.h"

#include <cstring>
#include <fstream>
#include <map>
#include <mutex>

#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/Log.h"

namespace ui {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<SystemSoundID, std::string> sounds;
    SystemSoundID next = 4096;
    std::shared_ptr<SoundPlayer> player;
    bool recording = false;
    std::vector<SoundPlay> plays;
};

// Never destroyed: screens that outlive static destruction at exit still
// dispose of their sounds safely.
Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

bool isWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[12];
    if (!in.read(header, sizeof header)) return false;
    return std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WAVE", 4) == 0;
}

void play(SystemSoundID sound, bool alert) {
    auto& r = registry();
    std::shared_ptr<SoundPlayer> player;
    std::string path;
    {
        std::lock_guard lock(r.mutex);
        auto it = r.sounds.find(sound);
        if (it == r.sounds.end()) return;
        path = it->second;
        player = r.player;
        if (r.recording) {
            r.plays.push_back(SoundPlay{sound, path, base::Clock::current().now(), alert});
            // A long test beeps many times: keep the recent plays only.
            if (r.plays.size() > 10000) r.plays.erase(r.plays.begin(), r.plays.begin() + 5000);
        }
    }
    if (player && !player->play(path)) base::log("cannot play the sound " + path);
}

}  // namespace

std::optional<SystemSoundID> SystemSound::create(const std::string& path) {
    if (path.empty() || !isWave(path)) return std::nullopt;
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    SystemSoundID id = r.next++;
    r.sounds[id] = path;
    return id;
}

std::optional<SystemSoundID> SystemSound::createFromResource(const std::string& name, const std::string& type) {
    auto path = base::Bundle::mainBundle().pathForResource(name, type);
    if (!path) return std::nullopt;
    return create(*path);
}

void SystemSound::dispose(SystemSoundID sound) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.sounds.erase(sound);
}

std::string SystemSound::pathOf(SystemSoundID sound) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.sounds.find(sound);
    return it == r.sounds.end() ? std::string() : it->second;
}

void SystemSound::playAlertSound(SystemSoundID sound) { play(sound, true); }
void SystemSound::playSystemSound(SystemSoundID sound) { play(sound, false); }

void SystemSound::setPlayer(std::shared_ptr<SoundPlayer> player) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.player = std::move(player);
}

std::shared_ptr<SoundPlayer> SystemSound::player() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    return r.player;
}

std::vector<SoundPlay> SystemSound::playsForTesting() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    return r.plays;
}

void SystemSound::setRecordsPlaysForTesting(bool record) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.recording = record;
    r.plays.clear();
}

}  // namespace ui
