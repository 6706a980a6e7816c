#include "sharing/oauth/OAMutableURLRequest.h"

#include <cctype>

#include <gtest/gtest.h>

#include "platform/base/Clock.h"
#include "platform/base/Exception.h"

namespace {

std::shared_ptr<OAConsumer> photosConsumer() {
    return std::make_shared<OAConsumer>("dpf43f3p2l4k3l03", "kd94hf93k423kf44");
}

std::shared_ptr<OAToken> photosToken() { return std::make_shared<OAToken>("nnch734d00sl2jdk", "pfkkdhi9sl3r4s00"); }

OAMutableURLRequest request(const std::string& url, std::shared_ptr<OAToken> token = nullptr,
                            std::shared_ptr<OASignatureProviding> provider = nullptr) {
    return OAMutableURLRequest(net::URL(url), photosConsumer(), std::move(token), std::nullopt, std::move(provider),
                               "kllo9940pd9333jh", "1191242096");
}

class RecordingHandler : public base::AssertionHandler {
public:
    void handleFailureInMethod(const std::string& method, const void*, const std::string&, int,
                               const std::string& description) override {
        failures.push_back(method + ": " + description);
    }
    std::vector<std::string> failures;
};

}  // namespace

// The example request of the protocol's own specification, signed with
// HMAC-SHA1.
TEST(OAMutableURLRequest, PublishedPhotosExample) {
    OAMutableURLRequest r(net::URL("http://photos.example.net/photos?file=vacation.jpg&size=original"),
                          photosConsumer(), photosToken(), std::string("http://photos.example.net/"), nullptr,
                          "kllo9940pd9333jh", "1191242096");
    EXPECT_EQ(r.signatureBaseString(),
              "GET&http%3A%2F%2Fphotos.example.net%2Fphotos&file%3Dvacation.jpg%26oauth_consumer_key%3Ddpf43f3p2l4k3l03"
              "%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1191242096"
              "%26oauth_token%3Dnnch734d00sl2jdk%26oauth_version%3D1.0%26size%3Doriginal");
    r.prepare();
    EXPECT_EQ(r.signature(), "tR3+Ty81lMeYAr/Fid0kMTYa/WM=");
    EXPECT_EQ(r.valueForHTTPHeaderField("Authorization"),
              "OAuth realm=\"http%3A%2F%2Fphotos.example.net%2F\", oauth_consumer_key=\"dpf43f3p2l4k3l03\", "
              "oauth_token=\"nnch734d00sl2jdk\", oauth_signature_method=\"HMAC-SHA1\", "
              "oauth_signature=\"tR3%2BTy81lMeYAr%2FFid0kMTYa%2FWM%3D\", oauth_timestamp=\"1191242096\", "
              "oauth_nonce=\"kllo9940pd9333jh\", oauth_version=\"1.0\"");
}

TEST(OAMutableURLRequest, PlaintextWithEmptyToken) {
    auto r =
        request("https://photos.example.net/request_token", nullptr, std::make_shared<OAPlaintextSignatureProvider>());
    r.setHTTPMethod("POST");
    EXPECT_EQ(r.signatureBaseString().find("oauth_token"), std::string::npos);
    r.prepare();
    // The signing secret ends in "&" when the token has no secret.
    EXPECT_EQ(r.signature(), "kd94hf93k423kf44&");
    EXPECT_EQ(r.valueForHTTPHeaderField("Authorization"),
              "OAuth realm=\"\", oauth_consumer_key=\"dpf43f3p2l4k3l03\", oauth_signature_method=\"PLAINTEXT\", "
              "oauth_signature=\"kd94hf93k423kf44%26\", oauth_timestamp=\"1191242096\", "
              "oauth_nonce=\"kllo9940pd9333jh\", oauth_version=\"1.0\"");
}

TEST(OAMutableURLRequest, SecretsAreEscapedInTheSigningKey) {
    auto consumer = std::make_shared<OAConsumer>("k", "a&b c");
    auto token = std::make_shared<OAToken>("t", "x+y");
    OAMutableURLRequest r(net::URL("https://example.com/"), consumer, token, std::nullopt,
                          std::make_shared<OAPlaintextSignatureProvider>(), "n", "1");
    r.prepare();
    EXPECT_EQ(r.signature(), "a%26b%20c&x%2By");
}

