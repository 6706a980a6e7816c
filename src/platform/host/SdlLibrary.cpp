#include "platform/host/SdlLibrary.h"

#include <SDL.h>

#include "platform/base/RuntimeLibrary.h"

namespace host {

namespace {

// The shared library of SDL 2 by its stable name.
constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

// Every SDL function the host and its tests call. A macro of the header (a
// blit, a sound file) names the function it expands to.
// clang-format off
#define TOLVEK_SDL_FUNCTIONS(X)                                                                          \
    X(SDL_Init) X(SDL_Quit) X(SDL_InitSubSystem) X(SDL_QuitSubSystem) X(SDL_SetHint) X(SDL_GetError)     \
    X(SDL_free) X(SDL_PushEvent) X(SDL_PollEvent) X(SDL_WaitEvent) X(SDL_WaitEventTimeout)               \
    X(SDL_RegisterEvents) X(SDL_GetDisplayUsableBounds) X(SDL_CreateWindow) X(SDL_DestroyWindow)         \
    X(SDL_GetWindowSurface) X(SDL_GetWindowFlags) X(SDL_UpdateWindowSurfaceRects) X(SDL_CreateRenderer)  \
    X(SDL_GetWindowSize) X(SDL_SetWindowSize) X(SDL_SetWindowMinimumSize) X(SDL_FillRect) X(SDL_MapRGB)  \
    X(SDL_QueryTexture)                                                                                  \
    X(SDL_DestroyRenderer) X(SDL_GetRendererOutputSize) X(SDL_CreateTexture) X(SDL_DestroyTexture)       \
    X(SDL_UpdateTexture) X(SDL_RenderClear) X(SDL_RenderCopy) X(SDL_RenderPresent)                       \
    X(SDL_RenderReadPixels) X(SDL_CreateRGBSurfaceWithFormatFrom) X(SDL_SetSurfaceBlendMode)             \
    X(SDL_UpperBlit) X(SDL_FreeSurface) X(SDL_ConvertPixels) X(SDL_GetMouseState) X(SDL_StartTextInput)  \
    X(SDL_StopTextInput) X(SDL_DisableScreenSaver) X(SDL_EnableScreenSaver) X(SDL_OpenAudioDevice)       \
    X(SDL_CloseAudioDevice) X(SDL_ClearQueuedAudio) X(SDL_QueueAudio) X(SDL_PauseAudioDevice)            \
    X(SDL_LoadWAV_RW) X(SDL_RWFromFile) X(SDL_BuildAudioCVT) X(SDL_ConvertAudio) X(SDL_FreeWAV)          \
    X(SDL_SetClipboardText) X(SDL_HasClipboardText) X(SDL_GetClipboardText) X(SDL_RaiseWindow)            \
    X(SDL_RestoreWindow) X(SDL_SetWindowIcon)
// clang-format on

// Functions of newer SDL releases the host does without where the library
// lacks them (the primary selection came with SDL 2.26).
#define TOLVEK_SDL_OPTIONAL_FUNCTIONS(X) X(SDL_HasPrimarySelectionText) X(SDL_GetPrimarySelectionText)

// The library's functions, typed as the header declares them.
struct SdlFunctions {
// NOLINTNEXTLINE(bugprone-macro-parentheses): a declaration, not an expression
#define TOLVEK_SDL_POINTER(name) decltype(&::name) name = nullptr;
    TOLVEK_SDL_FUNCTIONS(TOLVEK_SDL_POINTER)
    TOLVEK_SDL_OPTIONAL_FUNCTIONS(TOLVEK_SDL_POINTER)
#undef TOLVEK_SDL_POINTER
};

struct Loaded {
    SdlFunctions functions;
    std::string error;  // empty once every function is found
};

const Loaded& loaded() {
    // Opened once, by whichever thread asks first.
    static const Loaded result = [] {
        base::RuntimeLibrary library(kSdlLibrary);
        Loaded l;
#define TOLVEK_LOOKUP(name) l.functions.name = library.function<decltype(&::name)>(#name);
        TOLVEK_SDL_FUNCTIONS(TOLVEK_LOOKUP)
        l.error = library.error();
        // Looked up in a handle of their own, whose failure is no error.
        base::RuntimeLibrary optional(kSdlLibrary);
        if (l.error.empty()) {
#define TOLVEK_LOOKUP_OPTIONAL(name) l.functions.name = optional.function<decltype(&::name)>(#name);
            TOLVEK_SDL_OPTIONAL_FUNCTIONS(TOLVEK_LOOKUP_OPTIONAL)
#undef TOLVEK_LOOKUP_OPTIONAL
        }
#undef TOLVEK_LOOKUP
        return l;
    }();
    return result;
}

// The functions of a library that loaded; calling it before loadSdl
// succeeded is a fault of the caller.
const SdlFunctions& sdl() {
    const Loaded& l = loaded();
    if (!l.error.empty()) base::calledWithoutLibrary("SDL", l.error);
    return l.functions;
}

}  // namespace

bool loadSdl(std::string* why) {
    const Loaded& l = loaded();
    if (!l.error.empty() && why) *why = l.error;
    return l.error.empty();
}

}  // namespace host

