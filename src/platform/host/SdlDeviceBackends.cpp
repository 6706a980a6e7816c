#include "platform/host/SdlDeviceBackends.h"

#include <SDL.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Log.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/SystemSound.h"

namespace host {

namespace {

class SdlSoundPlayer : public ui::SoundPlayer {
public:
    ~SdlSoundPlayer() override {
        if (device_ != 0) SDL_CloseAudioDevice(device_);
        if (audioUp_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool play(const std::string& path) override {
        if (!ensureAudio()) return false;
        auto sound = load(path);
        if (!sound) return false;
        // A new beep replaces what is still queued, as a new alert sound does.
        SDL_ClearQueuedAudio(device_);
        if (SDL_QueueAudio(device_, sound->data(), static_cast<Uint32>(sound->size())) != 0) return false;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

private:
    bool ensureAudio() {
        if (device_ != 0) return true;
        if (failed_) return false;
        if (!audioUp_) {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
                base::log(std::string("no audio: ") + SDL_GetError());
                failed_ = true;
                return false;
            }
            audioUp_ = true;
        }
        SDL_AudioSpec want{};
        want.freq = 44100;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 1024;
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_, 0);
        if (device_ == 0) {
            base::log(std::string("no audio device: ") + SDL_GetError());
            failed_ = true;
            return false;
        }
        return true;
    }

    // The file's samples converted to the device's format, loaded once.
    std::shared_ptr<std::vector<Uint8>> load(const std::string& path) {
        auto it = cache_.find(path);
        if (it != cache_.end()) return it->second;
        SDL_AudioSpec fileSpec{};
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        if (!SDL_LoadWAV(path.c_str(), &fileSpec, &buffer, &length)) {
            base::log("cannot read the sound " + path + ": " + SDL_GetError());
            return nullptr;
        }
        SDL_AudioCVT cvt{};
        int needed = SDL_BuildAudioCVT(&cvt, fileSpec.format, fileSpec.channels, fileSpec.freq, spec_.format,
                                       spec_.channels, spec_.freq);
        std::shared_ptr<std::vector<Uint8>> samples;
        if (needed < 0) {
            base::log("cannot convert the sound " + path + ": " + SDL_GetError());
        } else {
            samples = std::make_shared<std::vector<Uint8>>(static_cast<std::size_t>(length) *
                                                           (cvt.len_mult > 0 ? cvt.len_mult : 1));
            std::copy(buffer, buffer + length, samples->begin());
            if (needed > 0) {
                cvt.buf = samples->data();
                cvt.len = static_cast<int>(length);
                if (SDL_ConvertAudio(&cvt) != 0) samples.reset();
                else samples->resize(static_cast<std::size_t>(cvt.len_cvt));
            } else {
                samples->resize(length);
            }
        }
        SDL_FreeWAV(buffer);
        if (samples) cache_[path] = samples;
        return samples;
    }

    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    bool audioUp_ = false;
    bool failed_ = false;
    std::map<std::string, std::shared_ptr<std::vector<Uint8>>> cache_;
};

class SdlClipboard : public ui::ClipboardBackend {
public:
    bool setString(const std::string& text) override { return SDL_SetClipboardText(text.c_str()) == 0; }
    std::optional<std::string> string() override {
        if (!SDL_HasClipboardText()) return std::nullopt;
        char* text = SDL_GetClipboardText();
        if (!text) return std::nullopt;
        std::string out = text;
        SDL_free(text);
        return out;
    }
    // SDL 2 puts only text on the clipboard: images stay in the pasteboard.
};

}  // namespace

void installSdlDeviceBackends() {
    ui::SystemSound::setPlayer(std::make_shared<SdlSoundPlayer>());
    ui::Pasteboard::setBackend(std::make_shared<SdlClipboard>());
}

void removeSdlDeviceBackends() {
    ui::SystemSound::setPlayer(nullptr);
    ui::Pasteboard::setBackend(nullptr);
}

}  // namespace host
