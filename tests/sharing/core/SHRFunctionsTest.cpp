#include "sharing/core/SHRFunctions.h"

#include <gtest/gtest.h>

TEST(SHRFunctions, EncodeParameterEscapesAllButUnreserved) {
    EXPECT_EQ(encodeParameter(std::string("a&amp;b c")), "a%26b%20c");
    // Characters a plain URL escaping would leave alone must not reach a
    // form body as they are: "+" would arrive as a blank, "&" and "=" would
    // split the field.
    EXPECT_EQ(encodeParameter(std::string("p+w=d&x#y?z/")), "p%2Bw%3Dd%26x%23y%3Fz%2F");
    EXPECT_EQ(encodeParameter(std::string("AZaz09-._~")), "AZaz09-._~");
    EXPECT_EQ(encodeParameter(std::string("100%")), "100%25");
    EXPECT_EQ(encodeParameter(std::string("!*'();:@$,[]")), "%21%2A%27%28%29%3B%3A%40%24%2C%5B%5D");
}

TEST(SHRFunctions, EncodeParameterWritesUTF8BytesAndControls) {
    EXPECT_EQ(encodeParameter(std::string("Pushups \xc3\xa6\xe2\x82\xac")), "Pushups%20%C3%A6%E2%82%AC");
    EXPECT_EQ(encodeParameter(std::string("a\nb\tc")), "a%0Ab%09c");
    EXPECT_EQ(encodeParameter(std::string("a\0b", 3)), "a%00b");
}

TEST(SHRFunctions, EncodeParameterEntityOnlyWhenComplete) {
    EXPECT_EQ(encodeParameter(std::string("&amp")), "%26amp");
    EXPECT_EQ(encodeParameter(std::string("&amp;amp;")), "%26amp%3B");
    EXPECT_EQ(encodeParameter(std::string("&&amp;")), "%26%26");
}

TEST(SHRFunctions, NoneGivesEmpty) {
    EXPECT_EQ(encodeParameter(std::nullopt), "");
    EXPECT_EQ(encodeURLString(std::nullopt), "");
    EXPECT_EQ(stringOrEmpty(std::nullopt), "");
    EXPECT_EQ(stringOrEmpty(std::string("x")), "x");
    EXPECT_EQ(encodeParameter(std::string()), "");
}

TEST(SHRFunctions, EncodeURLStringEscapesReservedCharacters) {
    EXPECT_EQ(encodeURLString(std::string("http://example.com/a b?q=1&r=[2]#f")),
              "http%3A%2F%2Fexample.com%2Fa%20b%3Fq%3D1%26r%3D%5B2%5D%23f");
    // No entity handling here: "&amp;" is escaped as it stands.
    EXPECT_EQ(encodeURLString(std::string("x&amp;y")), "x%26amp%3By");
    EXPECT_EQ(encodeURLString(std::string("~user/\xc3\xb8")), "~user%2F%C3%B8");
}

TEST(SHRFunctions, LocalizedFormatFallsBackToKeyAndFormats) {
    EXPECT_EQ(localizedFormat("Shared %i of %@", 3, std::string("five")), "Shared 3 of five");
    EXPECT_EQ(localizedFormat("No arguments"), "No arguments");
}
