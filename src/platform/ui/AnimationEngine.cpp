#include "platform/ui/AnimationEngine.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <numbers>

#include "platform/base/Clock.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/Renderer.h"
#include "platform/ui/Application.h"

namespace ui::animation {

namespace {

struct Engine {
    std::vector<std::shared_ptr<Group>> open;
    std::vector<std::shared_ptr<Group>> running;
    bool enabled = true;
    std::shared_ptr<base::Timer> tick;
};

Engine& engine() {
    static Engine e;
    return e;
}

double now() { return base::Clock::current().now(); }

ViewAnimationState& stateOf(View& view) {
    if (!view.animationState_) view.animationState_ = std::make_shared<ViewAnimationState>();
    return *view.animationState_;
}

void ensureTick() {
    Engine& e = engine();
    if (e.running.empty()) {
        if (e.tick) e.tick->invalidate();
        e.tick.reset();
        return;
    }
    if (e.tick && e.tick->isValid()) return;
    e.tick = base::Timer::scheduledTimer(1.0 / 60.0, true,
                                         [](base::Timer&) { Application::sharedApplication().setNeedsRedraw(); });
}

std::shared_ptr<gfx::Image> snapshot(View& view) {
    View::prepareTreeForDrawing(view);
    if (view.bounds().isEmpty()) return nullptr;
    // A view still turning from an earlier flip has its layer put out of
    // sight; the picture is of the view itself.
    auto& layer = *view.layer();
    const bool wasHidden = layer.isHidden();
    layer.setHidden(view.isHidden());
    auto image = gfx::Renderer::renderToImage(layer, Screen::mainScreen().scale());
    layer.setHidden(wasHidden);
    return image;
}

// The image's shape in black (its alpha kept).
std::shared_ptr<gfx::Image> silhouette(const gfx::Image& image) {
    std::vector<std::uint8_t> pixels = image.pixelData();
    // Premultiplied B, G, R, A bytes: black keeps only the alpha.
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) pixels[i] = pixels[i + 1] = pixels[i + 2] = 0;
    return gfx::Image::create(image.width(), image.height(), 8, 32, image.bytesPerRow(), image.bitmapInfo(), pixels,
                              image.scale());
}

void end(const std::shared_ptr<Group>& g) {
    if (!g || g->ended) return;
    g->ended = true;
    if (g->endTimer) g->endTimer->invalidate();
    for (auto& [weakView, prop] : g->members) {
        auto view = weakView.lock();
        if (!view || !view->animationState_) continue;
        auto& props = view->animationState_->props;
        auto it = props.find(prop);
        if (it != props.end() && it->second.group.lock() == g) props.erase(it);
        ViewAnimationState::markDirty(*view);
    }
    if (auto view = g->transitionView.lock(); view && view->animationState_) {
        auto& t = view->animationState_->transition;
        if (t && t->group.lock() == g) {
            t.reset();
            ViewAnimationState::refreshOverlay(*view);
        }
    }
    Engine& e = engine();
    e.running.erase(std::remove(e.running.begin(), e.running.end(), g), e.running.end());
    ensureTick();
    Application::sharedApplication().setNeedsRedraw();
    try {
        if (g->didStop) g->didStop(g->id, g->finished, g->context);
        if (g->completion) g->completion(g->finished);
    } catch (const std::exception& ex) {
        Application::sharedApplication().reportException("animation completion", ex.what());
    }
}

std::vector<Float> interpolate(const ViewAnimationState::PropAnim& a, double t) {
    double elapsed = t - a.start;
    if (elapsed <= 0 || a.duration <= 0) return elapsed <= 0 ? a.from : a.to;
    double cycle = a.autoreverses ? 2 * a.duration : a.duration;
    double total = cycle * std::max(1.0, double(a.repeatCount));
    if (elapsed >= total) return a.autoreverses ? a.from : a.to;
    double local = std::fmod(elapsed, cycle) / a.duration;
    if (local > 1) local = 2 - local;
    double f = ease(a.curve, std::clamp(local, 0.0, 1.0));
    std::vector<Float> out(a.to.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        Float from = i < a.from.size() ? a.from[i] : a.to[i];
        out[i] = static_cast<Float>(from + (a.to[i] - from) * f);
    }
    return out;
}

}  // namespace

