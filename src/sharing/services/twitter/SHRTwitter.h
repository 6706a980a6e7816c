#pragma once
// Posts a status update to Twitter for a link (shortened first), a text or
// an image (uploaded to the image host with OAuth Echo headers, its link
// then added to the status). Authorization is the OAuth web road; a direct
// name-and-password login (xAuth) and a follow request exist for a
// configuration that turns them on (this one does not).
#include "sharing/core/SHROAuthSharer.h"

class SHRTwitterForm;

class SHRTwitter : public SHROAuthSharer {
public:
    // The configured follow account and the shortener's login and key.
    static constexpr const char* FollowAccount = "";
    static constexpr const char* ShortenerLogin = "";
    static constexpr const char* ShortenerKey = "";
    // Where the login form's caption sends new users.
    static constexpr const char* SiteName = "twitter.com";
    // The image is made smaller until its JPEG fits this many bytes.
    static constexpr std::size_t MaxImageBytes = 700000;

    SHRTwitter();
    std::string sharerId() const override { return "SHRTwitter"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    bool canShareText() const override { return true; }
    bool canShareImage() const override { return true; }
    bool shouldAutoShare() override { return false; }  // the compose screen always shows

    bool xAuth() const { return xAuth_; }
    void setXAuth(bool on) { xAuth_ = on; }

    bool isAuthorized() override { return restoreAccessToken(); }
    void promptAuthorization() override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> authorizationFormFields() const override;
    std::optional<std::string> authorizationFormCaption() const override;
    void authorizationFormValidate(SHRFormController& form) override;
    void tokenAccessModifyRequest(OAMutableURLRequest& request) override;
    void tokenAccessTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data) override;

    // The status text travels in the item's custom value "status".
    std::optional<std::string> status() const;
    void setStatus(const std::string& status);

    void show() override;
    void shortenURL();
    void shortenURLFinished(SHRRequest& request);
    void showTwitterForm();
    void sendForm(SHRTwitterForm& form);
    bool validate() const;
    bool send() override;
    void sendStatus();
    void sendStatusTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data);
    void sendStatusTicketDidFail(const OAServiceTicket& ticket, const std::optional<net::Error>& error);
    void sendImage();
    void sendImageTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data);
    void sendImageTicketDidFail(const OAServiceTicket& ticket, const std::optional<net::Error>& error);
    void followMe();

    // The JPEG of the image: quality 0.9, lowered by 0.1 while the data is
    // longer than maxBytes, nine encodings at most.
    static base::Data imageData(const gfx::Image& image, std::size_t maxBytes = MaxImageBytes);
    // The error text of a status answer ("Unknown Error" when it has none).
    static std::string errorMessage(const std::string& body);
    // The link between "<url>" and "</url>" (any case), or none.
    static std::optional<std::string> uploadedImageURL(const std::string& body);

private:
    std::shared_ptr<SHRTwitter> twitterSelf() { return std::static_pointer_cast<SHRTwitter>(oauthSelf()); }
    std::string itemURLWithoutEscapes() const;
    bool xAuth_ = false;
};
