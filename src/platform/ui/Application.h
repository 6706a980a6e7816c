#pragma once
// The application (one instance), its delegate, the screen and the device,
// and the hooks through which a host drives it: touches, typed text, the
// return key, a shake, going to the background and back, drawing the whole
// screen, the redraw request, finding elements by name and dumping the tree.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Value.h"
#include "platform/ui/View.h"

namespace gfx {
class Context;
}

namespace ui {

class Application;
class Window;
class AlertView;
class ActionSheet;
class KeyboardView;
class NavigationController;
class TextInput;

enum class ApplicationState { Active, Inactive, Background };

// The application's delegate. Every operation is optional.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    // Launching is done; answers whether the launch succeeded.
    virtual bool didFinishLaunchingWithOptions(Application& application, const base::Value& launchOptions) {
        (void)application, (void)launchOptions;
        return true;
    }
    virtual void applicationWillTerminate(Application& application) { (void)application; }
    virtual void applicationDidEnterBackground(Application& application) { (void)application; }
    virtual void applicationWillEnterForeground(Application& application) { (void)application; }
    virtual void applicationDidBecomeActive(Application& application) { (void)application; }
    virtual void applicationWillResignActive(Application& application) { (void)application; }
    virtual void applicationDidReceiveMemoryWarning(Application& application) { (void)application; }
    // A URL handed to the application (another program's answer); answers
    // whether it was handled.
    virtual bool handleOpenURL(Application& application, const std::string& url) {
        (void)application, (void)url;
        return false;
    }
    // The application's window, if the delegate keeps one.
    virtual std::shared_ptr<Window> window() const { return nullptr; }
};

// Notification names posted by the application.
inline constexpr const char* ApplicationDidEnterBackgroundNotification = "UIApplicationDidEnterBackgroundNotification";
inline constexpr const char* ApplicationWillEnterForegroundNotification =
    "UIApplicationWillEnterForegroundNotification";
inline constexpr const char* ApplicationDidBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
inline constexpr const char* ApplicationWillResignActiveNotification = "UIApplicationWillResignActiveNotification";
inline constexpr const char* ApplicationWillTerminateNotification = "UIApplicationWillTerminateNotification";
inline constexpr const char* DeviceOrientationDidChangeNotification = "UIDeviceOrientationDidChangeNotification";

class Application : public Responder {
public:
    // The one instance (made on first use).
    static Application& sharedApplication();
    // Throws the instance away; the next sharedApplication() makes a fresh
    // one. Tests and the headless host start each run from a clean
    // application with it, and the desktop program tears its screens down
    // with it before it ends, while the services they release into live.
    static void resetSharedApplication();
    // The instance if one exists (never creates one; null while it is being
    // destroyed).
    static Application* existing();

