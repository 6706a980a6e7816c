#pragma once
// The window host's side of the device services: system sounds played on
// SDL's audio (queued, so the run loop never waits for a sound) and the
// pasteboard's text on the desktop clipboard through SDL.
namespace host {

// Call once SDL's video is up (the clipboard needs it). Sounds stay silent,
// and only recorded, when no audio device can be opened.
void installSdlDeviceBackends();
// Takes the backends away again (before SDL_Quit).
void removeSdlDeviceBackends();

}  // namespace host
