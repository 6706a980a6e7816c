#pragma once
// Saves a link as a bookmark at Delicious. Authorization is OAuth (token
// steps signed in PLAINTEXT over TLS); the bookmark request is signed with
// HMAC-SHA1. An expired token is renewed with its session handle and the
// bookmark sent again.
#include "sharing/core/SHROAuthSharer.h"

class SHRRequest;

class SHRDelicious : public SHROAuthSharer {
public:
    SHRDelicious();
    std::string sharerId() const override { return "SHRDelicious"; }
    std::string sharerTitle() const override { return "Delicious"; }
    bool canShareURL() const override { return true; }

    void tokenRequestModifyRequest(OAMutableURLRequest& request) override;
    void tokenAccessModifyRequest(OAMutableURLRequest& request) override;
    std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int type) override;
    bool send() override;
    void sendTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data);
    void sendTicketDidFail(const OAServiceTicket& ticket, const std::optional<net::Error>& error);
    // For a plain request's answer: "401 Forbidden" asks for a new login.
    bool handleResponse(SHRRequest& request);
};
