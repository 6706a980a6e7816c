#include "platform/host/WindowHost.h"

#include <SDL.h>
#include <cairo.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <thread>
#include <vector>

#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/Date.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/base/ScopedDescriptor.h"
#include "platform/base/UserDefaults.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "platform/host/SdlDeviceBackends.h"
#include "platform/host/SdlLibrary.h"
#include "platform/ui/Application.h"
#include "platform/ui/Pasteboard.h"

extern char** environ;

namespace host {

namespace {

std::atomic<bool> g_closeRequested{false};
std::atomic<bool> g_sdlRunning{false};
std::atomic<Uint32> g_wakeEvent{0};
SDL_Window* g_window = nullptr;  // the open window, for raise() on the main run loop

// SIGINT and SIGTERM end the run as closing the window does. The handler
// only sets the close flag and writes a byte to a pipe; a thread reading the
// pipe wakes the event wait, which by itself may sleep through a signal.
// QuitSignals owns the pipe; the handler reads these plain copies.
int g_signalPipe[2] = {-1, -1};

void onQuitSignal(int) {
    int saved = errno;
    g_closeRequested = true;
    if (g_signalPipe[1] >= 0) {
        char c = 'q';
        ssize_t n = ::write(g_signalPipe[1], &c, 1);
        (void)n;
    }
    errno = saved;
}

class QuitSignals {
public:
    QuitSignals() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        reader_ = base::ScopedDescriptor(fds[0]);
        writer_ = base::ScopedDescriptor(fds[1]);
        g_signalPipe[0] = fds[0];
        g_signalPipe[1] = fds[1];
        struct sigaction sa {};
        sa.sa_handler = onQuitSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &sa, &oldInt_);
        ::sigaction(SIGTERM, &sa, &oldTerm_);
        watcher_ = std::thread([fd = reader_.get()] {
            for (;;) {
                char c = 0;
                ssize_t n = ::read(fd, &c, 1);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0 || c == 's') return;
                if (g_sdlRunning) {
                    SDL_Event e{};
                    e.type = SDL_QUIT;
                    SDL_PushEvent(&e);
                }
            }
        });
    }
    ~QuitSignals() {
        if (!reader_.isOpen()) return;
        ::sigaction(SIGINT, &oldInt_, nullptr);
        ::sigaction(SIGTERM, &oldTerm_, nullptr);
        char c = 's';
        ssize_t n = ::write(writer_.get(), &c, 1);
        (void)n;
        if (watcher_.joinable()) watcher_.join();
        // The handler is gone; the pipe closes with its owners below.
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    base::ScopedDescriptor reader_;
    base::ScopedDescriptor writer_;
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    std::thread watcher_;
};

// The longest the loop sleeps with nothing due (it wakes for events anyway).
constexpr double kIdleWait = 3600;
// Animations are drawn at most this often.
constexpr double kFrameInterval = 1.0 / 60;
// Room left below the top of the usable area for the window's title bar,
// which the window manager adds around the window.
constexpr int kTitleBarAllowance = 48;
// The smallest window: a quarter of the phone's screen in area.
constexpr int kMinimumWindowWidth = 160;
constexpr int kMinimumWindowHeight = 240;

// Hands a web or mail address to the desktop's opener; other schemes name
// phone applications that are not here.
bool openOnDesktop(const std::string& url) {
    if (!isDesktopURL(url)) return false;
    pid_t pid = 0;
    std::string program = "xdg-open";
    std::string argument = url;
    char* argv[] = {program.data(), argument.data(), nullptr};
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
    // Reap it without blocking the event loop.
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    return true;
}

// The window's first size: the largest whole multiple of 2 x 3 window
// units (so the frame's aspect is kept exactly, and the window holds it
// with no border) that fits the display's usable area below a title bar.
SDL_Rect initialWindowSize(int display) {
    SDL_Rect usable{};
    int unit = kMinimumWindowWidth / 2;
    if (SDL_GetDisplayUsableBounds(display, &usable) == 0 && usable.w > 0 && usable.h > 0)
        unit = std::max(unit, std::min(usable.w / 2, (usable.h - kTitleBarAllowance) / 3));
    return SDL_Rect{0, 0, 2 * unit, 3 * unit};
}

