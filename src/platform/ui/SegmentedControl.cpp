#include "platform/ui/SegmentedControl.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Palette.h"

namespace ui {

SegmentedControl::SegmentedControl() : Control(Rect(0, 0, 0, 44)) { setOpaque(false); }

SegmentedControl::SegmentedControl(std::vector<std::string> items) : SegmentedControl() {
    for (auto& item : items) segments_.push_back(Segment{std::move(item), nullptr, 0, true});
    Size s = sizeThatFits(Size());
    View::setFrame(Rect(0, 0, s.width, s.height));
}

void SegmentedControl::insertSegmentWithTitle(const std::string& title, int segment, bool animated) {
    (void)animated;
    segment = std::clamp(segment, 0, numberOfSegments());
    segments_.insert(segments_.begin() + segment, Segment{title, nullptr, 0, true});
    if (selected_ >= segment) ++selected_;
    setNeedsDisplay();
}

void SegmentedControl::insertSegmentWithImage(std::shared_ptr<gfx::Image> image, int segment, bool animated) {
    (void)animated;
    segment = std::clamp(segment, 0, numberOfSegments());
    segments_.insert(segments_.begin() + segment, Segment{{}, std::move(image), 0, true});
    if (selected_ >= segment) ++selected_;
    setNeedsDisplay();
}

void SegmentedControl::removeSegmentAtIndex(int segment, bool animated) {
    (void)animated;
    if (segment < 0 || segment >= numberOfSegments()) return;
    segments_.erase(segments_.begin() + segment);
    if (selected_ == segment) selected_ = NoSegment;
    else if (selected_ > segment) --selected_;
    setNeedsDisplay();
}

void SegmentedControl::removeAllSegments() {
    segments_.clear();
    selected_ = NoSegment;
    setNeedsDisplay();
}

void SegmentedControl::setTitle(const std::string& title, int segment) {
    if (segment < 0 || segment >= numberOfSegments()) return;
    segments_[static_cast<std::size_t>(segment)].title = title;
    segments_[static_cast<std::size_t>(segment)].image.reset();
    setNeedsDisplay();
}

std::string SegmentedControl::titleForSegmentAtIndex(int segment) const {
    if (segment < 0 || segment >= numberOfSegments()) return {};
    return segments_[static_cast<std::size_t>(segment)].title;
}

void SegmentedControl::setImage(std::shared_ptr<gfx::Image> image, int segment) {
    if (segment < 0 || segment >= numberOfSegments()) return;
    segments_[static_cast<std::size_t>(segment)].image = std::move(image);
    setNeedsDisplay();
}

std::shared_ptr<gfx::Image> SegmentedControl::imageForSegmentAtIndex(int segment) const {
    if (segment < 0 || segment >= numberOfSegments()) return nullptr;
    return segments_[static_cast<std::size_t>(segment)].image;
}

void SegmentedControl::setWidth(Float width, int segment) {
    if (segment < 0 || segment >= numberOfSegments()) return;
    segments_[static_cast<std::size_t>(segment)].width = std::max<Float>(0, width);
    setNeedsDisplay();
}

Float SegmentedControl::widthForSegmentAtIndex(int segment) const {
    if (segment < 0 || segment >= numberOfSegments()) return 0;
    return segments_[static_cast<std::size_t>(segment)].width;
}

void SegmentedControl::setEnabled(bool enabled, int segment) {
    if (segment < 0 || segment >= numberOfSegments()) return;
    segments_[static_cast<std::size_t>(segment)].enabled = enabled;
    setNeedsDisplay();
}

bool SegmentedControl::isEnabledForSegmentAtIndex(int segment) const {
    if (segment < 0 || segment >= numberOfSegments()) return false;
    return segments_[static_cast<std::size_t>(segment)].enabled;
}

void SegmentedControl::setSelectedSegmentIndex(int index) {
    if (index < NoSegment || index >= numberOfSegments()) index = NoSegment;
    selected_ = index;
    setNeedsDisplay();
}

void SegmentedControl::setSegmentedControlStyle(SegmentedControlStyle style) {
    style_ = style;
    if (style == SegmentedControlStyle::Bar) {
        Rect f = frame();
        View::setFrame(Rect(f.origin, Size(f.width(), 30)));
    }
    setNeedsDisplay();
}

Size SegmentedControl::sizeThatFits(Size size) const {
    (void)size;
    gfx::Font font = gfx::Font::boldSystemFont(style_ == SegmentedControlStyle::Bar ? 12 : 16);
    Float w = 0;
    for (auto& s : segments_) {
        Float natural = s.image ? s.image->size().width + 20 : gfx::measureText(s.title, font).width + 24;
        w += s.width > 0 ? s.width : std::max<Float>(natural, 60);
    }
    return Size(std::ceil(w), style_ == SegmentedControlStyle::Bar ? 30 : 44);
}

Rect SegmentedControl::rectForSegment(int segment) const {
    Rect b = bounds();
    int n = numberOfSegments();
    if (segment < 0 || segment >= n) return Rect();
    Float fixed = 0;
    int flexible = 0;
    for (auto& s : segments_) {
        if (s.width > 0) fixed += s.width;
        else ++flexible;
    }
    Float share = flexible > 0 ? std::max<Float>(0, b.width() - fixed) / flexible : 0;
    Float x = b.minX();
    for (int i = 0; i < segment; ++i) {
        auto& s = segments_[static_cast<std::size_t>(i)];
        x += s.width > 0 ? s.width : share;
    }
    auto& s = segments_[static_cast<std::size_t>(segment)];
    return Rect(std::round(x), b.minY(), std::round(s.width > 0 ? s.width : share), b.height());
}

int SegmentedControl::segmentAtPoint(Point p) const {
    for (int i = 0; i < numberOfSegments(); ++i)
        if (rectForSegment(i).contains(p)) return i;
    return NoSegment;
}

bool SegmentedControl::beginTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)event;
    int s = segmentAtPoint(touch.locationInView(this));
    pressed_ = s >= 0 && isEnabledForSegmentAtIndex(s) ? s : NoSegment;
    if (pressed_ != NoSegment && !momentary_ && pressed_ != selected_) {
        // The toolkit selects on touch down.
        selected_ = pressed_;
        sendActionsForControlEvents(ControlEvents::ValueChanged);
    }
    setNeedsDisplay();
    return true;
}

