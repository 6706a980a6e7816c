#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "platform/base/Date.h"
#include "platform/net/CookieStorage.h"

namespace {

const net::URL kSite("https://www.example.com/account/login");

TEST(CookieTest, ParsesAttributes) {
    auto c = net::Cookie::parseSetCookie("sid=abc123; Domain=example.com; Path=/; Secure; HttpOnly", kSite);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->name, "sid");
    EXPECT_EQ(c->value, "abc123");
    EXPECT_EQ(c->domain, ".example.com");
    EXPECT_EQ(c->path, "/");
    EXPECT_TRUE(c->secure);
    EXPECT_TRUE(c->httpOnly);
    EXPECT_FALSE(c->expiresDate);
}

TEST(CookieTest, DefaultsToTheHostAndFolder) {
    auto c = net::Cookie::parseSetCookie("a=1", kSite);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->domain, "www.example.com");
    EXPECT_EQ(c->path, "/account");
    EXPECT_TRUE(c->matches(net::URL("https://www.example.com/account/other")));
    EXPECT_FALSE(c->matches(net::URL("https://www.example.com/accounts")));
    EXPECT_FALSE(c->matches(net::URL("https://sub.www.example.com/account")));
}

TEST(CookieTest, RefusesForeignDomainsAndMalformedText) {
    EXPECT_FALSE(net::Cookie::parseSetCookie("a=1; Domain=evil.org", kSite));
    EXPECT_FALSE(net::Cookie::parseSetCookie("a=1; Domain=ample.com", kSite));
    EXPECT_FALSE(net::Cookie::parseSetCookie("novalue", kSite));
    EXPECT_FALSE(net::Cookie::parseSetCookie("=1", kSite));
}

TEST(CookieTest, ExpiryFromDateAndMaxAge) {
    auto past = net::Cookie::parseSetCookie("a=1; Expires=Wed, 09 Jun 2021 10:18:14 GMT", kSite);
    ASSERT_TRUE(past);
    ASSERT_TRUE(past->expiresDate);
    EXPECT_DOUBLE_EQ(past->expiresDate->timeIntervalSince1970(), 1623233894.0);
    EXPECT_TRUE(past->isExpired());
    auto later = net::Cookie::parseSetCookie("a=1; Max-Age=3600; Expires=Wed, 09 Jun 2021 10:18:14 GMT", kSite);
    ASSERT_TRUE(later);
    EXPECT_FALSE(later->isExpired());  // Max-Age wins over Expires
}

TEST(CookieTest, SecureCookiesOnlyOverHTTPS) {
    net::Cookie c{"a", "1", ".example.com", "/", std::nullopt, true, false};
    EXPECT_TRUE(c.matches(net::URL("https://example.com/")));
    EXPECT_FALSE(c.matches(net::URL("http://example.com/")));
    EXPECT_TRUE(c.matches(net::URL("https://deep.sub.example.com/x")));
    EXPECT_FALSE(c.matches(net::URL("https://notexample.com/")));
}

TEST(CookieTest, SplitsJoinedSetCookieFieldsKeepingDates) {
    net::HeaderFields h{{"Set-Cookie", "a=1; Expires=Wed, 09 Jun 2049 10:18:14 GMT; Path=/, b=2, c=3; Secure"}};
    auto cookies = net::Cookie::cookiesWithResponseHeaderFields(h, kSite);
    ASSERT_EQ(cookies.size(), 3u);
    EXPECT_EQ(cookies[0].name, "a");
    ASSERT_TRUE(cookies[0].expiresDate);
    EXPECT_EQ(cookies[1].name, "b");
    EXPECT_EQ(cookies[2].name, "c");
    EXPECT_TRUE(cookies[2].secure);
}

TEST(CookieTest, RequestHeader) {
    std::vector<net::Cookie> cs{{"a", "1", "h", "/", {}, false, false}, {"b", "2", "h", "/", {}, false, false}};
    auto h = net::Cookie::requestHeaderFieldsWithCookies(cs);
    EXPECT_EQ(h.at("Cookie"), "a=1; b=2");
    EXPECT_TRUE(net::Cookie::requestHeaderFieldsWithCookies({}).empty());
}

TEST(CookieStorageTest, StoresReplacesAndDeletes) {
    net::CookieStorage s;
    net::Cookie a{"sid", "1", ".example.com", "/", {}, false, false};
    s.setCookie(a);
    a.value = "2";
    s.setCookie(a);  // same name, domain and path: replaced
    s.setCookie({"sid", "3", ".example.com", "/account", {}, false, false});
    s.setCookie({"other", "x", "other.org", "/", {}, false, false});
    EXPECT_EQ(s.cookies().size(), 3u);
    auto forURL = s.cookiesForURL(kSite);
    ASSERT_EQ(forURL.size(), 2u);
    EXPECT_EQ(forURL[0].value, "3");  // the longer path comes first
    EXPECT_EQ(forURL[1].value, "2");
    for (const auto& c : s.cookiesForURL(kSite)) s.deleteCookie(c);
    EXPECT_TRUE(s.cookiesForURL(kSite).empty());
    EXPECT_EQ(s.cookies().size(), 1u);
    s.deleteAllCookies();
    EXPECT_TRUE(s.cookies().empty());
}

TEST(CookieStorageTest, AnExpiredCookieRemovesTheStoredOne) {
    net::CookieStorage s;
    s.setCookie({"sid", "1", "www.example.com", "/", {}, false, false});
    s.setCookie({"sid", "", "www.example.com", "/", base::Date(1000.0), false, false});
    EXPECT_TRUE(s.cookies().empty());
}

}  // namespace