void Group::applyOptions(unsigned options) {
    switch ((options >> 16) & 0xF) {
    case 1: curve = AnimationCurve::EaseIn; break;
    case 2: curve = AnimationCurve::EaseOut; break;
    case 3: curve = AnimationCurve::Linear; break;
    default: curve = AnimationCurve::EaseInOut; break;
    }
    if (options & AnimationOptions::Repeat) repeatCount = 1e9f;
    if (options & AnimationOptions::Autoreverse) autoreverses = true;
    if (options & AnimationOptions::BeginFromCurrentState) fromCurrentState = true;
}

double Group::totalDuration() const {
    double cycle = autoreverses ? 2 * duration : duration;
    return cycle * std::max(1.0, double(repeatCount));
}

double ease(AnimationCurve curve, double t) {
    t = std::clamp(t, 0.0, 1.0);
    switch (curve) {
    case AnimationCurve::Linear: return t;
    case AnimationCurve::EaseIn: return t * t;
    case AnimationCurve::EaseOut: return 1 - (1 - t) * (1 - t);
    case AnimationCurve::EaseInOut: return t * t * (3 - 2 * t);
    }
    return t;
}

void begin(std::string id, std::any context) {
    auto g = std::make_shared<Group>();
    g->id = std::move(id);
    g->context = std::move(context);
    g->start = now();
    engine().open.push_back(std::move(g));
}

void current(const std::function<void(Group&)>& fn) {
    if (!engine().open.empty()) fn(*engine().open.back());
}

void setTransition(AnimationTransition transition, const std::shared_ptr<View>& view) {
    Engine& e = engine();
    if (e.open.empty() || !view) return;
    Group& g = *e.open.back();
    g.transition = transition;
    g.transitionView = view;
    if (transition != AnimationTransition::None || g.crossDissolve) g.before = snapshot(*view);
}

AnimationTransition transitionFromOptions(unsigned options) {
    switch ((options >> 20) & 0xF) {
    case 1: return AnimationTransition::FlipFromLeft;
    case 2: return AnimationTransition::FlipFromRight;
    case 3: return AnimationTransition::CurlUp;
    case 4: return AnimationTransition::CurlDown;
    case 5: current([](Group& g) { g.crossDissolve = true; }); return AnimationTransition::None;
    default: return AnimationTransition::None;
    }
}

void commit() {
    Engine& e = engine();
    if (e.open.empty()) return;
    auto g = e.open.back();
    e.open.pop_back();
    double t = now();
    g->start = t + g->delay;
    bool animate = e.enabled && g->duration > 0;
    for (auto& [weakView, prop] : g->members) {
        auto view = weakView.lock();
        if (!view || !view->animationState_) continue;
        auto& props = view->animationState_->props;
        auto it = props.find(prop);
        if (it == props.end() || it->second.group.lock() != g) continue;
        if (!animate) {
            props.erase(it);
            continue;
        }
        it->second.start = g->start;
        it->second.duration = g->duration;
        it->second.curve = g->curve;
        it->second.repeatCount = g->repeatCount;
        it->second.autoreverses = g->autoreverses;
    }
    bool hasTransition = false;
    if (auto view = g->transitionView.lock();
        view && (g->transition != AnimationTransition::None || g->crossDissolve) && animate) {
        ViewAnimationState::Transition tr;
        tr.type = g->transition;
        tr.crossDissolve = g->crossDissolve;
        tr.before = g->before;
        tr.after = snapshot(*view);
        tr.start = g->start;
        tr.duration = g->duration;
        tr.curve = g->curve;
        tr.group = g;
        auto& state = stateOf(*view);
        if (state.transition) {
            if (auto old = state.transition->group.lock()) old->finished = false;
        }
        state.transition = tr;
        ViewAnimationState::refreshOverlay(*view);
        hasTransition = true;
    }
    g->before.reset();
    try {
        if (g->willStart) g->willStart(g->id, g->context);
    } catch (const std::exception& ex) {
        Application::sharedApplication().reportException("animation start", ex.what());
    }
    double after = (animate && (!g->members.empty() || hasTransition)) ? g->delay + g->totalDuration() : 0;
    std::weak_ptr<Group> weak = g;
    e.running.push_back(g);
    g->endTimer = base::Timer::scheduledTimer(after, false, [weak](base::Timer&) { end(weak.lock()); });
    ensureTick();
    Application::sharedApplication().setNeedsRedraw();
}

