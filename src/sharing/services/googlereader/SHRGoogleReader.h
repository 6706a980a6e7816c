#pragma once
// Shares a link, with a note, into the feed reader Google Reader. Each
// sharer logs in with the stored e-mail address and password (the account
// service's ClientLogin) before its first send, keeps the answer as its
// session, and asks for a fresh edit token for every send. Every request
// goes over https, since each carries the password or the session.
#include <map>
#include <string>

#include "sharing/core/SHRSharer.h"

class SHRGoogleReader : public SHRSharer {
public:
    static constexpr const char* SourceVersion = "0.2.1";

    std::string sharerId() const override { return "SHRGoogleReader"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    std::optional<std::string> authorizationFormCaption() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> authorizationFormFields() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int type) override;

    void authorizationFormValidate(SHRFormController& form) override;
    void getSession(const std::string& email, const std::string& password);
    void authFinished(SHRRequest& request);
    bool send() override;
    void signRequest(SHRRequest& request) const;
    void tokenFinished(SHRRequest& request);
    void sendWithToken(const std::string& token);
    void sendFinished(SHRRequest& request);

    // The names and values of the login answer (empty before a login).
    const std::map<std::string, std::string>& session() const { return session_; }
    bool sendAfterLogin() const { return sendAfterLogin_; }

    // The "name=value" lines of a login answer; a line that does not split
    // into exactly two fields at "=" is left out.
    static std::map<std::string, std::string> parseSession(const std::string& answer);

private:
    std::map<std::string, std::string> session_;
    bool haveSession_ = false;
    bool sendAfterLogin_ = false;
};
