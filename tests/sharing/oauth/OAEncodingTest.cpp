#include "sharing/oauth/OAEncoding.h"

#include <cstring>

#include <gtest/gtest.h>

#include "sharing/oauth/OARequestParameter.h"

TEST(OAEncoding, ReservedCharactersAreEscaped) {
    EXPECT_EQ(URLEncodedString("!*'();:@&=+$,/?%#[] "), "%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D%20");
    EXPECT_EQ(URLEncodedString("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(URLEncodedString("\xc3\xa6"), "%C3%A6");
    EXPECT_EQ(URLDecodedString("%C3%A6%20a+b"), "\xc3\xa6 a+b");
    EXPECT_EQ(URLDecodedString("100%"), "100%");
    EXPECT_EQ(URLStringWithoutQuery(net::URL("http://example.com/a/b?c=d?e")), "http://example.com/a/b");
    EXPECT_EQ(URLStringWithoutQuery(net::URL("http://example.com/a")), "http://example.com/a");
}

TEST(OAEncoding, RequestParameterPairs) {
    OARequestParameter p("na me", "va=lue");
    EXPECT_EQ(p.URLEncodedName(), "na%20me");
    EXPECT_EQ(p.URLEncodedValue(), "va%3Dlue");
    EXPECT_EQ(p.URLEncodedNameValuePair(), "na%20me=va%3Dlue");
}

TEST(OAEncoding, Base64IntoBuffer) {
    char buf[200];
    std::size_t len = sizeof buf;
    const std::uint8_t man[] = {'M', 'a', 'n', 'M', 'a'};
    ASSERT_TRUE(base64EncodeBytes(man, 5, buf, &len));
    EXPECT_EQ(std::string(buf, len), "TWFuTWE=");

    // 54 bytes make exactly 72 characters, followed by CR LF.
    std::uint8_t zeros[60] = {};
    len = sizeof buf;
    ASSERT_TRUE(base64EncodeBytes(zeros, 54, buf, &len));
    EXPECT_EQ(len, 74u);
    EXPECT_EQ(std::string(buf, len), std::string(72, 'A') + "\r\n");
    len = sizeof buf;
    ASSERT_TRUE(base64EncodeBytes(zeros, 60, buf, &len));
    EXPECT_EQ(std::string(buf, len), std::string(72, 'A') + "\r\n" + std::string(8, 'A'));

    // A buffer one short is refused and left alone.
    std::memset(buf, '#', sizeof buf);
    len = 73;
    EXPECT_FALSE(base64EncodeBytes(zeros, 54, buf, &len));
    EXPECT_EQ(len, 73u);
    EXPECT_EQ(buf[0], '#');
    len = 0;
    EXPECT_TRUE(base64EncodeBytes(nullptr, 0, nullptr, &len));
    EXPECT_EQ(len, 0u);
}
