#include "platform/ui/EventEditViewController.h"
#include "platform/ui/URLOpener.h"
#include "platform/ui/Application.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>
#include <set>
#include <sstream>

#include "platform/base/Clock.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Layer.h"
#include "platform/ui/Accelerometer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/AnimationEngine.h"
#include "platform/ui/Control.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Palette.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {

std::unique_ptr<Application> g_instance;
Application* g_app = nullptr;

double now() { return base::Clock::current().now(); }

// Splits UTF-8 text into its code points (each a short string).
std::vector<std::string> codePoints(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
        n = std::min(n, text.size() - i);
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

constexpr Rect kKeyboardFrame(0, 264, 320, 216);

}  // namespace

struct Application::TouchTracking {
    struct Tracked {
        std::shared_ptr<Touch> touch;
        std::weak_ptr<View> view;
        std::weak_ptr<ScrollView> scrollCandidate;
        std::weak_ptr<ScrollView> scrollOwner;
        std::vector<std::shared_ptr<GestureRecognizer>> recognizers;
        Point start;
        double startTime = 0;
        bool cancelled = false;
    };
    std::map<int, Tracked> touches;
    double lastTapTime = -1e9;
    Point lastTapPoint;
    int lastTapCount = 0;
};

Application::Application() : tracking_(std::make_unique<TouchTracking>()) { g_app = this; }

Application::~Application() {
    g_app = nullptr;
    alerts_.clear();
    keyboard_.reset();
    windows_.clear();
    keyWindow_.reset();
}

Application& Application::sharedApplication() {
    if (!g_instance) {
        g_instance = std::make_unique<Application>();
        registerAvailableClass("UIPinchGestureRecognizer");
        registerAvailableClass("UITapGestureRecognizer");
        registerDeviceServiceClasses();
    }
    return *g_instance;
}

Application* Application::existing() { return g_app; }

void Application::resetSharedApplication() {
    animation::finishAll();
    Accelerometer::sharedAccelerometer().setDelegate({});
    g_instance.reset();
}

void Application::setStatusBarHidden(bool hidden, bool animated) {
    (void)animated;
    statusBarHidden_ = hidden;
    setNeedsRedraw();
}

void Application::setStatusBarStyle(StatusBarStyle style, bool animated) {
    (void)animated;
    statusBarStyle_ = style;
    setNeedsRedraw();
}

Rect Application::statusBarFrame() const { return statusBarHidden_ ? Rect() : Rect(0, 0, 320, 20); }

void Application::setNetworkActivityIndicatorVisible(bool visible) {
    networkActivity_ = visible;
    setNeedsRedraw();
}

bool Application::canOpenURL(const std::string& url) const {
    return url.find(':') != std::string::npos && url.find(':') > 0;
}

bool Application::openURL(const std::string& url) {
    if (!canOpenURL(url)) return false;
    openedURLs_.push_back(url);
    // A scheme this program handles itself never leaves the process.
    if (auto handled = url_handlers::handle(url)) return *handled;
    if (urlOpener_) return urlOpener_(url);
    return true;
}

// ---- Life cycle

bool Application::launch(std::shared_ptr<ApplicationDelegate> delegate, const base::Value& launchOptions) {
    delegate_ = std::move(delegate);
    state_ = ApplicationState::Inactive;
    bool ok = true;
    try {
        if (delegate_) ok = delegate_->didFinishLaunchingWithOptions(*this, launchOptions);
    } catch (const std::exception& e) {
        reportException("launch", e.what());
    }
    state_ = ApplicationState::Active;
    if (delegate_) delegate_->applicationDidBecomeActive(*this);
    base::NotificationCenter::defaultCenter().post(ApplicationDidBecomeActiveNotification, this);
    setNeedsRedraw();
    return ok;
}

void Application::terminate() {
    try {
        if (delegate_) delegate_->applicationWillTerminate(*this);
    } catch (const std::exception& e) {
        base::log(std::string("Error while terminating: ") + e.what());
    }
    base::NotificationCenter::defaultCenter().post(ApplicationWillTerminateNotification, this);
}

void Application::enterBackground() {
    if (state_ == ApplicationState::Background) return;
    try {
        touchCancelled(-1);
        state_ = ApplicationState::Inactive;
        if (delegate_) delegate_->applicationWillResignActive(*this);
        base::NotificationCenter::defaultCenter().post(ApplicationWillResignActiveNotification, this);
        state_ = ApplicationState::Background;
        if (delegate_) delegate_->applicationDidEnterBackground(*this);
        base::NotificationCenter::defaultCenter().post(ApplicationDidEnterBackgroundNotification, this);
    } catch (const std::exception& e) {
        reportException("going to the background", e.what());
    }
}

