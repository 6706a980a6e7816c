#include "sharing/core/SHRActionSheet.h"

#include "sharing/core/SHR.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRShareMenu.h"
#include "sharing/core/SHRSharer.h"

SHRActionSheet::SHRActionSheet()
    : ui::ActionSheet(localizedFormat("Share"), {}, std::nullopt, std::nullopt), item_(std::make_shared<SHRItem>()) {}

std::shared_ptr<SHRActionSheet> SHRActionSheet::actionSheetForType(int type) {
    auto sheet = std::make_shared<SHRActionSheet>();
    sheet->setDelegate(std::static_pointer_cast<ui::ActionSheetDelegate>(sheet));
    sheet->item_->setShareType(type);
    for (const auto& id : SHR::favoriteSharersForType(type)) {
        auto sharer = SHRSharer::prototype(id);
        if (!sharer || !sharer->canShare()) continue;  // unknown or unavailable here
        sheet->addButtonWithTitle(sharer->sharerTitle());
        sheet->sharers_.push_back(id);
    }
    sheet->addButtonWithTitle(localizedFormat("More..."));
    sheet->setCancelButtonIndex(sheet->addButtonWithTitle(localizedFormat("Cancel")));
    // Escape backs out with Cancel; Return picks no service.
    sheet->setKeys(ui::KeyAnswer::nothing(), ui::KeyAnswer::press(sheet->cancelButtonIndex()));
    return sheet;
}

std::shared_ptr<SHRActionSheet> SHRActionSheet::actionSheetForItem(const std::shared_ptr<SHRItem>& item) {
    auto sheet = actionSheetForType(item ? item->shareType() : 0);
    if (item) sheet->item_ = item;
    return sheet;
}

void SHRActionSheet::dismissWithClickedButtonIndex(int index, bool animated) {
    if (!isVisible() || chosen_) return;
    chosen_ = true;
    auto keep = shared_from_this();
    const int sharerCount = static_cast<int>(sharers_.size());
    if (index >= 0 && index < sharerCount) {
        SHRSharer::shareItem(sharers_[index], item_);
    } else if (index == sharerCount) {
        auto menu = std::make_shared<SHRCustomShareMenu>(ui::TableViewStyle::Grouped);
        menu->setItem(item_);
        SHR::currentHelper().showViewController(menu);
    }
    ui::ActionSheet::dismissWithClickedButtonIndex(index, animated);
}
