#pragma once
// Opens the item's link in the desktop's web browser (http and https only).
#include "sharing/core/SHRSharer.h"

class SHRSafari : public SHRSharer {
public:
    std::string sharerId() const override { return "SHRSafari"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    bool shareRequiresInternetConnection() const override { return false; }
    bool requiresAuthentication() const override { return false; }
    bool shouldAutoShare() override { return true; }
    bool send() override;
};