// Gives the window the program's icon: the picture installed as the
// desktop's icon ("appicon.png" of the resources), so that the taskbar and
// the window switcher show it when the program runs from the build tree as
// well. Without the picture the window keeps the window manager's default.
void setWindowIcon(SDL_Window* window) {
    const auto path = base::Bundle::mainBundle().pathForResource("appicon", "png");
    const auto icon = path ? gfx::Image::load(*path) : nullptr;
    if (!icon || icon->width() <= 0 || icon->height() <= 0) return;
    // SDL takes straight (not premultiplied) alpha, as bytes R, G, B, A.
    const int w = icon->width(), h = icon->height();
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto p = icon->pixel(x, y);
            pixels.insert(pixels.end(), {p.r, p.g, p.b, p.a});
        }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface) return;
    SDL_SetWindowIcon(window, surface);  // SDL keeps a copy
    SDL_FreeSurface(surface);
}

void reportNoDisplay(const std::string& why) {
    std::fprintf(stderr, "tolvek: no display to open a window on (%s); use --headless --script FILE\n", why.c_str());
}

// Starts SDL's video on the desktop's display. Without one SDL would fall
// back to drawing off screen, which is no window at all: only a display
// named by the environment (an X11 or Wayland one), or a video driver the
// user asks for by name in SDL_VIDEODRIVER, counts.
bool initVideo() {
    std::vector<const char*> drivers;
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (requested && *requested) {
        drivers.push_back(nullptr);  // SDL honours the request itself
    } else {
        const char* x11 = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if (x11 && *x11) drivers.push_back("x11");
        if (wayland && *wayland) drivers.push_back("wayland");
    }
    if (drivers.empty()) {
        reportNoDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
        return false;
    }
    std::string why;
    for (const char* driver : drivers) {
        if (driver) SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0) return true;
        why = SDL_GetError();
    }
    reportNoDisplay(why);
    return false;
}

}  // namespace

struct WindowHost::Impl {
    SDL_Window* window = nullptr;
    // The window's own pixels (shared memory on X11 and Wayland), where
    // the drawing is copied; the renderer and its texture are used only
    // where the window offers no such surface. SDL replaces the surface
    // when the window's size changes.
    SDL_Surface* windowSurface = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    std::unique_ptr<gfx::ImageContext> context;
    std::shared_ptr<gfx::Image> lastFrame;
    std::shared_ptr<gfx::Image> shownFrame;
    std::shared_ptr<base::Timer> minuteTimer;
    // Where the frame stands in the window, in the window's pixels: as
    // large as fits with the screen's aspect kept, centred; the rest of
    // the window is black.
    SDL_Rect frame{0, 0, 0, 0};
    int windowPixelsWide = 0, windowPixelsHigh = 0;
    double pixelsPerPoint = 2;
    // Window coordinates (those of mouse events) to pixels.
    double pixelsPerWindowUnitX = 1, pixelsPerWindowUnitY = 1;
    // The whole window is shown at the next present (borders included).
    bool presentWhole = true;
    bool pressed = false;
    bool suspended = false;
    bool quit = false;
    bool screenSaverOff = false;

    ~Impl() { close(); }