void Application::enterForeground() {
    if (state_ != ApplicationState::Background) return;
    try {
        state_ = ApplicationState::Inactive;
        if (delegate_) delegate_->applicationWillEnterForeground(*this);
        base::NotificationCenter::defaultCenter().post(ApplicationWillEnterForegroundNotification, this);
        state_ = ApplicationState::Active;
        if (delegate_) delegate_->applicationDidBecomeActive(*this);
        base::NotificationCenter::defaultCenter().post(ApplicationDidBecomeActiveNotification, this);
    } catch (const std::exception& e) {
        reportException("coming back from the background", e.what());
    }
    setNeedsRedraw();
}

bool Application::deliverOpenURL(const std::string& url) {
    try {
        return delegate_ && delegate_->handleOpenURL(*this, url);
    } catch (const std::exception& e) {
        reportException("opening a URL", e.what());
        return false;
    }
}

// ---- Windows

void Application::addWindow(const std::shared_ptr<Window>& window) {
    if (!window) return;
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) windows_.push_back(window);
}

void Application::removeWindow(const Window* window) {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [&](auto& w) { return w.get() == window; }),
                   windows_.end());
    if (keyWindow_.get() == window) keyWindow_ = windows_.empty() ? nullptr : windows_.back();
}

void Application::makeKeyWindow(const std::shared_ptr<Window>& window) {
    addWindow(window);
    keyWindow_ = window;
    setNeedsRedraw();
}

// ---- Redraw

void Application::setNeedsRedraw() {
    bool was = needsRedraw_;
    needsRedraw_ = true;
    redrawAll_ = true;
    dirtyAreas_.clear();
    if (!was && redrawCallback_) redrawCallback_();
}

void Application::setNeedsRedrawInRect(Rect area) {
    if (area.isNull()) return setNeedsRedraw();
    // A little room for antialiasing and shadows that reach past a view's
    // edge, in whole points, within the screen.
    constexpr Float margin = 4;
    const Rect screen = Screen::mainScreen().bounds();
    area = area.standardized();
    const Float x0 = std::floor(area.minX() - margin), y0 = std::floor(area.minY() - margin);
    const Float x1 = std::ceil(area.maxX() + margin), y1 = std::ceil(area.maxY() + margin);
    area = Rect(x0, y0, x1 - x0, y1 - y0).intersection(screen);
    if (area.isNull() || area.isEmpty()) return;
    bool was = needsRedraw_;
    needsRedraw_ = true;
    if (!redrawAll_) {
        // Overlapping areas merge; many scattered ones become the screen.
        for (bool merged = true; merged;) {
            merged = false;
            for (auto it = dirtyAreas_.begin(); it != dirtyAreas_.end(); ++it) {
                if (it->intersects(area)) {
                    area = area.unionWith(*it);
                    dirtyAreas_.erase(it);
                    merged = true;
                    break;
                }
            }
        }
        dirtyAreas_.push_back(area);
        constexpr std::size_t maxAreas = 8;
        if (dirtyAreas_.size() > maxAreas) {
            redrawAll_ = true;
            dirtyAreas_.clear();
        }
    }
    if (!was && redrawCallback_) redrawCallback_();
}

void Application::clearNeedsRedraw() {
    needsRedraw_ = false;
    redrawAll_ = false;
    dirtyAreas_.clear();
}

std::vector<Rect> Application::renderDirty(gfx::Context& context) {
    // Laying out first lets the layers follow their views, which reports
    // where they were and where they go before the areas are taken.
    layoutScreen();
    if (keyboardUp_ && keyboard_) View::prepareTreeForDrawing(*keyboard_);
    if (!needsRedraw_) return {};
    std::vector<Rect> areas = redrawAll_ ? std::vector<Rect>{Screen::mainScreen().bounds()} : dirtyAreas_;
    // At a scale that is no whole number the edge of an area falls inside a
    // pixel, which would be drawn half over what it showed before (a faint
    // seam): each area grows to the whole pixels it touches.
    const double scale = context.deviceScale();
    if (std::isfinite(scale) && scale > 0 && scale != std::round(scale))
        for (Rect& a : areas) {
            const double x0 = std::floor(a.minX() * scale + 1e-4) / scale;
            const double y0 = std::floor(a.minY() * scale + 1e-4) / scale;
            const double x1 = std::ceil(a.maxX() * scale - 1e-4) / scale;
            const double y1 = std::ceil(a.maxY() * scale - 1e-4) / scale;
            a = Rect(static_cast<Float>(x0), static_cast<Float>(y0), static_cast<Float>(x1 - x0),
                     static_cast<Float>(y1 - y0));
        }
    clearNeedsRedraw();
    gfx::SavedState saved(context);
    context.clipToRects(areas);
    renderScreen(context);
    // What drawing asked for again is kept for the next frame.
    return areas;
}

// ---- First responder and keyboard

