#pragma once
// Copies the item's link (or its image) to the pasteboard.
#include "sharing/core/SHRSharer.h"

class SHRCopy : public SHRSharer {
public:
    std::string sharerId() const override { return "SHRCopy"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    bool canShareText() const override { return true; }
    bool canShareImage() const override { return true; }
    bool shareRequiresInternetConnection() const override { return false; }
    bool requiresAuthentication() const override { return false; }
    bool shouldAutoShare() override { return true; }
    bool send() override;
};
