#include "platform/base/Digest.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using base::Data;

Data bytes(const std::string& s) { return Data(s.begin(), s.end()); }

TEST(Digest, Md5IsThirtyTwoLowercaseHexDigits) {
    EXPECT_EQ(base::md5Hex(std::string_view("")), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(base::md5Hex(std::string_view("The quick brown fox jumps over the lazy dog")),
              "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(base::md5(bytes("abc")).size(), 16u);
    Data withZero{'a', 0, 'b'};
    EXPECT_NE(base::md5Hex(withZero), base::md5Hex(std::string_view("a")));  // NUL bytes are hashed too
}

TEST(Digest, Sha1AndHmacSha1MatchPublishedVectors) {
    EXPECT_EQ(base::hexString(base::sha1(bytes("abc"))), "a9993e364706816aba3e25717850c26c9cd0d89d");
    // RFC 2202 test cases 1 and 2, and the OAuth example key and base string.
    EXPECT_EQ(base::hexString(base::hmacSha1(Data(20, 0x0b), bytes("Hi There"))),
              "b617318655057264e28bc0b6fb378c8ef146be00");
    EXPECT_EQ(base::hexString(base::hmacSha1("Jefe", "what do ya want for nothing?")),
              "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    EXPECT_EQ(
        base::base64Encode(base::hmacSha1(
            "kd94hf93k423kf44&pfkkdhi9sl3r4s00",
            "GET&http%3A%2F%2Fphotos.example.net%2Fphotos&file%3Dvacation.jpg%26oauth_consumer_key%3Ddpf43f3p2l4k3l03"
            "%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1191242096"
            "%26oauth_token%3Dnnch734d00sl2jdk%26oauth_version%3D1.0%26size%3Doriginal")),
        "tR3+Ty81lMeYAr/Fid0kMTYa/WM=");
    EXPECT_EQ(base::hmacSha1("", "").size(), 20u);
}

TEST(Digest, Base64PlainAndWithLineBreaks) {
    EXPECT_EQ(base::base64Encode(std::string_view("")), "");
    EXPECT_EQ(base::base64Encode(std::string_view("f")), "Zg==");
    EXPECT_EQ(base::base64Encode(std::string_view("fo")), "Zm8=");
    EXPECT_EQ(base::base64Encode(std::string_view("foo")), "Zm9v");
    EXPECT_EQ(base::base64Encode(Data{0xfb, 0xff}), "+/8=");

    Data big(200);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    std::string plain = base::base64Encode(big);
    std::string wrapped = base::base64Encode(big, true);
    ASSERT_EQ(plain.size(), 268u);
    EXPECT_EQ(wrapped, plain.substr(0, 72) + "\r\n" + plain.substr(72, 72) + "\r\n" + plain.substr(144, 72) + "\r\n" +
                           plain.substr(216));
    // Exactly 72 characters: no trailing line break.
    EXPECT_EQ(base::base64Encode(Data(54, 1), true).find('\r'), std::string::npos);
    EXPECT_EQ(base::base64Decode(wrapped), big);
    EXPECT_EQ(base::base64Decode(plain), big);
}

TEST(Digest, Base64DecodeRejectsWhatIsNotBase64) {
    EXPECT_EQ(base::base64Decode("Zm9v"), bytes("foo"));
    EXPECT_EQ(base::base64Decode("Zg"), bytes("f"));  // missing padding is accepted
    EXPECT_EQ(base::base64Decode(""), Data{});
    EXPECT_FALSE(base::base64Decode("Zm9v!"));
    EXPECT_FALSE(base::base64Decode("Z"));
    EXPECT_FALSE(base::base64Decode("Zg==Zg=="));
    EXPECT_FALSE(base::base64Decode("Zg==="));
    EXPECT_FALSE(base::base64Decode("Zm9=v"));
}

// Uppercase 8-4-4-4-12 hexadecimal, version 4, RFC 4122 variant.
bool isUuidText(const std::string& u) {
    if (u.size() != 36) return false;
    for (std::size_t i = 0; i < u.size(); ++i) {
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash != (u[i] == '-')) return false;
        if (!dash && !((u[i] >= '0' && u[i] <= '9') || (u[i] >= 'A' && u[i] <= 'F'))) return false;
    }
    return u[14] == '4' && std::string("89AB").find(u[19]) != std::string::npos;
}

TEST(Digest, UuidTextAndRandomNumbers) {
    EXPECT_FALSE(isUuidText("6ba7b810-9dad-41d1-80b4-00c04fd430c8"));  // lowercase is not the form
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        std::string u = base::uuidString();
        EXPECT_TRUE(isUuidText(u)) << u;
        seen.insert(u);
    }
    EXPECT_EQ(seen.size(), 100u);
    std::set<std::uint32_t> numbers;
    std::uint32_t orBits = 0;
    for (int i = 0; i < 100; ++i) {
        std::uint32_t r = base::random32();
        numbers.insert(r);
        orBits |= r;
    }
    EXPECT_GT(numbers.size(), 95u);
    EXPECT_GT(orBits, 0x80000000u);  // the high bit is reachable: the full 32-bit range
}

}  // namespace
