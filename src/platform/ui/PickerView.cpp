#include "platform/ui/PickerView.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Clock.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/AnimationEngine.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"

namespace ui {

namespace {
constexpr Float kHeight = 216;
constexpr Float kFrame = 9;  // the dark frame around the wheels
constexpr double kSettle = 0.25;
double now() { return base::Clock::current().now(); }
}  // namespace

PickerView::PickerView() : PickerView(Rect(0, 0, 320, kHeight)) {}

PickerView::PickerView(Rect frame) : View(Rect(frame.origin, Size(frame.width() > 0 ? frame.width() : 320, kHeight))) {
    setOpaque(true);
    setClipsToBounds(true);
}

PickerView::~PickerView() {
    if (timer_) timer_->invalidate();
}

void PickerView::setFrame(Rect frame) { View::setFrame(Rect(frame.origin, Size(frame.width(), kHeight))); }

void PickerView::setDataSource(std::weak_ptr<PickerViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
    loaded_ = false;
    setNeedsDisplay();
}

void PickerView::setDelegate(std::weak_ptr<PickerViewDelegate> delegate) {
    delegate_ = std::move(delegate);
    setNeedsDisplay();
}

void PickerView::reloadWheel(int c) {
    auto ds = dataSource();
    Wheel& w = wheels_[static_cast<std::size_t>(c)];
    w.rows = ds ? std::max(0, ds->numberOfRowsInComponent(*this, c)) : 0;
    w.selected = w.rows == 0 ? 0 : std::clamp(w.selected, 0, w.rows - 1);
    w.offset = static_cast<Float>(w.selected);
    w.animStart = -1;
    w.rowViews.assign(static_cast<std::size_t>(w.rows), nullptr);
}

void PickerView::reloadAllComponents() {
    auto ds = dataSource();
    int n = ds ? std::max(0, ds->numberOfComponentsInPickerView(*this)) : 0;
    wheels_.resize(static_cast<std::size_t>(n));
    for (int c = 0; c < n; ++c) reloadWheel(c);
    loaded_ = true;
    setNeedsDisplay();
}

void PickerView::reloadComponent(int component) {
    if (!loaded_) return reloadAllComponents();
    if (component < 0 || component >= static_cast<int>(wheels_.size())) return;
    reloadWheel(component);
    setNeedsDisplay();
}

int PickerView::numberOfComponents() const {
    if (!loaded_) const_cast<PickerView*>(this)->reloadAllComponents();
    return static_cast<int>(wheels_.size());
}

int PickerView::numberOfRowsInComponent(int component) const {
    if (component < 0 || component >= numberOfComponents()) return 0;
    return wheels_[static_cast<std::size_t>(component)].rows;
}

Float PickerView::rowHeight(int component) const {
    if (auto d = delegate())
        if (auto h = d->rowHeightForComponent(*const_cast<PickerView*>(this), component); h && *h > 0) return *h;
    return 44;
}

Size PickerView::rowSizeForComponent(int component) const {
    return Size(componentRect(component).width(), rowHeight(component));
}

Rect PickerView::componentRect(int component) const {
    Rect b = bounds();
    int n = static_cast<int>(wheels_.size());
    if (component < 0 || component >= n) return Rect();
    Float inner = b.width() - 2 * kFrame;
    Float gap = 4;
    std::vector<Float> widths(static_cast<std::size_t>(n), 0);
    Float fixed = 0;
    int flexible = 0;
    auto d = delegate();
    for (int c = 0; c < n; ++c) {
        auto w = d ? d->widthForComponent(*const_cast<PickerView*>(this), c) : std::nullopt;
        if (w && *w > 0) {
            widths[static_cast<std::size_t>(c)] = *w;
            fixed += *w;
        } else {
            ++flexible;
        }
    }
    Float rest = std::max<Float>(0, inner - fixed - gap * (n - 1));
    for (auto& w : widths)
        if (w == 0) w = flexible ? rest / flexible : 0;
    Float total = gap * (n - 1);
    for (auto w : widths) total += w;
    Float x = b.minX() + kFrame + std::max<Float>(0, (inner - total) / 2);
    for (int c = 0; c < component; ++c) x += widths[static_cast<std::size_t>(c)] + gap;
    return Rect(x, b.minY() + kFrame, widths[static_cast<std::size_t>(component)], b.height() - 2 * kFrame);
}

int PickerView::componentAtX(Float x) const {
    for (int c = 0; c < static_cast<int>(wheels_.size()); ++c) {
        Rect r = componentRect(c);
        if (x >= r.minX() - 2 && x < r.maxX() + 2) return c;
    }
    return -1;
}

Float PickerView::wheelOffset(int component) const {
    const Wheel& w = wheels_[static_cast<std::size_t>(component)];
    if (w.animStart < 0) return w.offset;
    double t = (now() - w.animStart) / kSettle;
    if (t >= 1) return w.animTo;
    return static_cast<Float>(w.animFrom + (w.animTo - w.animFrom) * animation::ease(AnimationCurve::EaseOut, t));
}

void PickerView::selectRow(int row, int component, bool animated) {
    if (!loaded_) reloadAllComponents();
    if (component < 0 || component >= static_cast<int>(wheels_.size())) return;
    Wheel& w = wheels_[static_cast<std::size_t>(component)];
    if (w.rows == 0) return;
    settle(component, std::clamp(row, 0, w.rows - 1), animated, false);
}

int PickerView::selectedRowInComponent(int component) const {
    if (component < 0 || component >= numberOfComponents()) return -1;
    const Wheel& w = wheels_[static_cast<std::size_t>(component)];
    return w.rows == 0 ? -1 : w.selected;
}

void PickerView::settle(int component, int row, bool animated, bool notify) {
    Wheel& w = wheels_[static_cast<std::size_t>(component)];
    Float from = wheelOffset(component);
    w.selected = row;
    w.offset = static_cast<Float>(row);
    if (animated && View::areAnimationsEnabled() && from != w.offset) {
        w.animStart = now();
        w.animFrom = from;
        w.animTo = w.offset;
        if (!timer_) {
            std::weak_ptr<View> weak = weak_from_this();
            timer_ = base::Timer::scheduledTimer(1.0 / 60, true, [weak](base::Timer& t) {
                auto self = std::static_pointer_cast<PickerView>(weak.lock());
                if (!self) {
                    t.invalidate();
                    return;
                }
                self->tick();
            });
        }
    } else {
        w.animStart = -1;
    }
    setNeedsDisplay();
    // The choice is reported at once (the wheel finishes turning on screen).
    if (notify)
        if (auto d = delegate()) d->didSelectRow(*this, row, component);
}

void PickerView::tick() {
    bool running = false;
    for (auto& w : wheels_) {
        if (w.animStart < 0) continue;
        if (now() - w.animStart >= kSettle) w.animStart = -1;
        else running = true;
    }
    setNeedsDisplay();
    if (!running && timer_) {
        timer_->invalidate();
        timer_.reset();
    }
}

std::string PickerView::titleForRow(int row, int component) const {
    if (auto d = delegate())
        if (auto t = d->titleForRow(*const_cast<PickerView*>(this), row, component)) return *t;
    return "?";
}

std::shared_ptr<View> PickerView::viewForRow(int row, int component) const {
    if (component < 0 || component >= static_cast<int>(wheels_.size())) return nullptr;
    auto& w = const_cast<Wheel&>(wheels_[static_cast<std::size_t>(component)]);
    if (row < 0 || row >= w.rows) return nullptr;
    auto d = delegate();
    if (!d) return nullptr;
    auto& slot = w.rowViews[static_cast<std::size_t>(row)];
    slot = d->viewForRow(*const_cast<PickerView*>(this), row, component, slot);
    return slot;
}

void PickerView::layoutSubviews() {
    if (!loaded_) reloadAllComponents();
}

void PickerView::touchesBegan(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty()) return;
    if (!loaded_) reloadAllComponents();
    Point p = touches.front()->locationInView(this);
    dragComponent_ = componentAtX(p.x);
    dragStartY_ = p.y;
    dragMoved_ = false;
    if (dragComponent_ >= 0) {
        dragStartOffset_ = wheelOffset(dragComponent_);
        wheels_[static_cast<std::size_t>(dragComponent_)].animStart = -1;
        wheels_[static_cast<std::size_t>(dragComponent_)].offset = dragStartOffset_;
    }
}

