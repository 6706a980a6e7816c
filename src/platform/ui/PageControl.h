#pragma once
// A row of dots, one per page, the current one lit. A tap on the left or
// right half moves one page back or on and sends ValueChanged.
#include "platform/ui/Control.h"

namespace ui {

class PageControl : public Control {
public:
    PageControl();
    explicit PageControl(Rect frame);
    std::string className() const override { return "PageControl"; }

    int numberOfPages() const { return pages_; }
    void setNumberOfPages(int pages);
    int currentPage() const { return current_; }
    void setCurrentPage(int page);
    bool hidesForSinglePage() const { return hidesForSinglePage_; }
    void setHidesForSinglePage(bool hides) {
        hidesForSinglePage_ = hides;
        setNeedsDisplay();
    }
    // When set, a tap changes currentPage but the dots wait for
    // updateCurrentPageDisplay().
    bool defersCurrentPageDisplay() const { return defers_; }
    void setDefersCurrentPageDisplay(bool defers) { defers_ = defers; }
    void updateCurrentPageDisplay();
    Size sizeForNumberOfPages(int pages) const;

    void endTrackingWithTouch(const Touch& touch, const Event* event) override;
    void drawRect(gfx::Context& context, Rect rect) override;
    std::string accessibleName() const override;

private:
    int pages_ = 0;
    int current_ = 0;
    int displayed_ = 0;
    bool hidesForSinglePage_ = false;
    bool defers_ = false;
};

}  // namespace ui