// The SDL functions themselves, as the host's code calls them, each passing
// its arguments on to the library's own.
extern "C" {

int SDL_Init(Uint32 flags) { return host::sdl().SDL_Init(flags); }
void SDL_Quit(void) { host::sdl().SDL_Quit(); }
int SDL_InitSubSystem(Uint32 flags) { return host::sdl().SDL_InitSubSystem(flags); }
void SDL_QuitSubSystem(Uint32 flags) { host::sdl().SDL_QuitSubSystem(flags); }
SDL_bool SDL_SetHint(const char* name, const char* value) { return host::sdl().SDL_SetHint(name, value); }
const char* SDL_GetError(void) { return host::sdl().SDL_GetError(); }
void SDL_free(void* mem) { host::sdl().SDL_free(mem); }

int SDL_PushEvent(SDL_Event* event) { return host::sdl().SDL_PushEvent(event); }
int SDL_PollEvent(SDL_Event* event) { return host::sdl().SDL_PollEvent(event); }
int SDL_WaitEvent(SDL_Event* event) { return host::sdl().SDL_WaitEvent(event); }
int SDL_WaitEventTimeout(SDL_Event* event, int timeout) { return host::sdl().SDL_WaitEventTimeout(event, timeout); }
Uint32 SDL_RegisterEvents(int numevents) { return host::sdl().SDL_RegisterEvents(numevents); }
void SDL_RaiseWindow(SDL_Window* window) { host::sdl().SDL_RaiseWindow(window); }
void SDL_RestoreWindow(SDL_Window* window) { host::sdl().SDL_RestoreWindow(window); }
void SDL_SetWindowIcon(SDL_Window* window, SDL_Surface* icon) { host::sdl().SDL_SetWindowIcon(window, icon); }
Uint32 SDL_GetMouseState(int* x, int* y) { return host::sdl().SDL_GetMouseState(x, y); }
void SDL_StartTextInput(void) { host::sdl().SDL_StartTextInput(); }
void SDL_StopTextInput(void) { host::sdl().SDL_StopTextInput(); }

int SDL_GetDisplayUsableBounds(int displayIndex, SDL_Rect* rect) {
    return host::sdl().SDL_GetDisplayUsableBounds(displayIndex, rect);
}
SDL_Window* SDL_CreateWindow(const char* title, int x, int y, int w, int h, Uint32 flags) {
    return host::sdl().SDL_CreateWindow(title, x, y, w, h, flags);
}
void SDL_DestroyWindow(SDL_Window* window) { host::sdl().SDL_DestroyWindow(window); }
void SDL_GetWindowSize(SDL_Window* window, int* w, int* h) { host::sdl().SDL_GetWindowSize(window, w, h); }
void SDL_SetWindowSize(SDL_Window* window, int w, int h) { host::sdl().SDL_SetWindowSize(window, w, h); }
void SDL_SetWindowMinimumSize(SDL_Window* window, int min_w, int min_h) {
    host::sdl().SDL_SetWindowMinimumSize(window, min_w, min_h);
}
SDL_Surface* SDL_GetWindowSurface(SDL_Window* window) { return host::sdl().SDL_GetWindowSurface(window); }
Uint32 SDL_GetWindowFlags(SDL_Window* window) { return host::sdl().SDL_GetWindowFlags(window); }
int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int numrects) {
    return host::sdl().SDL_UpdateWindowSurfaceRects(window, rects, numrects);
}
void SDL_DisableScreenSaver(void) { host::sdl().SDL_DisableScreenSaver(); }
void SDL_EnableScreenSaver(void) { host::sdl().SDL_EnableScreenSaver(); }

SDL_Renderer* SDL_CreateRenderer(SDL_Window* window, int index, Uint32 flags) {
    return host::sdl().SDL_CreateRenderer(window, index, flags);
}
void SDL_DestroyRenderer(SDL_Renderer* renderer) { host::sdl().SDL_DestroyRenderer(renderer); }
int SDL_GetRendererOutputSize(SDL_Renderer* renderer, int* w, int* h) {
    return host::sdl().SDL_GetRendererOutputSize(renderer, w, h);
}
SDL_Texture* SDL_CreateTexture(SDL_Renderer* renderer, Uint32 format, int access, int w, int h) {
    return host::sdl().SDL_CreateTexture(renderer, format, access, w, h);
}
void SDL_DestroyTexture(SDL_Texture* texture) { host::sdl().SDL_DestroyTexture(texture); }
int SDL_QueryTexture(SDL_Texture* texture, Uint32* format, int* access, int* w, int* h) {
    return host::sdl().SDL_QueryTexture(texture, format, access, w, h);
}
int SDL_UpdateTexture(SDL_Texture* texture, const SDL_Rect* rect, const void* pixels, int pitch) {
    return host::sdl().SDL_UpdateTexture(texture, rect, pixels, pitch);
}
int SDL_RenderClear(SDL_Renderer* renderer) { return host::sdl().SDL_RenderClear(renderer); }
int SDL_RenderCopy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* srcrect, const SDL_Rect* dstrect) {
    return host::sdl().SDL_RenderCopy(renderer, texture, srcrect, dstrect);
}
void SDL_RenderPresent(SDL_Renderer* renderer) { host::sdl().SDL_RenderPresent(renderer); }
int SDL_RenderReadPixels(SDL_Renderer* renderer, const SDL_Rect* rect, Uint32 format, void* pixels, int pitch) {
    return host::sdl().SDL_RenderReadPixels(renderer, rect, format, pixels, pitch);
}