void Application::setFirstResponder(Responder* responder) {
    if (responder == firstResponder_) return;
    firstResponder_ = responder;
    updateKeyboard();
    setNeedsRedraw();
}

void Application::responderWillBeDestroyed(Responder* responder) {
    if (firstResponder_ == responder) {
        firstResponder_ = nullptr;
        updateKeyboard();
    }
}

void Application::updateKeyboard() {
    if (handover_ > 0) return;
    auto* traits = dynamic_cast<TextInputTraits*>(firstResponder_);
    bool want = traits != nullptr;
    if (want) {
        if (!keyboard_) keyboard_ = std::make_shared<KeyboardView>();
        keyboard_->configure(traits->keyboardType(), traits->returnKeyType());
    }
    if (want == keyboardUp_) return;
    keyboardUp_ = want;
    auto info = [](bool showing) {
        Rect up = kKeyboardFrame;
        Rect down(0, 480, 320, 216);
        Rect begin = showing ? down : up, end = showing ? up : down;
        base::Dictionary d;
        d.set(KeyboardFrameBeginUserInfoKey, stringFromRect(begin));
        d.set(KeyboardFrameEndUserInfoKey, stringFromRect(end));
        d.set(KeyboardBoundsUserInfoKey, stringFromRect(Rect(0, 0, 320, 216)));
        d.set(KeyboardCenterBeginUserInfoKey, stringFromPoint(begin.center()));
        d.set(KeyboardCenterEndUserInfoKey, stringFromPoint(end.center()));
        d.set(KeyboardAnimationDurationUserInfoKey, 0.25);
        d.set(KeyboardAnimationCurveUserInfoKey, 0);
        return base::Value(std::move(d));
    };
    auto& center = base::NotificationCenter::defaultCenter();
    if (want) {
        keyboard_->setCenter(Point(160, 480 + 108));
        center.post(KeyboardWillShowNotification, this, {}, info(true));
        auto kb = keyboard_;
        View::animate(
            0.25, 0, AnimationOptions::CurveEaseOut, [kb] { kb->setCenter(kKeyboardFrame.center()); },
            [this, info](bool) {
                if (keyboardUp_)
                    base::NotificationCenter::defaultCenter().post(KeyboardDidShowNotification, this, {}, info(true));
            });
    } else {
        center.post(KeyboardWillHideNotification, this, {}, info(false));
        center.post(KeyboardDidHideNotification, this, {}, info(false));
    }
    setNeedsRedraw();
}

bool Application::isKeyboardVisible() const { return keyboardUp_; }
Rect Application::keyboardFrame() const { return keyboardUp_ ? kKeyboardFrame : Rect(); }
std::shared_ptr<View> Application::keyboardView() const { return keyboardUp_ ? keyboard_ : nullptr; }

void Application::typeText(const std::string& text) {
    try {
        for (auto& cp : codePoints(text)) {
            if (!firstResponder_) return;
            if (cp == "\n" || cp == "\r") firstResponder_->returnKeyPressed();
            else if (cp == "\b") firstResponder_->deleteBackward();
            else firstResponder_->insertText(cp);
        }
    } catch (const std::exception& e) {
        reportException("typing", e.what());
    }
    setNeedsRedraw();
}

void Application::pressReturn() {
    try {
        if (auto front = frontAlert()) {
            // An alert that came up with a sliding screen waits for the
            // slide to end, as it does for taps.
            if (isScreenSliding(frontNavigation().get())) return;
            if (auto alert = std::dynamic_pointer_cast<AlertView>(front)) alert->answerKey(alert->returnKey());
            else if (auto sheet = std::dynamic_pointer_cast<ActionSheet>(front)) sheet->answerKey(sheet->returnKey());
        } else if (firstResponder_) {
            firstResponder_->returnKeyPressed();
        }
    } catch (const std::exception& e) {
        reportException("the return key", e.what());
    }
    setNeedsRedraw();
}

void Application::pressEscape() {
    try {
        auto navigation = frontNavigation();
        if (isScreenSliding(navigation.get())) {
            // The key waits for the slide to end, so that every press counts
            // once the screen it meant is in front. An alert or sheet up
            // already came with the sliding screen: the user has not read
            // it, and the key neither answers it nor waits.
            if (!frontAlert() && queuedEscapes_ < kMostQueuedEscapes) ++queuedEscapes_;
        } else if (auto front = frontAlert()) {
            if (auto alert = std::dynamic_pointer_cast<AlertView>(front)) alert->answerKey(alert->escapeKey());
            else if (auto sheet = std::dynamic_pointer_cast<ActionSheet>(front)) sheet->answerKey(sheet->escapeKey());
        } else if (navigation) {
            escapeFromScreen(*navigation);
        }
    } catch (const std::exception& e) {
        reportException("the escape key", e.what());
    }
    setNeedsRedraw();
}