    void close() {
        if (minuteTimer) minuteTimer->invalidate();
        minuteTimer.reset();
        context.reset();
        if (texture) SDL_DestroyTexture(texture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        texture = nullptr;
        renderer = nullptr;
        windowSurface = nullptr;  // the window's own, freed with it
        window = nullptr;
    }

    // Opens the way to the screen: the window's surface, else a renderer.
    // Answers false when neither can be had.
    bool openPresenter() {
        // The window system's own surface: SDL would otherwise back it with
        // a graphics-driver texture, which costs start-up time and memory
        // and gains nothing for pixels drawn on the processor.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        windowSurface = SDL_GetWindowSurface(window);
        if (windowSurface && windowSurface->w > 0 && windowSurface->h > 0) return true;
        windowSurface = nullptr;
        renderer = SDL_CreateRenderer(window, -1, 0);
        if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        int w = 0, h = 0;
        return renderer && SDL_GetRendererOutputSize(renderer, &w, &h) == 0 && w > 0 && h > 0;
    }

    // Takes the window's size as it is now: fetches the surface again (the
    // old one is gone after a resize), places the frame in the middle at
    // the largest scale that fits, and draws the screen again at that
    // scale, so text stays sharp at any size. Answers false when the
    // window cannot be drawn in.
    bool fitToWindow(ui::Application* app) {
        int w = 0, h = 0;
        if (renderer) {
            if (SDL_GetRendererOutputSize(renderer, &w, &h) != 0) return false;
        } else {
            windowSurface = SDL_GetWindowSurface(window);
            if (!windowSurface) return false;
            w = windowSurface->w;
            h = windowSurface->h;
        }
        if (w <= 0 || h <= 0) return false;
        int unitsWide = 0, unitsHigh = 0;
        SDL_GetWindowSize(window, &unitsWide, &unitsHigh);
        pixelsPerWindowUnitX = unitsWide > 0 ? static_cast<double>(w) / unitsWide : 1;
        pixelsPerWindowUnitY = unitsHigh > 0 ? static_cast<double>(h) / unitsHigh : 1;
        windowPixelsWide = w;
        windowPixelsHigh = h;
        const double scale = std::min(w / 320.0, h / 480.0);
        if (!context || scale != pixelsPerPoint) {
            pixelsPerPoint = scale;
            ui::Screen::mainScreen().setScale(static_cast<ui::Float>(scale));
            context = std::make_unique<gfx::ImageContext>(ui::Size(320, 480), static_cast<ui::Float>(scale));
            if (app) app->setNeedsRedraw();
        }
        cairo_surface_t* surface = context->surface();
        const int fw = cairo_image_surface_get_width(surface);
        const int fh = cairo_image_surface_get_height(surface);
        if (fw <= 0 || fh <= 0) return false;
        frame = SDL_Rect{(w - fw) / 2, (h - fh) / 2, fw, fh};
        if (renderer) {
            int tw = 0, th = 0;
            if (texture && (SDL_QueryTexture(texture, nullptr, nullptr, &tw, &th) != 0 || tw != fw || th != fh)) {
                SDL_DestroyTexture(texture);
                texture = nullptr;
            }
            if (!texture) {
                texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, fw, fh);
                if (!texture) return false;
                if (app) app->setNeedsRedraw();
            }
        }
        presentWhole = true;
        return true;
    }

    // A point of the window (as mouse events give it) in screen points.
    ui::Point toPoints(int x, int y) const {
        const double px = (x * pixelsPerWindowUnitX - frame.x) / pixelsPerPoint;
        const double py = (y * pixelsPerWindowUnitY - frame.y) / pixelsPerPoint;
        return ui::Point(static_cast<ui::Float>(px), static_cast<ui::Float>(py));
    }

    // Whether the window point lies on the frame (not the black border).
    bool onFrame(int x, int y) const {
        ui::Point p = toPoints(x, y);
        return p.x >= 0 && p.y >= 0 && p.x < 320 && p.y < 480;
    }

    // Draws again what changed on the screen into the pixel surface and
    // shows those parts. Answers false when nothing needed drawing.
    bool render(ui::Application& app) {
        const std::vector<ui::Rect> areas = app.renderDirty(*context);
        if (areas.empty()) return false;
        cairo_surface_t* surface = context->surface();
        cairo_surface_flush(surface);
        const int width = cairo_image_surface_get_width(surface);
        const int height = cairo_image_surface_get_height(surface);
        std::vector<SDL_Rect> pixels;
        for (const ui::Rect& a : areas) {
            // Whole pixels that cover the area.
            int x0 = std::max(0, static_cast<int>(std::floor(a.minX() * pixelsPerPoint)));
            int y0 = std::max(0, static_cast<int>(std::floor(a.minY() * pixelsPerPoint)));
            int x1 = std::min(width, static_cast<int>(std::ceil(a.maxX() * pixelsPerPoint)));
            int y1 = std::min(height, static_cast<int>(std::ceil(a.maxY() * pixelsPerPoint)));
            if (x1 > x0 && y1 > y0) pixels.push_back(SDL_Rect{x0, y0, x1 - x0, y1 - y0});
        }
        paintEdgesWhole(pixels);
        present(pixels);
        return true;
    }