void PickerView::touchesMoved(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty() || dragComponent_ < 0) return;
    Point p = touches.front()->locationInView(this);
    Float dy = p.y - dragStartY_;
    if (std::abs(dy) > 4) dragMoved_ = true;
    Wheel& w = wheels_[static_cast<std::size_t>(dragComponent_)];
    w.offset =
        std::clamp<Float>(dragStartOffset_ - dy / rowHeight(dragComponent_), -0.5f, std::max<Float>(0, w.rows - 0.5f));
    setNeedsDisplay();
}

void PickerView::touchesEnded(const TouchSet& touches, const Event* event) {
    (void)event;
    int c = dragComponent_;
    dragComponent_ = -1;
    if (touches.empty() || c < 0) return;
    Wheel& w = wheels_[static_cast<std::size_t>(c)];
    if (w.rows == 0) return;
    int row;
    if (dragMoved_) {
        row = static_cast<int>(std::lround(w.offset));
    } else {
        // A tap on a row above or below the band turns the wheel to it.
        Point p = touches.front()->locationInView(this);
        Float band = bounds().midY();
        row = w.selected + static_cast<int>(std::lround((p.y - band) / rowHeight(c)));
    }
    row = std::clamp(row, 0, w.rows - 1);
    bool changed = row != w.selected;
    Float at = w.offset;
    w.offset = at;
    settle(c, row, true, changed || dragMoved_);
}