    // The delegate is owned by the application for the whole run.
    std::shared_ptr<ApplicationDelegate> delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) { delegate_ = std::move(delegate); }

    ApplicationState applicationState() const { return state_; }
    std::shared_ptr<Window> keyWindow() const { return keyWindow_; }
    const std::vector<std::shared_ptr<Window>>& windows() const { return windows_; }

    // Keeps the screen from sleeping while set.
    bool isIdleTimerDisabled() const { return idleTimerDisabled_; }
    void setIdleTimerDisabled(bool disabled) { idleTimerDisabled_ = disabled; }
    bool isStatusBarHidden() const { return statusBarHidden_; }
    void setStatusBarHidden(bool hidden, bool animated = false);
    StatusBarStyle statusBarStyle() const { return statusBarStyle_; }
    void setStatusBarStyle(StatusBarStyle style, bool animated = false);
    // (0, 0, 320, 20), or empty when hidden.
    Rect statusBarFrame() const;
    bool isNetworkActivityIndicatorVisible() const { return networkActivity_; }
    void setNetworkActivityIndicatorVisible(bool visible);
    int applicationIconBadgeNumber() const { return badgeNumber_; }
    void setApplicationIconBadgeNumber(int number) { badgeNumber_ = number; }
    bool isIgnoringInteractionEvents() const { return ignoringEvents_ > 0; }
    void beginIgnoringInteractionEvents() { ++ignoringEvents_; }
    // Escapes pressed while events were ignored (a screen sliding) go back
    // once they are taken again (see pressEscape).
    void endIgnoringInteractionEvents();

    // Hands a URL to the system (another program). Answers whether it was
    // taken; the host installs the opener (a desktop browser, or a recorder
    // in the headless host). Every URL handed over is kept in openedURLs().
    bool openURL(const std::string& url);
    bool canOpenURL(const std::string& url) const;
    void setURLOpener(std::function<bool(const std::string& url)> opener) { urlOpener_ = std::move(opener); }
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    // Whether another program (a browser) can hand this program a URL of its
    // own scheme: the program's entry says yes when an installed desktop
    // entry makes it that scheme's handler; no unless it (or a test) says so.
    bool canReceiveOwnURLScheme() const { return canReceiveOwnURLScheme_; }
    void setCanReceiveOwnURLScheme(bool can) { canReceiveOwnURLScheme_ = can; }

    // The responder that receives typed text and motion events (or null).
    Responder* firstResponder() const { return firstResponder_; }

    // --- Host hooks ------------------------------------------------------
    // Starts the application: calls the delegate's did-finish-launching and
    // makes it active. Answers the delegate's result.
    bool launch(std::shared_ptr<ApplicationDelegate> delegate, const base::Value& launchOptions = {});
    // Ends the run: will-terminate.
    void terminate();
    // Goes to the background (will-resign-active, did-enter-background) and
    // comes back (will-enter-foreground, did-become-active).
    void enterBackground();
    void enterForeground();
    // An opened URL from outside (the delegate's handleOpenURL).
    bool deliverOpenURL(const std::string& url);

    // Pointer input in screen points. identifier tells fingers apart.
    void touchBegan(Point location, int identifier = 0);
    void touchMoved(Point location, int identifier = 0);
    void touchEnded(Point location, int identifier = 0);
    void touchCancelled(int identifier = 0);
    // A whole tap (began and ended at the point).
    void tap(Point location);
    // Several fingers at once (a pinch): phase applies to each point.
    void sendTouches(TouchPhase phase, const std::vector<std::pair<int, Point>>& touches);
    // A turn of the mouse wheel (or a two-finger scroll on a touchpad) with
    // the pointer at location: dx and dy in wheel notches, fractions from a
    // touchpad; dy > 0 turns away from the user (towards the top of the
    // content), dx > 0 to the right. The innermost view under the pointer
    // that scrolls that way takes it (see View::scrollWheel).
    void scrollWheel(Point location, Float dx, Float dy);

    // Typed text goes to the first responder; so do the delete and return keys.
    // An alert or action sheet in front takes the keys instead: each does
    // what the alert or sheet names for it (see KeyAnswer). With none in
    // front the escape key presses the Cancel of a screen that offers one,
    // or else goes back from a pushed screen, as its back button does.
    // While a screen slides (pushed, popped, presented or dismissed) a key
    // answers no alert or sheet, since the user cannot have read one that
    // came up with the screen: an escape then waits for the slide to end and
    // only goes back, as the back button does, never pressing a Cancel; the
    // waiting escapes are dropped as soon as an alert, a sheet or a
    // presented screen comes up, so that a key pressed before a question
    // appeared never answers it.
    void typeText(const std::string& text);
    void pressReturn();
    void pressEscape();
    void pressBackspace();
    // The edit commands, for the text input being edited: pastes text (the
    // clipboard's) at its caret; copies its text to the general pasteboard
    // (answers whether there was any it lets be copied); selects all of it.
    void pasteText(const std::string& text);
    bool copyText();
    void selectAllText();
    // A middle click: the text input under the point (screen points) starts
    // editing and takes the text (the desktop's primary selection); a click
    // elsewhere does nothing.
    void pasteTextAt(Point location, const std::string& text);
    // A shake: a burst of accelerometer values well over the shake threshold
    // to the accelerometer's delegate, and motion-began/ended to the first
    // responder.
    void shake();

    // Draws the whole screen (key window, status bar, keyboard, alerts and
    // action sheets above) into the context, in points: the host scales the
    // context for its pixel density first.
    void renderScreen(gfx::Context& context);
    // True when something changed since the last clearNeedsRedraw() (or the
    // start of the last renderScreen(), which clears it).
    bool needsRedraw() const { return needsRedraw_; }
    void clearNeedsRedraw();
    // The whole screen needs drawing again.
    void setNeedsRedraw();
    // Only this area of the screen (in points) needs drawing again.
    void setNeedsRedrawInRect(Rect area);
    // Lays the screen out, then draws again only what needs it (all of it
    // after setNeedsRedraw), clipped to those areas; answers them (in
    // points, whole numbers within the screen at a whole-number scale, else
    // grown to the context's whole pixels), none when nothing changed.
    std::vector<Rect> renderDirty(gfx::Context& context);
    // Called (once per change burst) when the screen needs drawing again.
    void setRedrawCallback(std::function<void()> callback) { redrawCallback_ = std::move(callback); }

    // --- Finding and describing what is on screen ---------------------
    // Every visible element that can be tapped by name, front-most first
    // (alerts and sheets, keyboard, then the window's views from the top).
    std::vector<AccessibleElement> accessibleElements() const;
    // The front-most visible, enabled element whose label is text (exact).
    std::optional<AccessibleElement> findElement(const std::string& text) const;
    // Taps the front-most element named text; answers false (and why) when
    // there is none.
    bool tapElement(const std::string& text, std::string* why = nullptr);
    // Every text shown by a visible view (labels, fields, titles...).
    std::vector<std::string> visibleTexts() const;
    // True when some visible view shows a text containing text.
    bool isTextVisible(const std::string& text) const;
    // The visible tree as indented text: class, frame, text.
    std::string dumpViewTree() const;

    // --- Above the window ------------------------------------------------
    // The alert or action sheet in front (null when none is shown).
    std::shared_ptr<View> frontAlert() const;
    // The on-screen keyboard is up (a text input is first responder).
    bool isKeyboardVisible() const;
    // Its frame in screen coordinates (0, 264, 320, 216) when up.
    Rect keyboardFrame() const;
    std::shared_ptr<View> keyboardView() const;
    // Whether the view is the root of something shown above the window.
    bool isShownOverlay(const View* root) const;

    // Internal: used by the toolkit's own classes.
    void setFirstResponder(Responder* responder);
    // While one responder hands over to another the keyboard stays up.
    void beginFirstResponderHandover() { ++handover_; }
    void endFirstResponderHandover() {
        if (handover_ > 0) --handover_;
    }
    void addWindow(const std::shared_ptr<Window>& window);
    void removeWindow(const Window* window);
    void makeKeyWindow(const std::shared_ptr<Window>& window);
    void presentAlert(const std::shared_ptr<View>& alert);
    // Forgets the escapes waiting for a slide to end (a presented screen is
    // coming up, which they were not meant for).
    void dropQueuedEscapes() { queuedEscapes_ = 0; }
    void dismissAlert(const View* alert);
    // Shows an error that escaped an event handler as an alert (the program
    // keeps running).
    void reportException(const std::string& where, const std::string& what);
    void responderWillBeDestroyed(Responder* responder);

    Application();
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