std::shared_ptr<NavigationController> Application::frontNavigation() const {
    if (!keyWindow_) return nullptr;
    auto front = keyWindow_->rootViewController();
    for (int depth = 0; front && depth < 32; ++depth) {
        auto modal = front->modalViewController();
        if (!modal || modal == front) break;
        front = modal;
    }
    auto navigation = std::dynamic_pointer_cast<NavigationController>(front);
    if (!navigation && front) navigation = front->navigationController();
    return navigation;
}

bool Application::isScreenSliding(const NavigationController* navigation) const {
    return isIgnoringInteractionEvents() || (navigation && navigation->isTransitioning());
}

void Application::escapeFromScreen(NavigationController& navigation) {
    if (navigation.isNavigationBarHidden()) return;
    // A screen that offers Cancel (a composer, a form, an editor) does what
    // its Cancel does; any other goes back where its back button shows.
    auto top = navigation.navigationBar()->topItem();
    auto left = top ? top->leftBarButtonItem() : nullptr;
    if (left && left->systemItem() == BarButtonSystemItem::Cancel) {
        if (left->isEnabled()) left->performAction();
        return;
    }
    navigation.navigationBar()->pressBackButton();
}

void Application::endIgnoringInteractionEvents() {
    if (ignoringEvents_ > 0) --ignoringEvents_;
    if (ignoringEvents_ == 0 && queuedEscapes_ > 0) pressQueuedEscapeLater();
}

void Application::pressQueuedEscapeLater() {
    // After the run loop's turn, so that the slide that ended has finished
    // its own work (its screen is in front, its arrival has shown whatever
    // it shows and its queued pushes are done). As a delayed call, which a
    // manual clock's run also waits for.
    base::RunLoop::main().performAfterDelay(0, [] {
        if (auto* app = existing()) app->replayQueuedEscape();
    });
}

void Application::replayQueuedEscape() {
    if (queuedEscapes_ == 0) return;
    try {
        auto navigation = frontNavigation();
        // Another slide began meanwhile: its end calls again.
        if (isScreenSliding(navigation.get())) return;
        // A waiting key only goes back. It answers no question (an alert or
        // sheet in front, a screen's Cancel); where it cannot go back the
        // rest could not either.
        if (frontAlert() || !navigation || navigation->isNavigationBarHidden()) {
            queuedEscapes_ = 0;
            return;
        }
        --queuedEscapes_;
        if (!navigation->navigationBar()->pressBackButton()) queuedEscapes_ = 0;
        // A press that started no slide leaves the rest to go now.
        if (queuedEscapes_ > 0 && !isScreenSliding(frontNavigation().get())) pressQueuedEscapeLater();
    } catch (const std::exception& e) {
        queuedEscapes_ = 0;
        reportException("the escape key", e.what());
    }
    setNeedsRedraw();
}

void Application::pasteText(const std::string& text) {
    try {
        if (firstResponder_ && !frontAlert()) firstResponder_->paste(text);
    } catch (const std::exception& e) {
        reportException("pasting", e.what());
    }
    setNeedsRedraw();
}

bool Application::copyText() {
    if (!firstResponder_ || frontAlert()) return false;
    auto text = firstResponder_->copiedText();
    if (!text) return false;
    Pasteboard::generalPasteboard().setString(*text);
    return true;
}

void Application::selectAllText() {
    if (firstResponder_ && !frontAlert()) firstResponder_->selectAll();
    setNeedsRedraw();
}

void Application::pasteTextAt(Point location, const std::string& text) {
    if (isIgnoringInteractionEvents() || !location.isFiniteValue() || frontAlert()) return;
    if (keyboardUp_ && kKeyboardFrame.contains(location)) return;
    layoutScreen();
    if (!keyWindow_) return;
    try {
        Event probe(EventType::Touches, EventSubtype::None, now());
        auto hit = keyWindow_->hitTest(keyWindow_->convertPointFromView(location, nullptr), &probe);
        for (auto v = hit; v; v = v->superview()) {
            if (!std::dynamic_pointer_cast<TextField>(v) && !std::dynamic_pointer_cast<TextView>(v)) continue;
            if (v->becomeFirstResponder()) v->paste(text);
            break;
        }
    } catch (const std::exception& e) {
        reportException("pasting", e.what());
    }
    setNeedsRedraw();
}

void Application::pressBackspace() {
    try {
        if (firstResponder_) firstResponder_->deleteBackward();
    } catch (const std::exception& e) {
        reportException("the delete key", e.what());
    }
    setNeedsRedraw();
}

void Application::shake() {
    try {
        Accelerometer::sharedAccelerometer().shake();
        Responder* target = firstResponder_;
        if (!target) target = keyWindow_.get();
        if (target) {
            Event event(EventType::Motion, EventSubtype::MotionShake, now());
            target->motionBegan(EventSubtype::MotionShake, &event);
            target->motionEnded(EventSubtype::MotionShake, &event);
        }
    } catch (const std::exception& e) {
        reportException("a shake", e.what());
    }
    setNeedsRedraw();
}

