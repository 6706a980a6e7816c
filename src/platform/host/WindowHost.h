#pragma once
// The window host: the application in an SDL2 window shaped like the phone
// screen (320 x 480 points), drawn by the toolkit into a pixel surface and
// copied to the window's own surface (shared memory, no graphics driver);
// where a window has none, an SDL renderer shows it instead. The window
// carries the program's icon, the picture the desktop's icon is installed
// from.
//
// The window opens as large as fits the usable area of its display, and may
// be given any size later (by the user or the window manager): the screen is
// drawn again at the largest scale that fits with its aspect kept, centred
// on black, and the pointer is mapped back onto it.
//
// The main run loop waits for whichever comes first: a window event, the
// next timer, or work posted from another thread; an idle program sleeps.
// Only the parts of the screen the toolkit marks as changed are drawn again
// and copied to the window.
// Mouse presses, drags and releases are touches; typed text goes to the
// text input being edited, Return is the return key (or the button an alert
// names for it), Escape what an alert or sheet names for it, else a screen's
// Cancel or its back button,
// Backspace deletes and Ctrl+K shakes the device. Ctrl+V and Shift+Insert
// paste the clipboard into the text input, a middle click the primary
// selection; Ctrl+C copies its text and Ctrl+A selects it. Minimising the window sends the application to
// the background, where it is suspended as on the phone (its timers wait);
// restoring brings it back. Closing the window ends the program.
#include <atomic>
#include <memory>
#include <string>

#include "platform/host/Host.h"

namespace gfx {
class Image;
}

namespace host {

struct WindowOptions {
    // Ends the run after this many frames have been shown, or sooner once
    // the screen has settled after a frame (0: run until the window is
    // closed). For tests.
    int maxFrames = 0;
    std::string title = "Tolvek";
    // Reads the window's pixels back from the renderer before closing (see
    // WindowHost::shownFrameForTesting). For tests.
    bool readBackOnCloseForTesting = false;
};

class WindowHost {
public:
    WindowHost();
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    // Opens the window, launches the application with the factory's delegate
    // and runs until the window is closed. Answers the exit status: 0 after a
    // clean close, 2 when there is no display (one line on standard error).
    int run(const DelegateFactory& factory, const WindowOptions& options = {});

    // Asks the running host to close, as the window's close button does.
    // Safe from any thread and from inside the run.
    static void requestClose();
    // Brings the window to the front, restored when it was minimised (a
    // second start of the program asks for it). On the main run loop only;
    // does nothing while no window is open.
    static void raise();

    // The pixels of the last frame shown (null before the first).
    std::shared_ptr<gfx::Image> lastFrame() const;
    // What the window showed at the close, read back from the renderer (with
    // WindowOptions::readBackOnCloseForTesting; null otherwise).
    std::shared_ptr<gfx::Image> shownFrameForTesting() const;
    int framesShown() const { return frames_; }
    // Pixels per point of the drawing at the window's present size.
    double scale() const;
    // Gives the open window a new size in window units, as the window
    // manager does. For tests.
    void setWindowSizeForTesting(int width, int height);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int frames_ = 0;
};

}  // namespace host
