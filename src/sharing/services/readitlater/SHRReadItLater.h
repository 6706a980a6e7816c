#pragma once
// Saves a link (with its title and tags) to the reading-list service Read
// It Later. Shares go out at once: the share form is never shown. The
// service explains a refusal in its "X-Error" answer header.
#include "sharing/core/SHRSharer.h"

class SHRReadItLater : public SHRSharer {
public:
    // The service's API key (configured empty).
    static constexpr const char* APIKey = "";

    std::string sharerId() const override { return "SHRReadItLater"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    bool shouldAutoShare() override { return true; }
    std::optional<std::string> authorizationFormCaption() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int type) override;

    void authorizationFormValidate(SHRFormController& form) override;
    void authFinished(SHRRequest& request);
    bool send() override;
    void sendFinished(SHRRequest& request);
};