    // At a scale where the screen's edge falls inside a pixel, the frame's
    // last column (or row) is covered by the drawing only in part and would
    // show in a shade of its own, the drawing's edge blended with what lies
    // under it: it is painted as the column (row) before it, in the parts
    // just drawn that reach it, which then include it.
    void paintEdgesWhole(std::vector<SDL_Rect>& parts) {
        cairo_surface_t* surface = context->surface();
        const int width = cairo_image_surface_get_width(surface);
        const int height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        unsigned char* data = cairo_image_surface_get_data(surface);
        const bool partColumn = width >= 2 && 320 * pixelsPerPoint < width - 1e-3;
        const bool partRow = height >= 2 && 480 * pixelsPerPoint < height - 1e-3;
        if (!data || (!partColumn && !partRow)) return;
        auto pixel = [&](int x, int y) { return data + static_cast<std::size_t>(y) * stride + x * 4; };
        for (SDL_Rect& r : parts) {
            if (partColumn && r.x + r.w >= width - 1) {
                for (int y = r.y; y < r.y + r.h; ++y) std::memcpy(pixel(width - 1, y), pixel(width - 2, y), 4);
                r.w = width - r.x;
            }
            if (partRow && r.y + r.h >= height - 1) {
                std::memcpy(pixel(r.x, height - 1), pixel(r.x, height - 2), static_cast<std::size_t>(r.w) * 4);
                r.h = height - r.y;
            }
        }
        cairo_surface_mark_dirty(surface);
    }

    // Shows these parts of the drawing (all of it when none are named, and
    // the whole window with its border after a change of size).
    void present(std::vector<SDL_Rect> parts = {}) {
        cairo_surface_t* surface = context->surface();
        const int width = cairo_image_surface_get_width(surface);
        const int height = cairo_image_surface_get_height(surface);
        if (parts.empty() || presentWhole) parts.assign(1, SDL_Rect{0, 0, width, height});
        if (!windowSurface) {
            // The renderer shows whole frames: the texture takes the parts,
            // then all of it goes to the screen, on black.
            const int stride = cairo_image_surface_get_stride(surface);
            const unsigned char* data = cairo_image_surface_get_data(surface);
            for (const SDL_Rect& r : parts)
                SDL_UpdateTexture(texture, &r, data + static_cast<std::size_t>(r.y) * stride + r.x * 4, stride);
            SDL_RenderClear(renderer);
            SDL_RenderCopy(renderer, texture, nullptr, &frame);
            SDL_RenderPresent(renderer);
            presentWhole = false;
            return;
        }
        // The drawing's pixels (premultiplied, opaque) as a surface SDL can
        // copy from, converting to the window's format where it differs.
        SDL_Surface* source =
            SDL_CreateRGBSurfaceWithFormatFrom(cairo_image_surface_get_data(surface), width, height, 32,
                                               cairo_image_surface_get_stride(surface), SDL_PIXELFORMAT_ARGB8888);
        if (!source) return;
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        std::vector<SDL_Rect> shown;
        if (presentWhole) {
            SDL_FillRect(windowSurface, nullptr, SDL_MapRGB(windowSurface->format, 0, 0, 0));
            shown.push_back(SDL_Rect{0, 0, windowSurface->w, windowSurface->h});
        }
        for (SDL_Rect r : parts) {
            SDL_Rect to{r.x + frame.x, r.y + frame.y, r.w, r.h};
            SDL_BlitSurface(source, &r, windowSurface, &to);
            if (!presentWhole) shown.push_back(to);
        }
        SDL_FreeSurface(source);
        SDL_UpdateWindowSurfaceRects(window, shown.data(), static_cast<int>(shown.size()));
        presentWhole = false;
    }