// ---- Alerts

void Application::presentAlert(const std::shared_ptr<View>& alert) {
    if (!alert) return;
    // Escapes still waiting for a slide were pressed before this question
    // came up: none of them answers it or goes on behind it.
    queuedEscapes_ = 0;
    alerts_.erase(std::remove(alerts_.begin(), alerts_.end(), alert), alerts_.end());
    alerts_.push_back(alert);
    alert->layer()->setDisplayRequestHandler([] {
        if (auto* app = Application::existing()) app->setNeedsRedraw();
    });
    setNeedsRedraw();
}

void Application::dismissAlert(const View* alert) {
    auto it = std::find_if(alerts_.begin(), alerts_.end(), [&](auto& a) { return a.get() == alert; });
    if (it == alerts_.end()) return;
    auto keep = *it;  // the caller may still be running in it
    alerts_.erase(it);
    base::RunLoop::main().performAfterDelay(0, [keep] {});
    setNeedsRedraw();
}

bool Application::isShownOverlay(const View* root) const {
    if (keyboardUp_ && keyboard_.get() == root) return true;
    for (auto& a : alerts_)
        if (a.get() == root) return true;
    return false;
}

std::shared_ptr<View> Application::frontAlert() const { return alerts_.empty() ? nullptr : alerts_.back(); }

void Application::reportException(const std::string& where, const std::string& what) {
    base::log("Error in " + where + ": " + what);
    static int depth = 0;
    if (depth > 0) return;
    ++depth;
    try {
        auto alert = std::make_shared<AlertView>("Error", what, std::weak_ptr<AlertViewDelegate>(), std::string("OK"));
        alert->show();
    } catch (const std::exception& e) {
        // The error itself is logged above; this says why no alert shows it.
        base::log(std::string("Error while showing the error alert: ") + e.what());
    } catch (...) {
        base::log("Error while showing the error alert: an exception of unknown type");
    }
    --depth;
}

// ---- Touches

std::vector<std::shared_ptr<View>> Application::overlayViews() const {
    std::vector<std::shared_ptr<View>> out;
    if (keyboardUp_ && keyboard_) out.push_back(keyboard_);
    if (!alerts_.empty()) out.push_back(alerts_.back());
    return out;
}

void Application::touchBegan(Point location, int identifier) {
    dispatchTouches(TouchPhase::Began, {{identifier, location}});
}
void Application::touchMoved(Point location, int identifier) {
    dispatchTouches(TouchPhase::Moved, {{identifier, location}});
}
void Application::touchEnded(Point location, int identifier) {
    dispatchTouches(TouchPhase::Ended, {{identifier, location}});
}

void Application::touchCancelled(int identifier) {
    std::vector<std::pair<int, Point>> list;
    for (auto& [id, t] : tracking_->touches)
        if (identifier < 0 || id == identifier) list.emplace_back(id, t.touch->location_);
    if (!list.empty()) dispatchTouches(TouchPhase::Cancelled, list);
}

void Application::tap(Point location) {
    touchBegan(location, 0);
    touchEnded(location, 0);
}

void Application::sendTouches(TouchPhase phase, const std::vector<std::pair<int, Point>>& touches) {
    dispatchTouches(phase, touches);
}

void Application::scrollWheel(Point location, Float dx, Float dy) {
    if (isIgnoringInteractionEvents() || !location.isFiniteValue() || !std::isfinite(dx) || !std::isfinite(dy)) return;
    if (dx == 0 && dy == 0) return;
    // A turn may come in bursts of thousands of notches from a faulty device:
    // one event never moves more than a few pages.
    dx = std::clamp<Float>(dx, -20, 20);
    dy = std::clamp<Float>(dy, -20, 20);
    layoutScreen();
    std::shared_ptr<View> root;
    if (!alerts_.empty()) root = alerts_.back();
    else if (keyboardUp_ && keyboard_ && kKeyboardFrame.contains(location)) root = keyboard_;
    else root = keyWindow_;
    if (!root) return;
    try {
        Event probe(EventType::Touches, EventSubtype::None, now());
        auto hit = root->hitTest(root->convertPointFromView(location, nullptr), &probe);
        for (auto v = hit; v; v = v->superview())
            if (v->scrollWheel(v->convertPointFromView(location, nullptr), dx, dy)) break;
    } catch (const std::exception& e) {
        reportException("handling the mouse wheel", e.what());
    }
}