SDL_Surface* SDL_CreateRGBSurfaceWithFormatFrom(void* pixels, int width, int height, int depth, int pitch,
                                                Uint32 format) {
    return host::sdl().SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, depth, pitch, format);
}
int SDL_SetSurfaceBlendMode(SDL_Surface* surface, SDL_BlendMode blendMode) {
    return host::sdl().SDL_SetSurfaceBlendMode(surface, blendMode);
}
int SDL_UpperBlit(SDL_Surface* src, const SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
    return host::sdl().SDL_UpperBlit(src, srcrect, dst, dstrect);
}
void SDL_FreeSurface(SDL_Surface* surface) { host::sdl().SDL_FreeSurface(surface); }
int SDL_FillRect(SDL_Surface* dst, const SDL_Rect* rect, Uint32 color) {
    return host::sdl().SDL_FillRect(dst, rect, color);
}
Uint32 SDL_MapRGB(const SDL_PixelFormat* format, Uint8 r, Uint8 g, Uint8 b) {
    return host::sdl().SDL_MapRGB(format, r, g, b);
}
int SDL_ConvertPixels(int width, int height, Uint32 src_format, const void* src, int src_pitch, Uint32 dst_format,
                      void* dst, int dst_pitch) {
    return host::sdl().SDL_ConvertPixels(width, height, src_format, src, src_pitch, dst_format, dst, dst_pitch);
}

SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture, const SDL_AudioSpec* desired,
                                      SDL_AudioSpec* obtained, int allowed_changes) {
    return host::sdl().SDL_OpenAudioDevice(device, iscapture, desired, obtained, allowed_changes);
}
void SDL_CloseAudioDevice(SDL_AudioDeviceID dev) { host::sdl().SDL_CloseAudioDevice(dev); }
void SDL_ClearQueuedAudio(SDL_AudioDeviceID dev) { host::sdl().SDL_ClearQueuedAudio(dev); }
int SDL_QueueAudio(SDL_AudioDeviceID dev, const void* data, Uint32 len) {
    return host::sdl().SDL_QueueAudio(dev, data, len);
}
void SDL_PauseAudioDevice(SDL_AudioDeviceID dev, int pause_on) { host::sdl().SDL_PauseAudioDevice(dev, pause_on); }
SDL_AudioSpec* SDL_LoadWAV_RW(SDL_RWops* src, int freesrc, SDL_AudioSpec* spec, Uint8** audio_buf, Uint32* audio_len) {
    return host::sdl().SDL_LoadWAV_RW(src, freesrc, spec, audio_buf, audio_len);
}
SDL_RWops* SDL_RWFromFile(const char* file, const char* mode) { return host::sdl().SDL_RWFromFile(file, mode); }
int SDL_BuildAudioCVT(SDL_AudioCVT* cvt, SDL_AudioFormat src_format, Uint8 src_channels, int src_rate,
                      SDL_AudioFormat dst_format, Uint8 dst_channels, int dst_rate) {
    return host::sdl().SDL_BuildAudioCVT(cvt, src_format, src_channels, src_rate, dst_format, dst_channels, dst_rate);
}
int SDL_ConvertAudio(SDL_AudioCVT* cvt) { return host::sdl().SDL_ConvertAudio(cvt); }
void SDL_FreeWAV(Uint8* audio_buf) { host::sdl().SDL_FreeWAV(audio_buf); }

int SDL_SetClipboardText(const char* text) { return host::sdl().SDL_SetClipboardText(text); }
SDL_bool SDL_HasClipboardText(void) { return host::sdl().SDL_HasClipboardText(); }
char* SDL_GetClipboardText(void) { return host::sdl().SDL_GetClipboardText(); }
SDL_bool SDL_HasPrimarySelectionText(void) {
    auto has = host::sdl().SDL_HasPrimarySelectionText;
    return has ? has() : SDL_FALSE;
}
char* SDL_GetPrimarySelectionText(void) {
    auto get = host::sdl().SDL_GetPrimarySelectionText;
    return get ? get() : nullptr;
}

}  // extern "C"