    // What the window shows now (the frame and its border), read back from
    // the screen's side.
    std::shared_ptr<gfx::Image> readBack() {
        int w = 0, h = 0;
        if (windowSurface) {
            w = windowSurface->w;
            h = windowSurface->h;
        } else if (renderer) {
            SDL_GetRendererOutputSize(renderer, &w, &h);
        }
        if (w <= 0 || h <= 0) return nullptr;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
        bool ok = false;
        if (windowSurface) {
            ok = SDL_ConvertPixels(w, h, windowSurface->format->format, windowSurface->pixels, windowSurface->pitch,
                                   SDL_PIXELFORMAT_ARGB8888, pixels.data(), w * 4) == 0;
            // The window's format may have no alpha: the screen is opaque.
            if (ok && !SDL_ISPIXELFORMAT_ALPHA(windowSurface->format->format))
                for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0xFF;
        } else {
            SDL_RenderClear(renderer);
            SDL_RenderCopy(renderer, texture, nullptr, &frame);
            ok = SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), w * 4) == 0;
        }
        if (!ok) return nullptr;
        return gfx::Image::create(w, h, 8, 32, w * 4, gfx::Image::kPremultipliedFirst32Little, pixels,
                                  static_cast<ui::Float>(pixelsPerPoint));
    }

    void handle(const SDL_Event& e, ui::Application& app) {
        if (e.type == g_wakeEvent.load()) return;  // only ends the wait
        switch (e.type) {
        case SDL_QUIT: quit = true; break;
        case SDL_WINDOWEVENT: handleWindow(e.window, app); break;
        case SDL_MOUSEBUTTONDOWN:
            if (suspended || !onFrame(e.button.x, e.button.y)) break;
            if (e.button.button == SDL_BUTTON_MIDDLE) {
                // The desktop's middle-click paste of the primary selection.
                if (!SDL_HasPrimarySelectionText()) break;
                char* text = SDL_GetPrimarySelectionText();
                if (!text) break;
                std::string selection = text;
                SDL_free(text);
                app.pasteTextAt(toPoints(e.button.x, e.button.y), selection);
                break;
            }
            if (e.button.button != SDL_BUTTON_LEFT) break;
            // A release the window never heard of ends the old touch here.
            if (pressed) app.touchEnded(toPoints(e.button.x, e.button.y));
            pressed = true;
            app.touchBegan(toPoints(e.button.x, e.button.y));
            break;
        case SDL_MOUSEMOTION:
            if (pressed) app.touchMoved(toPoints(e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT || !pressed) break;
            pressed = false;
            app.touchEnded(toPoints(e.button.x, e.button.y));
            break;
        case SDL_MOUSEWHEEL: {
            if (suspended || e.wheel.which == SDL_TOUCH_MOUSEID || !onFrame(e.wheel.mouseX, e.wheel.mouseY)) break;
            // Notches, with a touchpad's fractions, in the direction the
            // desktop reports (its natural-scrolling setting applied).
            app.scrollWheel(toPoints(e.wheel.mouseX, e.wheel.mouseY), static_cast<ui::Float>(e.wheel.preciseX),
                            static_cast<ui::Float>(e.wheel.preciseY));
            break;
        }
        case SDL_TEXTINPUT:
            if (!suspended) app.typeText(e.text.text);
            break;
        case SDL_KEYDOWN: {
            if (suspended) break;
            SDL_Keycode key = e.key.keysym.sym;
            bool ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
            bool shift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
            if (ctrl && key == SDLK_k) {
                if (!e.key.repeat) app.shake();
            } else if (ctrl && key == SDLK_q) {
                quit = true;  // as closing the window
            } else if ((ctrl && key == SDLK_v) || (shift && key == SDLK_INSERT)) {
                if (auto text = ui::Pasteboard::generalPasteboard().string()) app.pasteText(*text);
            } else if ((ctrl && key == SDLK_c) || (ctrl && key == SDLK_INSERT)) {
                app.copyText();
            } else if (ctrl && key == SDLK_a) {
                app.selectAllText();
            } else if (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_RETURN2) {
                app.pressReturn();
            } else if (key == SDLK_ESCAPE) {
                // Held down, the key would go back screen after screen.
                if (!e.key.repeat) app.pressEscape();
            } else if (key == SDLK_BACKSPACE) {
                app.pressBackspace();
            }
            break;
        }
        default: break;
        }
    }

    void handleWindow(const SDL_WindowEvent& w, ui::Application& app) {
        switch (w.event) {
        case SDL_WINDOWEVENT_CLOSE: quit = true; break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            // The window manager or the user gave the window a new size. At
            // the same scale the frame only moves; at another it is drawn
            // anew by the next render.
            const double before = pixelsPerPoint;
            if (!fitToWindow(&app)) base::log(std::string("cannot draw in the resized window: ") + SDL_GetError());
            else if (pixelsPerPoint == before) present();
            break;
        }
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // The button may be released in another window: the touch
            // is cancelled rather than left hanging.
            if (pressed && !(SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK)) {
                pressed = false;
                app.touchCancelled(0);
            }
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            if (suspended) break;
            if (pressed) {
                pressed = false;
                app.touchCancelled(0);
            }
            suspended = true;
            app.enterBackground();
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (suspended && !(SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED)) {
                suspended = false;
                app.enterForeground();
            }
            if (w.event == SDL_WINDOWEVENT_EXPOSED && context && (windowSurface || texture)) {
                presentWhole = true;
                present();
            }
            break;
        default: break;
        }
    }
};