void setEnabled(bool on) { engine().enabled = on; }
bool enabled() { return engine().enabled; }
bool running() { return !engine().running.empty(); }

void recordChange(View& view, Prop prop, std::vector<Float> from, std::vector<Float> to) {
    Engine& e = engine();
    auto weak = view.weak_from_this();
    std::shared_ptr<Group> g = e.open.empty() ? nullptr : e.open.back();
    bool animate = g && g->recordProperties && e.enabled && g->duration > 0 && !weak.expired();
    if (!animate) {
        // A plain change ends an animation of the property (not finished).
        if (view.animationState_) {
            auto& props = view.animationState_->props;
            auto it = props.find(prop);
            if (it != props.end()) {
                if (auto old = it->second.group.lock()) old->finished = false;
                props.erase(it);
            }
        }
        return;
    }
    auto& state = stateOf(view);
    auto it = state.props.find(prop);
    if (it != state.props.end()) {
        auto old = it->second.group.lock();
        if (old == g) {
            // Changed twice in the same block: keep the first start value.
            from = it->second.from;
        } else if (old) {
            old->finished = false;
        }
    }
    if (prop == Prop::Transform && from.size() == 6 && to.size() == 6) {
        // Turn the short way round.
        double d = to[4] - from[4];
        while (d > std::numbers::pi) d -= 2 * std::numbers::pi;
        while (d < -std::numbers::pi) d += 2 * std::numbers::pi;
        to[4] = static_cast<Float>(from[4] + d);
    }
    ViewAnimationState::PropAnim a;
    a.from = std::move(from);
    a.to = std::move(to);
    a.start = now() + g->delay;
    a.duration = g->duration;
    a.curve = g->curve;
    a.group = g;
    state.props[prop] = std::move(a);
    g->members.emplace_back(weak, prop);
}

std::optional<std::vector<Float>> presentation(const View& view, Prop prop) {
    if (!view.animationState_) return std::nullopt;
    auto& props = view.animationState_->props;
    auto it = props.find(prop);
    if (it == props.end()) return std::nullopt;
    return interpolate(it->second, now());
}

gfx::Color presentationBackground(const View& view) {
    auto v = presentation(view, Prop::Background);
    if (v && v->size() == 4) return gfx::Color::rgb((*v)[0], (*v)[1], (*v)[2], (*v)[3]);
    return view.backgroundColor();
}

void viewDestroyed(View* view) { (void)view; }

bool hasTransition(const View& view) { return view.animationState_ && view.animationState_->transition.has_value(); }

bool isTurning(const View& view) {
    if (!hasTransition(view)) return false;
    auto& tr = *view.animationState_->transition;
    return !tr.crossDissolve &&
           (tr.type == AnimationTransition::FlipFromLeft || tr.type == AnimationTransition::FlipFromRight);
}

