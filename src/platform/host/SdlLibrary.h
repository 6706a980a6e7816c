#pragma once
// SDL is opened when a window is, not when the program starts: a headless
// run never maps it, nor the sound, X11 and Wayland libraries it brings.
//
// The SDL functions the window host calls are defined in SdlLibrary.cpp and
// forward to the library opened here; nothing links SDL itself. Call
// loadSdl before the first SDL function.
#include <string>

namespace host {

// Opens SDL and looks up every function the host uses, once; later calls
// answer the first result. Answers false and says why when SDL is not
// installed or lacks one of them.
bool loadSdl(std::string* why = nullptr);

}  // namespace host
