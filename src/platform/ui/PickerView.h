#pragma once
// The picker: one or more spinning wheels (components) of rows, with the
// selected row of each in the middle band. Rows come from the data source
// and delegate. Dragging a wheel turns it; a tap on a row above or below the
// band turns the wheel to it; the delegate hears didSelectRow when a wheel
// comes to rest on a row the user chose.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/RunLoop.h"
#include "platform/ui/View.h"

namespace ui {

class PickerView;

class PickerViewDataSource {
public:
    virtual ~PickerViewDataSource() = default;
    virtual int numberOfComponentsInPickerView(PickerView& pickerView) = 0;
    virtual int numberOfRowsInComponent(PickerView& pickerView, int component) = 0;
};

class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate() = default;
    // Width of a component (nullopt: the picker shares its width).
    virtual std::optional<Float> widthForComponent(PickerView& pickerView, int component) {
        (void)pickerView, (void)component;
        return std::nullopt;
    }
    virtual std::optional<Float> rowHeightForComponent(PickerView& pickerView, int component) {
        (void)pickerView, (void)component;
        return std::nullopt;
    }
    // The title of a row (nullopt: ask viewForRow, else "?").
    virtual std::optional<std::string> titleForRow(PickerView& pickerView, int row, int component) {
        (void)pickerView, (void)row, (void)component;
        return std::nullopt;
    }
    // A view to show for the row instead of a title (reusingView is the one
    // shown before, which may be reused).
    virtual std::shared_ptr<View> viewForRow(PickerView& pickerView, int row, int component,
                                             const std::shared_ptr<View>& reusingView) {
        (void)pickerView, (void)row, (void)component, (void)reusingView;
        return nullptr;
    }
    virtual void didSelectRow(PickerView& pickerView, int row, int component) {
        (void)pickerView, (void)row, (void)component;
    }
};

class PickerView : public View {
public:
    PickerView();
    // The height is always the picker's own (216).
    explicit PickerView(Rect frame);
    ~PickerView() override;
    std::string className() const override { return "PickerView"; }

    std::shared_ptr<PickerViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<PickerViewDataSource> dataSource);
    std::shared_ptr<PickerViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<PickerViewDelegate> delegate);
    bool showsSelectionIndicator() const { return showsSelectionIndicator_; }
    void setShowsSelectionIndicator(bool shows) {
        showsSelectionIndicator_ = shows;
        setNeedsDisplay();
    }

    int numberOfComponents() const;
    int numberOfRowsInComponent(int component) const;
    Size rowSizeForComponent(int component) const;
    void reloadAllComponents();
    void reloadComponent(int component);
    // Turns the wheel to the row (no delegate call; a row past the end is
    // clamped).
    void selectRow(int row, int component, bool animated);
    // -1 when the component has no rows.
    int selectedRowInComponent(int component) const;
    // The view shown for a row, if the delegate gives views.
    std::shared_ptr<View> viewForRow(int row, int component) const;
    // The title shown for a row.
    std::string titleForRow(int row, int component) const;

    void setFrame(Rect frame) override;
    Size sizeThatFits(Size size) const override { return {size.width > 0 ? size.width : 320, 216}; }
    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;
    // The mouse wheel turns the wheel under the pointer one row per notch
    // (a touchpad's small steps add up to rows); the delegate hears
    // didSelectRow as for a drag.
    bool scrollWheel(Point point, Float dx, Float dy) override;
    void drawRect(gfx::Context& context, Rect rect) override;
    void layoutSubviews() override;
    std::string displayedText() const override;
    void collectAccessibleElements(std::vector<AccessibleElement>& out) const override;
    bool exposesSubviews() const override { return false; }

private:
    struct Wheel {
        int rows = 0;
        int selected = 0;
        Float offset = 0;  // scroll position in rows (fractional while moving)
        double animStart = -1;
        Float animFrom = 0, animTo = 0;
        bool notify = false;
        std::vector<std::shared_ptr<View>> rowViews;
    };
    void reloadWheel(int component);
    Rect componentRect(int component) const;
    int componentAtX(Float x) const;
    Float rowHeight(int component) const;
    void settle(int component, int row, bool animated, bool notify);
    void tick();
    Float wheelOffset(int component) const;
    std::weak_ptr<PickerViewDataSource> dataSource_;
    std::weak_ptr<PickerViewDelegate> delegate_;
    bool showsSelectionIndicator_ = false;
    std::vector<Wheel> wheels_;
    bool loaded_ = false;
    int dragComponent_ = -1;
    Float dragStartY_ = 0, dragStartOffset_ = 0;
    bool dragMoved_ = false;
    // Notches turned on a wheel but not yet a whole row.
    int wheelComponent_ = -1;
    Float wheelRows_ = 0;
    std::shared_ptr<base::Timer> timer_;
};

}  // namespace ui