TEST(OAMutableURLRequest, HMACSignaturesAre28Characters) {
    OAHMAC_SHA1SignatureProvider hmac;
    // A published HMAC-SHA1 test vector.
    EXPECT_EQ(hmac.signClearText("what do ya want for nothing?", "Jefe"), "7/zfauXrL6LSdBbV8YTfnCWafHk=");
    const std::string s = hmac.signClearText("text", "");
    EXPECT_EQ(s.size(), 28u);
    EXPECT_EQ(s.back(), '=');
    EXPECT_EQ(OAPlaintextSignatureProvider().signClearText("ignored", "sec&"), "sec&");
}

TEST(OAMutableURLRequest, FormBodyIsSignedMultipartIsNot) {
    auto r = request("https://api.example.com/update", photosToken());
    r.setHTTPMethod("POST");
    r.setParameters({{"status", "Today I did 50 pushups #Tolvek"}, {"a", "1+1"}});
    EXPECT_EQ(r.httpBodyString(), "status=Today%20I%20did%2050%20pushups%20%23Tolvek&a=1%2B1");
    EXPECT_EQ(r.valueForHTTPHeaderField("Content-Length"), "57");
    EXPECT_EQ(r.valueForHTTPHeaderField("Content-Type"), "application/x-www-form-urlencoded");
    const std::string base = r.signatureBaseString();
    EXPECT_EQ(base.rfind("POST&https%3A%2F%2Fapi.example.com%2Fupdate&a%3D1%252B1%26oauth_consumer_key", 0), 0u)
        << base;
    EXPECT_NE(base.find("%26status%3DToday%2520I%2520did"), std::string::npos);

    r.setValue(std::string("multipart/form-data; boundary=xyz"), "Content-Type");
    const std::string multipart = r.signatureBaseString();
    EXPECT_EQ(multipart.find("status"), std::string::npos);
    EXPECT_EQ(multipart.find("a%3D"), std::string::npos);
}

TEST(OAMutableURLRequest, PairsSortAsWholeTexts) {
    // "a1=..." sorts before "a=..." because "1" comes before "=", and two
    // values of one name sort by value.
    auto r = request("http://example.com/p?a=x&a1=y&b=2&b=1");
    const std::string base = r.signatureBaseString();
    EXPECT_EQ(base,
              "GET&http%3A%2F%2Fexample.com%2Fp&a1%3Dy%26a%3Dx%26b%3D1%26b%3D2%26oauth_consumer_key%3Ddpf43f3p2l4k3l03"
              "%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1191242096"
              "%26oauth_version%3D1.0");
}

TEST(OAMutableURLRequest, ExtraParametersFollowVersionInNameOrder) {
    auto r = request("http://example.com/", photosToken());
    r.setOAuthParameterName(std::string("oauth_verifier"), std::string("v 1"));
    r.setOAuthParameterName(std::string("oauth_callback"), std::string("old"));
    r.setOAuthParameterName(std::string("oauth_callback"), std::string("http://cb/"));
    EXPECT_EQ(r.extraOAuthParameters().size(), 2u);
    EXPECT_NE(r.signatureBaseString().find("oauth_callback%3Dhttp%253A%252F%252Fcb%252F"), std::string::npos);
    r.prepare();
    const std::string header = *r.valueForHTTPHeaderField("Authorization");
    const std::string tail = "oauth_version=\"1.0\", oauth_callback=\"http%3A%2F%2Fcb%2F\", oauth_verifier=\"v%201\"";
    ASSERT_GE(header.size(), tail.size());
    EXPECT_EQ(header.substr(header.size() - tail.size()), tail);
}

