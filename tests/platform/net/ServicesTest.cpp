#include <gtest/gtest.h>

#include <fstream>

#include "TestEnvironment.h"
#include "platform/base/Exception.h"
#include "platform/net/Services.h"

namespace {

class ServicesTest : public ::testing::Test {
protected:
    void TearDown() override { net::Services::resetForTesting(); }
    test::TempHome home;
};

TEST_F(ServicesTest, TheBundleNamesEveryService) {
    for (const char* name : {"Twitter", "GoogleAccounts", "Instapaper", "Pinboard", "ReadItLater", "Tumblr", "Evernote",
                             "FacebookGraph", "FacebookLogin"}) {
        auto a = net::Services::address(name);
        ASSERT_TRUE(a) << name;
        EXPECT_FALSE(a->host.empty()) << name;
        EXPECT_TRUE(a->scheme == "http" || a->scheme == "https") << name;
    }
    EXPECT_FALSE(net::Services::address("NoSuchService"));
    EXPECT_THROW(net::Services::url("NoSuchService", "/"), base::Exception);
}

TEST_F(ServicesTest, PointsAServiceAtTheLoopback) {
    net::Services::pointAtLoopbackForTesting("Twitter", 4567);
    net::URL u = net::Services::url("Twitter", "/1/statuses/update.json?x=1");
    EXPECT_EQ(u.absoluteString(), "http://127.0.0.1:4567/1/statuses/update.json?x=1");
    EXPECT_EQ(net::Services::url("Twitter", "no-slash").path(), "/no-slash");
    net::Services::resetForTesting();
    EXPECT_NE(net::Services::url("Twitter", "/").host(), "127.0.0.1");
}

TEST_F(ServicesTest, ReadsAReplacementFile) {
    std::string path = home.path() + "/services.plist";
    std::ofstream(path) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                           "<key>Tumblr</key><dict><key>scheme</key><string>http</string>"
                           "<key>host</key><string>127.0.0.1</string><key>port</key><integer>8080</integer></dict>"
                           "<key>Broken</key><string>not a dictionary</string>"
                           "</dict></plist>\n";
    ASSERT_TRUE(net::Services::loadFromFileForTesting(path));
    EXPECT_EQ(net::Services::url("Tumblr", "/api/authenticate").absoluteString(),
              "http://127.0.0.1:8080/api/authenticate");
    EXPECT_FALSE(net::Services::address("Broken"));
    EXPECT_FALSE(net::Services::address("Twitter"));  // the file replaces the whole table
    EXPECT_FALSE(net::Services::loadFromFileForTesting(home.path() + "/missing.plist"));
    EXPECT_TRUE(net::Services::address("Tumblr"));  // a failed load keeps what was there
}

TEST(ServiceAddressTest, DefaultPortsStayOutOfTheURL) {
    EXPECT_EQ((net::ServiceAddress{"https", "h", 443}).baseURL(), "https://h");
    EXPECT_EQ((net::ServiceAddress{"http", "h", 0}).baseURL(), "http://h");
    EXPECT_EQ((net::ServiceAddress{"http", "h", 8080}).baseURL(), "http://h:8080");
}

}  // namespace
