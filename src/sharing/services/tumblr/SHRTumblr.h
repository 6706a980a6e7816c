#pragma once
// Posts a link, a text or a photo to the user's Tumblr blog, logging in
// with an e-mail address and password. Links and texts go as form bodies
// through SHRRequest; a photo goes as a multipart upload over a connection
// of its own, with this sharer as the connection's delegate.
#include "platform/net/URLConnection.h"
#include "sharing/core/SHRSharer.h"

class SHRTumblr : public SHRSharer, public net::URLConnectionDelegate {
public:
    static constexpr const char* Boundary = "0xKhTmLbOuNdArY";

    std::string sharerId() const override { return "SHRTumblr"; }
    std::string sharerTitle() const override;
    bool canShareURL() const override { return true; }
    bool canShareText() const override { return true; }
    bool canShareImage() const override { return true; }
    bool canShare() const override { return true; }
    bool shouldAutoShare() override { return false; }
    std::optional<std::string> authorizationFormCaption() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> authorizationFormFields() const override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int type) override;

    void authorizationFormValidate(SHRFormController& form) override;
    void authFinished(SHRRequest& request);
    bool send() override;
    void sendFinished(SHRRequest& request);
    // The photo upload ended (finished or failed): report by its status.
    void finish();

    // The form body of a link or text post.
    std::string postBody() const;
    // The multipart body of a photo post.
    base::Data photoBody() const;

    // The photo upload's connection reports.
    void didReceiveResponse(net::URLConnection& connection, const net::URLResponse& response) override;
    void didReceiveData(net::URLConnection& connection, const base::Data& data) override;
    void didFinishLoading(net::URLConnection& connection) override;
    void didFailWithError(net::URLConnection& connection, const net::Error& error) override;

    const std::optional<net::URLResponse>& response() const { return response_; }

private:
    std::optional<net::URLResponse> response_;
    std::shared_ptr<net::URLConnection> connection_;
};