void Application::dispatchTouches(TouchPhase phase, const std::vector<std::pair<int, Point>>& points) {
    if (isIgnoringInteractionEvents() && phase == TouchPhase::Began) return;
    // A finger lands on the screen as it is drawn: laid out (a table knows
    // its content size only then, so a drag could not scroll it before).
    if (phase == TouchPhase::Began) layoutScreen();
    auto& tracked = tracking_->touches;
    double t = now();
    try {
        // Update or create the touches.
        std::vector<int> ids;
        for (auto& [id, p] : points) {
            if (phase == TouchPhase::Began) {
                if (tracked.count(id)) continue;  // already down
                TouchTracking::Tracked tr;
                tr.touch = std::make_shared<Touch>();
                Touch& touch = *tr.touch;
                touch.phase_ = TouchPhase::Began;
                touch.location_ = touch.previousLocation_ = p;
                touch.timestamp_ = t;
                touch.identifier_ = id;
                touch.window_ = keyWindow_;
                if (t - tracking_->lastTapTime < 0.35 &&
                    std::hypot(p.x - tracking_->lastTapPoint.x, p.y - tracking_->lastTapPoint.y) < 25)
                    touch.tapCount_ = tracking_->lastTapCount + 1;
                std::shared_ptr<View> root;
                if (!alerts_.empty()) root = alerts_.back();
                else if (keyboardUp_ && keyboard_ && kKeyboardFrame.contains(p)) root = keyboard_;
                else root = keyWindow_;
                std::shared_ptr<View> hit;
                if (root) {
                    Event probe(EventType::Touches, EventSubtype::None, t);
                    hit = root->hitTest(root->convertPointFromView(p, nullptr), &probe);
                }
                touch.view_ = hit;
                tr.start = p;
                tr.startTime = t;
                if (hit) {
                    for (View* v = hit.get(); v; v = v->superview().get())
                        for (auto& r : v->gestureRecognizers())
                            if (r->isEnabled()) tr.recognizers.push_back(r);
                    auto* control = dynamic_cast<Control*>(hit.get());
                    if (!(control && control->keepsTouchesInScrollView())) {
                        for (auto v = hit->superview(); v; v = v->superview())
                            if (auto sv = std::dynamic_pointer_cast<ScrollView>(v); sv && sv->isScrollEnabled()) {
                                tr.scrollCandidate = sv;
                                break;
                            }
                    }
                }
                tracked[id] = std::move(tr);
            } else {
                auto it = tracked.find(id);
                if (it == tracked.end()) continue;
                Touch& touch = *it->second.touch;
                touch.previousLocation_ = touch.location_;
                if (phase != TouchPhase::Cancelled) touch.location_ = p;
                touch.phase_ = phase;
                touch.timestamp_ = t;
            }
            ids.push_back(id);
        }
        if (ids.empty()) return;
        TouchSet all;
        for (auto& [id, tr] : tracked) all.push_back(tr.touch);
        Event event(EventType::Touches, EventSubtype::None, t, all);

        for (int id : ids) {
            auto& tr = tracked[id];
            TouchSet set{tr.touch};
            // Gesture recognizers see the touch first.
            bool recognized = false;
            for (auto& r : tr.recognizers) {
                switch (phase) {
                case TouchPhase::Began: r->touchesBegan(set, &event); break;
                case TouchPhase::Moved: r->touchesMoved(set, &event); break;
                case TouchPhase::Ended: r->touchesEnded(set, &event); break;
                default: r->touchesCancelled(set, &event); break;
                }
                auto s = r->state();
                if ((s == GestureRecognizerState::Began || s == GestureRecognizerState::Changed ||
                     s == GestureRecognizerState::Ended) &&
                    r->cancelsTouchesInView())
                    recognized = true;
            }
            auto view = tr.touch->view();
            if (recognized && !tr.cancelled) {
                tr.cancelled = true;
                if (view && phase != TouchPhase::Began) view->touchesCancelled(set, &event);
                if (phase == TouchPhase::Began) tr.cancelled = true;
                continue;
            }
            if (tr.cancelled || !view) continue;
            // A drag that begins inside a scroll view moves the scroll view.
            auto sv = tr.scrollCandidate.lock();
            if (phase == TouchPhase::Moved && sv && !tr.scrollOwner.lock()) {
                Point delta(tr.touch->location_.x - tr.start.x, tr.touch->location_.y - tr.start.y);
                if (std::hypot(delta.x, delta.y) > 10 && sv->canScrollForDrag(delta)) {
                    view->touchesCancelled(set, &event);
                    tr.scrollOwner = sv;
                    tr.touch->view_ = sv;
                    sv->beginDragAt(tr.start, tr.startTime);
                    view = sv;
                }
            }
            switch (phase) {
            case TouchPhase::Began: view->touchesBegan(set, &event); break;
            case TouchPhase::Moved: view->touchesMoved(set, &event); break;
            case TouchPhase::Ended: view->touchesEnded(set, &event); break;
            default: view->touchesCancelled(set, &event); break;
            }
        }
    } catch (const std::exception& e) {
        reportException("handling a touch", e.what());
    }
    if (phase == TouchPhase::Ended || phase == TouchPhase::Cancelled) {
        for (auto& [id, p] : points) {
            auto it = tracked.find(id);
            if (it == tracked.end()) continue;
            if (phase == TouchPhase::Ended) {
                tracking_->lastTapTime = t;
                tracking_->lastTapPoint = p;
                tracking_->lastTapCount = it->second.touch->tapCount_;
            }
            for (auto& r : it->second.recognizers) {
                auto s = r->state();
                if (s == GestureRecognizerState::Ended || s == GestureRecognizerState::Cancelled ||
                    s == GestureRecognizerState::Failed)
                    r->reset();
            }
            tracked.erase(it);
        }
    }
    setNeedsRedraw();
}