void PickerView::touchesCancelled(const TouchSet& touches, const Event* event) {
    (void)touches, (void)event;
    if (dragComponent_ >= 0)
        settle(dragComponent_, wheels_[static_cast<std::size_t>(dragComponent_)].selected, true, false);
    dragComponent_ = -1;
}

bool PickerView::scrollWheel(Point point, Float dx, Float dy) {
    (void)dx;
    if (dy == 0) return false;
    if (!loaded_) reloadAllComponents();
    int c = componentAtX(point.x);
    if (c < 0) return false;
    if (dragComponent_ >= 0) return true;  // the finger is in charge
    Wheel& w = wheels_[static_cast<std::size_t>(c)];
    if (w.rows == 0) return true;
    // Towards the user brings the later rows up into the band.
    if (c != wheelComponent_ || (wheelRows_ > 0 && dy > 0) || (wheelRows_ < 0 && dy < 0)) wheelRows_ = 0;
    wheelComponent_ = c;
    wheelRows_ -= dy;
    int steps = static_cast<int>(wheelRows_);  // whole rows, towards zero
    if (steps == 0) return true;
    wheelRows_ -= static_cast<Float>(steps);
    int row = std::clamp(w.selected + steps, 0, w.rows - 1);
    if (row != w.selected) settle(c, row, true, true);
    return true;
}

