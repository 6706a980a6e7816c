#pragma once
// The share sheet: the user's favourite sharers that can share the item,
// then "More..." (the share menu) and "Cancel". The share starts from the
// sheet's own dismissal, whoever its delegate is.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ActionSheet.h"
#include "sharing/core/SHRItem.h"

class SHRActionSheet : public ui::ActionSheet, public ui::ActionSheetDelegate {
public:
    static std::shared_ptr<SHRActionSheet> actionSheetForType(int type);
    static std::shared_ptr<SHRActionSheet> actionSheetForItem(const std::shared_ptr<SHRItem>& item);

    SHRActionSheet();
    const std::vector<std::string>& sharers() const { return sharers_; }
    const std::shared_ptr<SHRItem>& item() const { return item_; }
    void setItem(std::shared_ptr<SHRItem> item) { item_ = std::move(item); }

    // Starts the chosen share (or opens the menu), then dismisses.
    void dismissWithClickedButtonIndex(int index, bool animated) override;

private:
    std::vector<std::string> sharers_;
    std::shared_ptr<SHRItem> item_;
    bool chosen_ = false;
};
