#pragma once
// A row of segments with titles (or images); tapping a segment selects it
// and sends ValueChanged (momentary: highlights it briefly instead).
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gfx/Image.h"
#include "platform/ui/Control.h"

namespace ui {

enum class SegmentedControlStyle { Plain, Bordered, Bar, Bezeled };

class SegmentedControl : public Control {
public:
    static constexpr int NoSegment = -1;
    SegmentedControl();
    // One segment per title; height 44 (Bar style: 30).
    explicit SegmentedControl(std::vector<std::string> items);
    std::string className() const override { return "SegmentedControl"; }

    int numberOfSegments() const { return static_cast<int>(segments_.size()); }
    void insertSegmentWithTitle(const std::string& title, int segment, bool animated = false);
    void insertSegmentWithImage(std::shared_ptr<gfx::Image> image, int segment, bool animated = false);
    void removeSegmentAtIndex(int segment, bool animated = false);
    void removeAllSegments();
    void setTitle(const std::string& title, int segment);
    std::string titleForSegmentAtIndex(int segment) const;
    void setImage(std::shared_ptr<gfx::Image> image, int segment);
    std::shared_ptr<gfx::Image> imageForSegmentAtIndex(int segment) const;
    // 0 = share the width equally.
    void setWidth(Float width, int segment);
    Float widthForSegmentAtIndex(int segment) const;
    void setEnabled(bool enabled, int segment);
    bool isEnabledForSegmentAtIndex(int segment) const;
    using Control::setEnabled;

    int selectedSegmentIndex() const { return selected_; }
    // Setting it in code sends no action.
    void setSelectedSegmentIndex(int index);
    bool isMomentary() const { return momentary_; }
    void setMomentary(bool momentary) { momentary_ = momentary; }
    SegmentedControlStyle segmentedControlStyle() const { return style_; }
    void setSegmentedControlStyle(SegmentedControlStyle style);
    std::optional<gfx::Color> tintColor() const { return tint_; }
    void setTintColor(std::optional<gfx::Color> color) {
        tint_ = std::move(color);
        setNeedsDisplay();
    }

    // The segment at a point in bounds coordinates (NoSegment outside).
    int segmentAtPoint(Point point) const;
    Rect rectForSegment(int segment) const;

    bool beginTrackingWithTouch(const Touch& touch, const Event* event) override;
    void endTrackingWithTouch(const Touch& touch, const Event* event) override;
    void cancelTrackingWithEvent(const Event* event) override;
    void drawRect(gfx::Context& context, Rect rect) override;
    Size sizeThatFits(Size size) const override;
    std::string displayedText() const override;
    void collectAccessibleElements(std::vector<AccessibleElement>& out) const override;

private:
    struct Segment {
        std::string title;
        std::shared_ptr<gfx::Image> image;
        Float width = 0;
        bool enabled = true;
    };
    std::vector<Segment> segments_;
    int selected_ = NoSegment;
    int pressed_ = NoSegment;
    bool momentary_ = false;
    SegmentedControlStyle style_ = SegmentedControlStyle::Plain;
    std::optional<gfx::Color> tint_;
};

}  // namespace ui