WindowHost::WindowHost() : impl_(std::make_unique<Impl>()) {}

WindowHost::~WindowHost() = default;

void WindowHost::requestClose() {
    g_closeRequested = true;
    if (g_sdlRunning) {
        SDL_Event e{};
        e.type = SDL_QUIT;
        SDL_PushEvent(&e);
    }
}

void WindowHost::raise() {
    if (!g_window) return;
    if (SDL_GetWindowFlags(g_window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(g_window);
    SDL_RaiseWindow(g_window);
}

std::shared_ptr<gfx::Image> WindowHost::lastFrame() const { return impl_->lastFrame; }

std::shared_ptr<gfx::Image> WindowHost::shownFrameForTesting() const { return impl_->shownFrame; }

double WindowHost::scale() const { return impl_->pixelsPerPoint; }

void WindowHost::setWindowSizeForTesting(int width, int height) {
    if (impl_->window) SDL_SetWindowSize(impl_->window, width, height);
}

int WindowHost::run(const DelegateFactory& factory, const WindowOptions& options) {
    std::string missing;
    if (!loadSdl(&missing)) {
        std::fprintf(stderr, "tolvek: cannot open a window without SDL (%s); use --headless --script FILE\n",
                     missing.c_str());
        return 2;
    }
    g_closeRequested = false;
    frames_ = 0;
    QuitSignals quitSignals;
    // The handlers above stay: SDL's own would only queue a quit event that
    // the wait might not see for a long time.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // An ordinary desktop window: the compositor stays on, and the screen
    // saver follows the application's idle-timer flag (below).
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (!initVideo()) return 2;
    auto& d = *impl_;
    const SDL_Rect size = initialWindowSize(0);
    d.window =
        SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED_DISPLAY(0), SDL_WINDOWPOS_CENTERED_DISPLAY(0),
                         size.w, size.h, SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
    if (!d.window || !d.openPresenter()) {
        reportNoDisplay(SDL_GetError());
        d.close();
        SDL_Quit();
        return 2;
    }
    SDL_SetWindowMinimumSize(d.window, kMinimumWindowWidth, kMinimumWindowHeight);
    setWindowIcon(d.window);
    g_sdlRunning = true;
    g_window = d.window;
    g_wakeEvent = SDL_RegisterEvents(1);

    // Pixels per point: as many as the window's pixels give the frame.
    if (!d.fitToWindow(nullptr)) {
        std::fprintf(stderr, "tolvek: cannot draw in the window (%s)\n", SDL_GetError());
        g_window = nullptr;
        d.close();
        g_sdlRunning = false;
        SDL_Quit();
        return 1;
    }
    SDL_StartTextInput();
    // Sounds on SDL's audio, the pasteboard on the desktop clipboard.
    installSdlDeviceBackends();

    // The loop sleeps in SDL's own wait, so window events, timers and work
    // posted from other threads all end it; nothing polls.
    auto& loop = base::RunLoop::main();
    loop.setWaiter(
        [](double seconds) {
            double ms = std::ceil(std::clamp(seconds, 0.0, kIdleWait) * 1000);
            SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
        },
        [] {
            SDL_Event e{};
            e.type = g_wakeEvent.load();
            if (e.type != 0 && e.type != static_cast<Uint32>(-1)) SDL_PushEvent(&e);
        });

    base::Clock::setCurrent(nullptr);
    auto& app = ui::Application::sharedApplication();
    app.setURLOpener(openOnDesktop);
    try {
        app.launch(factory ? factory() : nullptr);
    } catch (const std::exception& e) {
        app.reportException("launch", e.what());
    }

    // The status bar shows the time: draw again when the minute turns.
    double now = base::Clock::current().now();
    d.minuteTimer = base::Timer::timer(60, true, [](base::Timer&) {
        if (auto* a = ui::Application::existing()) a->setNeedsRedrawInRect(a->statusBarFrame());
    });
    d.minuteTimer->setFireDate(base::Date(std::floor(now / 60) * 60 + 60));
    loop.addTimer(d.minuteTimer);

    using Steady = std::chrono::steady_clock;
    Steady::time_point lastFrame = Steady::now() - std::chrono::seconds(1);
    app.setNeedsRedraw();
    while (!d.quit && !g_closeRequested) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            try {
                d.handle(e, app);
            } catch (const std::exception& ex) {
                app.reportException("handling a window event", ex.what());
            }
        }
        if (d.quit || g_closeRequested) break;
        if (d.suspended) {
            // In the background the application is suspended: only window
            // events (the restore) wake the host.
            SDL_WaitEvent(nullptr);
            continue;
        }
        loop.runPendingWork();
        // The application keeps the screen awake while its idle timer is off.
        if (app.isIdleTimerDisabled() != d.screenSaverOff) {
            d.screenSaverOff = app.isIdleTimerDisabled();
            if (d.screenSaverOff) SDL_DisableScreenSaver();
            else SDL_EnableScreenSaver();
        }
        double wait = kIdleWait;
        if (app.needsRedraw()) {
            double since = std::chrono::duration<double>(Steady::now() - lastFrame).count();
            if (since >= kFrameInterval) {
                if (d.render(app)) {
                    lastFrame = Steady::now();
                    ++frames_;
                    // A bounded run ends at its last frame, or earlier once
                    // the screen has settled (nothing more to draw, no
                    // animation).
                    if (options.maxFrames > 0 &&
                        (frames_ >= options.maxFrames || (!app.needsRedraw() && !ui::View::hasRunningAnimations())))
                        break;
                }
            } else {
                wait = kFrameInterval - since;
            }
        }
        if (app.needsRedraw()) wait = std::min(wait, kFrameInterval);
        loop.runOnce(wait);
    }

    if (d.context) d.lastFrame = d.context->image();
    if (options.readBackOnCloseForTesting && d.lastFrame) d.shownFrame = d.readBack();
    try {
        app.terminate();
    } catch (const std::exception& e) {
        base::log(std::string("Error while ending the run: ") + e.what());
    }
    // Whatever ended the run (the close button, Ctrl+Q, a signal), the
    // settings are on disk before the window goes.
    base::UserDefaults::standardUserDefaults().synchronize();
    loop.setWaiter(nullptr, nullptr);
    removeSdlDeviceBackends();
    SDL_StopTextInput();
    g_window = nullptr;
    d.close();
    g_sdlRunning = false;
    SDL_Quit();
    return 0;
}

}  // namespace host