void SegmentedControl::endTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)event;
    int s = segmentAtPoint(touch.locationInView(this));
    if (momentary_ && s == pressed_ && s != NoSegment) {
        selected_ = s;
        sendActionsForControlEvents(ControlEvents::ValueChanged);
        selected_ = NoSegment;
    }
    pressed_ = NoSegment;
    setNeedsDisplay();
}

void SegmentedControl::cancelTrackingWithEvent(const Event* event) {
    (void)event;
    pressed_ = NoSegment;
    setNeedsDisplay();
}

void SegmentedControl::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds().inset(0.5f, 0.5f);
    int n = numberOfSegments();
    if (n == 0) return;
    bool bar = style_ == SegmentedControlStyle::Bar || style_ == SegmentedControlStyle::Bezeled;
    Float radius = bar ? 5 : 8;
    gfx::Color tint = tint_.value_or(bar ? draw::barBlue() : palette::segmentTint());
    gfx::Font font = gfx::Font::boldSystemFont(bar ? 12 : 16);
    {
        gfx::SavedState saved(ctx);
        ctx.beginPath();
        draw::addRoundedRect(ctx, b, radius);
        ctx.clip();
        for (int i = 0; i < n; ++i) {
            Rect r = rectForSegment(i);
            bool on = i == selected_ || (momentary_ && i == pressed_);
            const gfx::Color face = on ? draw::darker(tint, 0.3f) : tint;
            // Each segment is a bezel without an edge: the control's outline
            // and the dividers are drawn round them all.
            draw::Bezel bezel;
            if (bar) {
                bezel.face = draw::Bezel::Face::Glossy;
                bezel.top = face;
            } else {
                bezel.face = draw::Bezel::Face::Gradient;
                bezel.top = on ? draw::lighter(tint, 0.2f) : gfx::Color::white();
                bezel.bottom = on ? draw::darker(tint, 0.1f) : palette::segmentFaceBottom();
            }
            draw::bezel(ctx, r, bezel);
            auto& seg = segments_[static_cast<std::size_t>(i)];
            // Bar segments take the ink of their face, so a light tint (a gold
            // bar) gets dark titles; plain segments are grey on white.
            const draw::BarInk barInk = draw::barInkOn(face);
            gfx::Color ink = bar ? barInk.ink : on ? gfx::Color::white() : palette::segmentInk();
            if (!seg.enabled || !isEnabled()) ink = ink.withAlpha(0.4f);
            if (seg.image) {
                Size s = seg.image->size();
                drawImageInRect(ctx, *seg.image,
                                Rect(r.midX() - s.width / 2, r.midY() - s.height / 2, s.width, s.height),
                                ContentMode::ScaleToFill);
            } else {
                if (bar) draw::textWithShadow(ctx, seg.title, r.inset(4, 0), font, ink, barInk.edge, barInk.edgeOffset);
                else
                    draw::textWithShadow(ctx, seg.title, r.inset(4, 0), font, ink,
                                         on ? gfx::Color::black().withAlpha(0.35f) : gfx::Color::white(),
                                         on ? Size(0, -1) : Size(0, 1));
            }
            if (i > 0) {
                ctx.setFillColor(bar ? draw::darker(tint, 0.45f) : palette::segmentDivider());
                ctx.fillRect(Rect(r.minX() - 0.5f, r.minY(), 1, r.height()));
            }
        }
    }
    draw::strokeRoundedRect(ctx, b, radius, bar ? draw::darker(tint, 0.45f) : palette::controlEdge(), 1);
}

std::string SegmentedControl::displayedText() const {
    std::string out;
    for (auto& s : segments_) {
        if (s.title.empty()) continue;
        if (!out.empty()) out += " | ";
        out += s.title;
    }
    return out;
}

void SegmentedControl::collectAccessibleElements(std::vector<AccessibleElement>& out) const {
    if (!isUserInteractionEnabled()) return;
    auto self = std::const_pointer_cast<View>(shared_from_this());
    for (int i = 0; i < numberOfSegments(); ++i) {
        auto& s = segments_[static_cast<std::size_t>(i)];
        std::string name = !s.title.empty() ? s.title : "Segment " + std::to_string(i + 1);
        out.push_back(AccessibleElement{name, "Segment", convertRectToView(rectForSegment(i), nullptr),
                                        isEnabled() && s.enabled, self});
    }
    if (!accessibilityLabel().empty())
        out.push_back(AccessibleElement{accessibilityLabel(), className(), convertRectToView(bounds(), nullptr),
                                        isEnabled(), self});
}

}  // namespace ui