TEST(OAMutableURLRequest, MissingExtraParameterIsAProgrammingError) {
    auto handler = std::make_shared<RecordingHandler>();
    auto old = base::AssertionHandler::setCurrent(handler);
    auto r = request("http://example.com/");
    r.setOAuthParameterName(std::string("oauth_callback"), std::nullopt);
    r.setOAuthParameterName(std::nullopt, std::string("x"));
    base::AssertionHandler::setCurrent(old);
    EXPECT_TRUE(r.extraOAuthParameters().empty());
    ASSERT_EQ(handler->failures.size(), 2u);
    EXPECT_EQ(handler->failures[0],
              "setOAuthParameterName:withValue:: Invalid parameter not satisfying: parameterName && parameterValue");
}

TEST(OAMutableURLRequest, PrepareRunsOnce) {
    auto r = request("http://example.com/", photosToken());
    r.prepare();
    const std::string signature = r.signature();
    const std::string header = *r.valueForHTTPHeaderField("Authorization");
    EXPECT_TRUE(r.didPrepare());
    r.setHTTPMethod("POST");
    r.setTimestampForTesting("2");
    r.prepare();
    EXPECT_EQ(r.signature(), signature);
    EXPECT_EQ(r.valueForHTTPHeaderField("Authorization"), header);
}

TEST(OAMutableURLRequest, QueryParameters) {
    auto r = request("http://example.com/path?x=1");
    r.setParameters({});
    EXPECT_EQ(r.url().absoluteString(), "http://example.com/path?");
    EXPECT_FALSE(r.parameters());
    r.setParameters({{"q", "a b&c"}, {"empty", ""}});
    EXPECT_EQ(r.url().absoluteString(), "http://example.com/path?q=a%20b%26c&empty=");
    auto params = r.parameters();
    ASSERT_TRUE(params);
    EXPECT_EQ(*params, (std::vector<OARequestParameter>{{"q", "a b&c"}, {"empty", ""}}));
    EXPECT_TRUE(r.httpBody().empty());

    r.setHTTPMethod("DELETE");
    EXPECT_EQ(r.parameters()->size(), 2u);
    // Other methods read the body, which is empty here.
    r.setHTTPMethod("PUT");
    EXPECT_FALSE(r.parameters());
}

TEST(OAMutableURLRequest, ParametersOfAnUnevenBody) {
    auto r = request("http://example.com/");
    r.setHTTPMethod("POST");
    r.setHTTPBody(std::string_view("flag&name=%C3%A6%20x&bad=%zz&eq=a=b"));
    auto params = r.parameters();
    ASSERT_TRUE(params);
    EXPECT_EQ(*params,
              (std::vector<OARequestParameter>{{"flag", ""}, {"name", "\xc3\xa6 x"}, {"bad", "%zz"}, {"eq", "a=b"}}));
}

TEST(OAMutableURLRequest, Defaults) {
    base::Clock::setCurrent(std::make_shared<base::ManualClock>(1191242096.75));
    OAMutableURLRequest r(net::URL("http://example.com/"), photosConsumer(), nullptr, std::nullopt, nullptr);
    base::Clock::setCurrent(nullptr);
    EXPECT_EQ(r.timestamp(), "1191242096");
    // A UUID in its standard text form: 8-4-4-4-12 hexadecimal digits.
    ASSERT_EQ(r.nonce().size(), 36u) << r.nonce();
    for (std::size_t i = 0; i < r.nonce().size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) EXPECT_EQ(r.nonce()[i], '-') << r.nonce();
        else EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(r.nonce()[i]))) << r.nonce();
    }
    OAMutableURLRequest other(net::URL("http://example.com/"), photosConsumer(), nullptr, std::nullopt, nullptr);
    EXPECT_NE(other.nonce(), r.nonce());
    EXPECT_EQ(r.timeoutInterval(), 10.0);
    EXPECT_EQ(r.cachePolicy(), net::CachePolicy::ReloadIgnoringLocalCacheData);
    EXPECT_EQ(r.signatureProvider()->name(), "HMAC-SHA1");
    EXPECT_EQ(r.token()->key(), "");
    EXPECT_EQ(r.realm(), "");
    EXPECT_EQ(r.httpMethod(), "GET");
    EXPECT_FALSE(r.didPrepare());
    EXPECT_EQ(r.signature(), "");
}