void drawTransitionOverlay(View& view, gfx::Context& ctx, bool inPlaceOfView) {
    if (!view.animationState_ || !view.animationState_->transition) return;
    auto& tr = *view.animationState_->transition;
    Rect b = view.presentationBounds();
    double raw = tr.duration > 0 ? (now() - tr.start) / tr.duration : 1;
    double p = ease(tr.curve, std::clamp(raw, 0.0, 1.0));
    auto drawImage = [&](const std::shared_ptr<gfx::Image>& img) {
        if (img) ctx.drawImageTopDown(b, *img);
    };
    gfx::SavedState saved(ctx);
    if (tr.crossDissolve) {
        drawImage(tr.after);
        ctx.setAlpha(static_cast<Float>(1 - p));
        drawImage(tr.before);
    } else if (tr.type == AnimationTransition::FlipFromLeft || tr.type == AnimationTransition::FlipFromRight) {
        if (!inPlaceOfView) {
            ctx.setFillColor(gfx::Color::black());
            ctx.fillRect(b);
        }
        double angle = p * std::numbers::pi;
        double c = std::cos(angle);
        const bool front = c >= 0;
        auto& img = front ? tr.before : tr.after;
        Float sx = static_cast<Float>(std::max(std::abs(c), 0.002));
        // A little perspective: the page grows towards the viewer mid-turn.
        Float sy = static_cast<Float>(1 + 0.06 * std::sin(angle));
        Float shade = static_cast<Float>(0.45 * (1 - sx));
        gfx::SavedState page(ctx);
        ctx.translate(b.midX(), b.midY());
        ctx.scale(sx, sy);
        ctx.translate(-b.midX(), -b.midY());
        drawImage(img);
        if (!inPlaceOfView) {
            ctx.setFillColor(gfx::Color::black().withAlpha(shade));
            ctx.fillRect(b);
        } else if (img && shade > 0) {
            // Only the page darkens as it turns edge-on; where it is
            // transparent (round corners) the screen behind shows unshaded.
            auto& dark = front ? tr.beforeShade : tr.afterShade;
            if (!dark) dark = silhouette(*img);
            ctx.setAlpha(shade);
            drawImage(dark);
        }
    } else if (tr.type == AnimationTransition::CurlUp || tr.type == AnimationTransition::CurlDown) {
        bool up = tr.type == AnimationTransition::CurlUp;
        // Up: the old page lifts away from the bottom; down: the new page
        // rolls down from the top.
        drawImage(up ? tr.after : tr.before);
        Float edge = static_cast<Float>(b.minY() + b.height() * (up ? 1 - p : p));
        {
            gfx::SavedState saved(ctx);
            ctx.clipToRect(Rect(b.minX(), b.minY(), b.width(), edge - b.minY()));
            drawImage(up ? tr.before : tr.after);
        }
        Float band = static_cast<Float>(std::min<double>(36, b.height() * std::min(p, 1 - p) + 6));
        if (p > 0 && p < 1) {
            gfx::SavedState shadowed(ctx);
            ctx.setShadow(Size(0, 3), 6, gfx::Color::black().withAlpha(0.5f));
            ctx.setFillColor(gfx::Color::gray(0.93f));
            ctx.fillRect(Rect(b.minX(), edge - band / 2, b.width(), band));
        }
    }
}

std::vector<Float> decompose(const AffineTransform& t) {
    double sx = std::hypot(t.a, t.b);
    double rot = std::atan2(t.b, t.a);
    double det = double(t.a) * t.d - double(t.b) * t.c;
    double sy = sx != 0 ? det / sx : std::hypot(t.c, t.d);
    double shear = sx != 0 ? (double(t.a) * t.c + double(t.b) * t.d) / (sx * sx) : 0;
    return {
        t.tx, t.ty, static_cast<Float>(sx), static_cast<Float>(sy), static_cast<Float>(rot), static_cast<Float>(shear)};
}

AffineTransform recompose(const std::vector<Float>& v) {
    if (v.size() != 6) return AffineTransform();
    double tx = v[0], ty = v[1], sx = v[2], sy = v[3], rot = v[4], shear = v[5];
    double cs = std::cos(rot), sn = std::sin(rot);
    // Rows: x' = a x + c y + tx, y' = b x + d y + ty with (a, b) = sx (cos, sin)
    // and (c, d) = shear * (a, b) + sy (-sin, cos).
    double a = sx * cs, b = sx * sn;
    double c = shear * a - sy * sn;
    double d = shear * b + sy * cs;
    return AffineTransform(static_cast<Float>(a), static_cast<Float>(b), static_cast<Float>(c), static_cast<Float>(d),
                           static_cast<Float>(tx), static_cast<Float>(ty));
}

void finishAll() {
    Engine& e = engine();
    e.open.clear();
    auto groups = e.running;
    for (auto& g : groups) end(g);
}

}  // namespace ui::animation
