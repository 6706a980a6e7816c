#pragma once
// Saves a link to the read-later service Instapaper. The login form's user
// name and password are checked with one request when the form is saved,
// and travel with every add request.
#include "sharing/core/SHRSharer.h"

class SHRInstapaper : public SHRSharer {
public:
    std::string sharerId() const override { return "SHRInstapaper"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    bool canShare() const override { return true; }
    std::optional<std::string> authorizationFormCaption() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int type) override;

    void authorizationFormValidate(SHRFormController& form) override;
    void authFinished(SHRRequest& request);
    bool send() override;
    void sendFinished(SHRRequest& request);
};
