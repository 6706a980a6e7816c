#include "platform/net/MultipartFormData.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string text(const base::Data& data) { return std::string(data.begin(), data.end()); }

// CR LF before a delimiter belongs to the delimiter: the first one has it
// only when the body starts with a line break, and an ending separator of
// a body without parts is the first delimiter.
TEST(MultipartFormDataTest, DelimitersFrameThePartsAsChosen) {
    net::MultipartFormData closed("B");
    closed.addField("a", "1");
    closed.addPart({"Content-Disposition: form-data; filename=\"f\"", "Content-Type: image/png"}, base::Data{0, 255});
    EXPECT_EQ(closed.contentType(), "multipart/form-data; boundary=B");
    std::string expected =
        "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1"
        "\r\n--B\r\nContent-Disposition: form-data; filename=\"f\"\r\n"
        "Content-Type: image/png\r\n\r\n";
    expected += '\0';
    expected += '\xff';
    expected += "\r\n--B--\r\n";
    EXPECT_EQ(text(closed.body()), expected);

    net::MultipartFormData led("B", net::MultipartFormData::Start::WithLineBreak);
    led.addField("a", "1");
    EXPECT_EQ(text(led.body()), "\r\n--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--B--\r\n");

    net::MultipartFormData open("B", net::MultipartFormData::Start::AtDelimiter,
                                net::MultipartFormData::End::Separator);
    EXPECT_EQ(text(open.body()), "--B\r\n");
    open.addField("a", "1");
    EXPECT_EQ(text(open.body()), "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--B\r\n");
}

}  // namespace