// ---- Drawing the screen

namespace {

void drawStatusBar(gfx::Context& ctx, StatusBarStyle style, bool activity) {
    Rect bar(0, 0, 320, 20);
    bool dark = style != StatusBarStyle::Default;
    if (dark) {
        ctx.setFillColor(gfx::Color::black());
        ctx.fillRect(bar);
    } else {
        draw::fillVerticalGradient(ctx, bar, palette::statusBarTop(), palette::statusBarBottom());
        ctx.setFillColor(palette::statusBarRule());
        ctx.fillRect(Rect(0, 19, 320, 1));
    }
    gfx::Color ink = dark ? gfx::Color::white() : gfx::Color::black();
    // Signal bars and the carrier.
    for (int i = 0; i < 5; ++i) {
        Float h = 3.0f + i * 2;
        ctx.setFillColor(ink);
        ctx.fillRect(Rect(6.0f + i * 4, 14 - h, 3, h));
    }
    gfx::Font font = gfx::Font::boldSystemFont(12);
    draw::textCentered(ctx, "Tolvek", Rect(30, 0, 80, 20), font, ink, TextAlignment::Left);
    if (activity) {
        gfx::SavedState saved(ctx);
        ctx.setStrokeColor(ink);
        ctx.setLineWidth(1.5f);
        ctx.strokeEllipseInRect(Rect(80, 5, 10, 10));
    }
    // The time of the clock in force.
    std::time_t tt = static_cast<std::time_t>(base::Clock::current().now());
    std::tm tm{};
    localtime_r(&tt, &tm);
    int hour = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
    std::string time = base::format("%d:%02d %s", hour, tm.tm_min, tm.tm_hour < 12 ? "AM" : "PM");
    draw::textCentered(ctx, time, bar, font, ink);
    // Battery.
    Rect battery(286, 5, 24, 11);
    ctx.setStrokeColor(ink);
    ctx.setLineWidth(1);
    ctx.strokeRect(battery.inset(0.5f, 0.5f));
    ctx.setFillColor(ink);
    ctx.fillRect(Rect(310, 8, 2, 5));
    ctx.fillRect(Rect(288, 7, 20, 7));
}

}  // namespace

void Application::renderScreen(gfx::Context& context) {
    clearNeedsRedraw();
    try {
        gfx::SavedState saved(context);
        context.setFillColor(gfx::Color::black());
        context.fillRect(Screen::mainScreen().bounds());
        std::shared_ptr<Window> window = keyWindow_ ? keyWindow_ : (windows_.empty() ? nullptr : windows_.back());
        if (window && !window->isHidden()) window->renderInContext(context);
        if (!statusBarHidden_) drawStatusBar(context, statusBarStyle_, networkActivity_);
        if (keyboardUp_ && keyboard_) keyboard_->renderInContext(context);
        if (!alerts_.empty()) alerts_.back()->renderInContext(context);
    } catch (const std::exception& e) {
        base::log(std::string("Error while drawing the screen: ") + e.what());
    }
}

// ---- Finding and describing

namespace {

bool isShown(const View& v) { return !v.isHidden() && v.alpha() > 0.01f; }

template <class Visit>
void walkVisible(const View& view, Rect clip, int depth, const Visit& visit) {
    if (!isShown(view)) return;
    Rect frame = view.convertRectToView(view.bounds(), nullptr);
    Rect visible = frame.intersection(clip);
    if (view.clipsToBounds() && (visible.isNull() || visible.isEmpty())) return;
    bool descend = visit(view, visible, depth);
    if (!descend) return;
    Rect inner = view.clipsToBounds() ? visible : clip;
    for (auto& sub : view.subviews()) walkVisible(*sub, inner, depth + 1, visit);
}

}  // namespace

void Application::layoutScreen() const {
    // Names and texts are read from laid-out views, as they are drawn.
    if (keyWindow_) View::prepareTreeForDrawing(*keyWindow_);
    if (!alerts_.empty()) View::prepareTreeForDrawing(*alerts_.back());
}