private:
    struct TouchTracking;
    void dispatchTouches(TouchPhase phase, const std::vector<std::pair<int, Point>>& points);
    void updateKeyboard();
    std::vector<std::shared_ptr<View>> overlayViews() const;
    void layoutScreen() const;
    // The navigation controller of the screen in front (the window's root,
    // or the last controller presented over it), or null.
    std::shared_ptr<NavigationController> frontNavigation() const;
    bool isScreenSliding(const NavigationController* navigation) const;
    void escapeFromScreen(NavigationController& navigation);
    void pressQueuedEscapeLater();
    void replayQueuedEscape();

    std::shared_ptr<ApplicationDelegate> delegate_;
    ApplicationState state_ = ApplicationState::Inactive;
    std::shared_ptr<Window> keyWindow_;
    std::vector<std::shared_ptr<Window>> windows_;
    std::vector<std::shared_ptr<View>> alerts_;  // shown one at a time, newest in front
    std::shared_ptr<KeyboardView> keyboard_;
    bool keyboardUp_ = false;
    int handover_ = 0;
    Responder* firstResponder_ = nullptr;
    bool idleTimerDisabled_ = false;
    bool statusBarHidden_ = false;
    StatusBarStyle statusBarStyle_ = StatusBarStyle::Default;
    bool networkActivity_ = false;
    int badgeNumber_ = 0;
    int ignoringEvents_ = 0;
    // Escapes waiting for a slide to end, each to go back once; a few at
    // most, as many as screens a user could mean to back out of.
    static constexpr int kMostQueuedEscapes = 8;
    int queuedEscapes_ = 0;
    bool needsRedraw_ = true;
    bool redrawAll_ = true;
    std::vector<Rect> dirtyAreas_;  // with !redrawAll_: what to draw again
    std::function<void()> redrawCallback_;
    std::function<bool(const std::string&)> urlOpener_;
    std::vector<std::string> openedURLs_;
    bool canReceiveOwnURLScheme_ = false;
    std::unique_ptr<TouchTracking> tracking_;
};

// The screen: 320 x 480 points at the host's scale.
class Screen {
public:
    static Screen& mainScreen();
    Rect bounds() const { return Rect(0, 0, 320, 480); }
    // The bounds less the status bar.
    Rect applicationFrame() const;
    Float scale() const { return scale_; }
    // Set by the host (2 headless, the display's scale in a window).
    void setScale(Float scale) { scale_ = scale; }

private:
    Float scale_ = 2;
};

enum class UserInterfaceIdiom { Phone, Pad };

// The device: model, system name and version, orientation (portrait).
class Device {
public:
    static Device& currentDevice();
    std::string name() const { return "Tolvek"; }
    std::string model() const { return "iPhone"; }
    std::string localizedModel() const { return "iPhone"; }
    std::string systemName() const { return "iPhone OS"; }
    // The level of the toolkit this layer provides.
    std::string systemVersion() const { return "4.3"; }
    DeviceOrientation orientation() const { return DeviceOrientation::Portrait; }
    UserInterfaceIdiom userInterfaceIdiom() const { return UserInterfaceIdiom::Phone; }
    bool isMultitaskingSupported() const { return true; }
    void beginGeneratingDeviceOrientationNotifications() { ++orientationObservers_; }
    void endGeneratingDeviceOrientationNotifications() {
        if (orientationObservers_ > 0) --orientationObservers_;
    }
    bool isGeneratingDeviceOrientationNotifications() const { return orientationObservers_ > 0; }

private:
    int orientationObservers_ = 0;
};

// Whether a toolkit class is available by its platform name (some code
// looks classes up by name before using them; e.g. "UIPinchGestureRecognizer").
bool isClassAvailable(const std::string& name);
void registerAvailableClass(const std::string& name);

}  // namespace ui