void PickerView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    if (!loaded_) reloadAllComponents();
    Rect b = bounds();
    draw::fillVerticalGradient(ctx, b, palette::pickerTop(), palette::pickerBottom());
    Float band = b.midY();
    for (int c = 0; c < static_cast<int>(wheels_.size()); ++c) {
        Rect r = componentRect(c);
        const Wheel& w = wheels_[static_cast<std::size_t>(c)];
        Float rh = rowHeight(c);
        Float offset = wheelOffset(c);
        {
            gfx::SavedState saved(ctx);
            ctx.clipToRect(r);
            ctx.setFillColor(gfx::Color::white());
            ctx.fillRect(r);
            int first = std::max(0, static_cast<int>(std::floor(offset - (band - r.minY()) / rh)) - 1);
            int last = std::min(w.rows - 1, static_cast<int>(std::ceil(offset + (r.maxY() - band) / rh)) + 1);
            gfx::Font font = gfx::Font::boldSystemFont(20);
            for (int row = first; row <= last; ++row) {
                Float y = band + (row - offset) * rh - rh / 2;
                Rect rowRect(r.minX(), y, r.width(), rh);
                if (auto v = viewForRow(row, c)) {
                    v->setFrame(rowRect);
                    v->renderInContext(ctx);
                } else {
                    draw::textCentered(ctx, titleForRow(row, c), rowRect.inset(10, 0), font, gfx::Color::black(),
                                       TextAlignment::Left);
                }
            }
            // The curve of the wheel: shade towards the top and bottom.
            Float shade = r.height() * 0.3f;
            draw::fillVerticalGradient(ctx, Rect(r.minX(), r.minY(), r.width(), shade),
                                       gfx::Color::black().withAlpha(0.4f), gfx::Color::black().withAlpha(0));
            draw::fillVerticalGradient(ctx, Rect(r.minX(), r.maxY() - shade, r.width(), shade),
                                       gfx::Color::black().withAlpha(0), gfx::Color::black().withAlpha(0.4f));
        }
        ctx.setStrokeColor(palette::pickerWheelEdge());
        ctx.setLineWidth(1);
        ctx.strokeRect(r.inset(-0.5f, -0.5f));
    }
    if (showsSelectionIndicator_ && !wheels_.empty()) {
        Rect first = componentRect(0), lastRect = componentRect(static_cast<int>(wheels_.size()) - 1);
        Float rh = rowHeight(0);
        Rect sel(first.minX() - 4, band - rh / 2, lastRect.maxX() - first.minX() + 8, rh);
        {
            gfx::SavedState saved(ctx);
            ctx.setShadow(Size(0, 2), 3, gfx::Color::black().withAlpha(0.35f));
            draw::fillVerticalGradient(ctx, sel, palette::pickerBandTop(), palette::pickerBandBottom(), 3);
        }
        draw::strokeRoundedRect(ctx, sel, 3, palette::pickerBandEdge(), 1);
    }
}

std::string PickerView::displayedText() const {
    std::string out;
    for (int c = 0; c < static_cast<int>(wheels_.size()); ++c) {
        const Wheel& w = wheels_[static_cast<std::size_t>(c)];
        for (int row = std::max(0, w.selected - 2); row <= std::min(w.rows - 1, w.selected + 2); ++row) {
            if (!out.empty()) out += "\n";
            out += titleForRow(row, c);
        }
    }
    return out;
}

void PickerView::collectAccessibleElements(std::vector<AccessibleElement>& out) const {
    if (!loaded_) const_cast<PickerView*>(this)->reloadAllComponents();
    auto self = std::const_pointer_cast<View>(shared_from_this());
    Rect b = bounds();
    for (int c = 0; c < static_cast<int>(wheels_.size()); ++c) {
        const Wheel& w = wheels_[static_cast<std::size_t>(c)];
        Rect r = componentRect(c);
        Float rh = rowHeight(c);
        for (int row = std::max(0, w.selected - 2); row <= std::min(w.rows - 1, w.selected + 2); ++row) {
            Float y = b.midY() + (row - w.selected) * rh - rh / 2;
            Rect rowRect = Rect(r.minX(), y, r.width(), rh).intersection(r);
            if (rowRect.isNull() || rowRect.isEmpty()) continue;
            out.push_back(
                AccessibleElement{titleForRow(row, c), "PickerRow", convertRectToView(rowRect, nullptr), true, self});
        }
    }
}

}  // namespace ui