std::vector<AccessibleElement> Application::accessibleElements() const {
    layoutScreen();
    std::vector<AccessibleElement> out;
    std::vector<std::shared_ptr<View>> roots;
    if (!alerts_.empty()) roots.push_back(alerts_.back());
    else if (keyWindow_) roots.push_back(keyWindow_);
    Rect screen = Screen::mainScreen().bounds();
    if (keyboardUp_) screen = Rect(0, 0, 320, kKeyboardFrame.minY());
    for (auto& root : roots) {
        Rect clip = alerts_.empty() ? screen : Screen::mainScreen().bounds();
        walkVisible(*root, clip, 0, [&](const View& v, Rect visible, int) {
            (void)visible;
            std::vector<AccessibleElement> found;
            v.collectAccessibleElements(found);
            for (auto& e : found) {
                Rect r = e.frame.intersection(clip);
                // Clip by every clipping ancestor.
                for (auto s = v.superview(); s; s = s->superview())
                    if (s->clipsToBounds()) r = r.intersection(s->convertRectToView(s->bounds(), nullptr));
                if (r.isNull() || r.isEmpty()) continue;
                e.frame = r;
                out.push_back(std::move(e));
            }
            return v.exposesSubviews();
        });
    }
    std::reverse(out.begin(), out.end());
    return out;
}

std::optional<AccessibleElement> Application::findElement(const std::string& text) const {
    for (auto& e : accessibleElements())
        if (e.enabled && e.label == text) return e;
    return std::nullopt;
}

bool Application::tapElement(const std::string& text, std::string* why) {
    auto elements = accessibleElements();
    bool disabled = false;
    for (auto& e : elements) {
        if (e.label != text) continue;
        if (!e.enabled) {
            disabled = true;
            continue;
        }
        tap(e.frame.center());
        return true;
    }
    if (why) {
        *why = disabled ? "\"" + text + "\" is disabled" : "no visible control, row or label named \"" + text + "\"";
    }
    return false;
}

std::vector<std::string> Application::visibleTexts() const {
    layoutScreen();
    std::vector<std::string> out;
    std::vector<std::shared_ptr<View>> roots;
    if (keyWindow_) roots.push_back(keyWindow_);
    if (!alerts_.empty()) roots.push_back(alerts_.back());
    for (auto& root : roots) {
        walkVisible(*root, Screen::mainScreen().bounds(), 0, [&](const View& v, Rect visible, int) {
            std::string t = v.displayedText();
            if (!t.empty() && !(visible.isNull() || visible.isEmpty())) out.push_back(t);
            return v.exposesSubviews() || dynamic_cast<const Control*>(&v) == nullptr;
        });
    }
    return out;
}

bool Application::isTextVisible(const std::string& text) const {
    for (auto& t : visibleTexts())
        if (t.find(text) != std::string::npos) return true;
    return false;
}

std::string Application::dumpViewTree() const {
    layoutScreen();
    std::ostringstream out;
    auto line = [&](const View& v, int depth) {
        Rect f = v.frame();
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << v.className()
            << base::format(" (%g, %g, %g, %g)", double(f.x()), double(f.y()), double(f.width()), double(f.height()));
        std::string t = v.displayedText();
        if (!t.empty()) {
            std::string oneLine;
            for (char c : t) oneLine += c == '\n' ? ' ' : c;
            out << " \"" << oneLine << "\"";
        }
        if (!v.accessibilityLabel().empty() && v.accessibilityLabel() != t)
            out << " [" << v.accessibilityLabel() << "]";
        out << "\n";
    };
    std::vector<std::shared_ptr<View>> roots;
    if (keyWindow_) roots.push_back(keyWindow_);
    if (keyboardUp_ && keyboard_) roots.push_back(keyboard_);
    if (!alerts_.empty()) roots.push_back(alerts_.back());
    for (auto& root : roots)
        walkVisible(*root, Rect::infinite(), 0, [&](const View& v, Rect, int depth) {
            line(v, depth);
            return true;
        });
    return out.str();
}

// ---- Screen

Rect Screen::applicationFrame() const {
    auto* app = Application::existing();
    if (app && app->isStatusBarHidden()) return bounds();
    return Rect(0, 20, 320, 460);
}

Screen& Screen::mainScreen() {
    static Screen screen;
    return screen;
}

Device& Device::currentDevice() {
    static Device device;
    return device;
}

namespace {
std::set<std::string>& availableClasses() {
    static std::set<std::string> names;
    return names;
}
}  // namespace

bool isClassAvailable(const std::string& name) {
    Application::sharedApplication();
    return availableClasses().count(name) > 0;
}

void registerAvailableClass(const std::string& name) { availableClasses().insert(name); }

}  // namespace ui
