#pragma once
// An OAuth 1.0 signature checker for the loopback fakes, written from the
// protocol's own definition (RFC 5849) and sharing no code with the client
// under test: it reads the "Authorization" header a fake received, rebuilds
// the signature base string from the request as it arrived (method, scheme,
// the Host header, path, query, form body and the protocol parameters) and
// checks the signature against the secrets the test knows.
//
//   auto check = fakes::OAuthChecker::verify(*server.lastRequest(), "http", "consumer-secret", "token-secret");
//   EXPECT_TRUE(check.valid) << check.why;
//   EXPECT_EQ(check.params.at("oauth_verifier"), "v1");
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fakes/HttpServer.h"

namespace fakes {

struct OAuthCheck {
    bool valid = false;
    std::string why;  // what failed, when not valid
    // The protocol parameters of the header, decoded, without the realm.
    std::map<std::string, std::string> params;
    std::string realm;  // none: empty
    bool hasRealm = false;
    // The header's parameter names in the order they were sent.
    std::vector<std::string> order;
    std::string baseString;  // as rebuilt here
};

class OAuthChecker {
public:
    // scheme is the one the client used to reach the fake ("http" or "https").
    static OAuthCheck verify(const RecordedRequest& request, const std::string& scheme,
                             const std::string& consumerSecret, const std::string& tokenSecret);
    // RFC 3986 percent-encoding: all but ALPHA, DIGIT, "-", ".", "_", "~".
    static std::string encode(const std::string& text);
    static std::string decode(const std::string& text, bool plusIsSpace);
    // The parameters of an "OAuth" Authorization header, in order.
    static std::vector<std::pair<std::string, std::string>> headerParameters(const std::string& header);
};

}  // namespace fakes
