#pragma once
// Saves a link with title, tags, notes and a shared switch to the bookmark
// service Pinboard. The user name and password travel as the URL's user
// information (Basic authentication); the service answers in text.
#include "sharing/core/SHRSharer.h"

class SHRPinboard : public SHRSharer {
public:
    std::string sharerId() const override { return "SHRPinboard"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    std::optional<std::string> authorizationFormCaption() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int type) override;

    void authorizationFormValidate(SHRFormController& form) override;
    void authFinished(SHRRequest& request);
    bool send() override;
    void sendFinished(SHRRequest& request);
    // NO, after asking for a new login, when the service refused the
    // credentials; YES otherwise.
    bool handleResponse(SHRRequest& request);

    // The API address of path with the credentials as its user information.
    static net::URL authenticatedURL(const std::string& username, const std::string& password,
                                     const std::string& pathAndQuery);
};
