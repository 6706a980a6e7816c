#include "sharing/oauth/OAToken.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "platform/base/UserDefaults.h"

TEST(OAToken, Constructors) {
    OAToken empty;
    EXPECT_EQ(empty.key(), "");
    EXPECT_EQ(empty.secret(), "");
    EXPECT_EQ(empty.sessionHandle(), std::string());
    OAToken given("k", "s");
    EXPECT_EQ(given.key(), "k");
    EXPECT_EQ(given.secret(), "s");
    EXPECT_FALSE(given.sessionHandle());
}

TEST(OAToken, FromResponseBody) {
    auto t = OAToken::tokenWithHTTPResponseBody(
        "oauth_token=ab%2Fc&oauth_token_secret=s%3D%26t&user_id=12&oauth_session_handle=h%20h");
    EXPECT_EQ(t->key(), "ab/c");
    EXPECT_EQ(t->secret(), "s=&t");
    EXPECT_EQ(t->sessionHandle(), "h h");

    // What the answer lacks stays empty, so callers can refuse it.
    auto partial = OAToken::tokenWithHTTPResponseBody("oauth_token=only&oauth_callback_confirmed=true");
    EXPECT_EQ(partial->key(), "only");
    EXPECT_EQ(partial->secret(), "");
    EXPECT_FALSE(partial->sessionHandle());

    auto odd = OAToken::tokenWithHTTPResponseBody("oauth_token&&oauth_token_secret=x");
    EXPECT_EQ(odd->key(), "");
    EXPECT_EQ(odd->secret(), "x");
    auto none = OAToken::tokenWithHTTPResponseBody("");
    EXPECT_EQ(none->key(), "");
}

TEST(OAToken, UserDefaultsRoundTripInAPrivateFile) {
    test::TempHome home;
    EXPECT_FALSE(OAToken::tokenFromUserDefaults("Twitter", "Tolvek"));
    OAToken("key1", "secret1").storeInUserDefaults("Twitter", "Tolvek");
    auto& defaults = base::UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.stringForKey("OAUTH_Tolvek_Twitter_KEY"), "key1");
    EXPECT_EQ(defaults.stringForKey("OAUTH_Tolvek_Twitter_SECRET"), "secret1");
    struct stat st {};
    ASSERT_EQ(::stat(defaults.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // Read back from the file itself.
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    auto t = OAToken::tokenFromUserDefaults("Twitter", "Tolvek");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->key(), "key1");
    EXPECT_EQ(t->secret(), "secret1");
    EXPECT_FALSE(OAToken::tokenFromUserDefaults("Other", "Tolvek"));

    base::UserDefaults::standardUserDefaults().removeObjectForKey("OAUTH_Tolvek_Twitter_SECRET");
    EXPECT_FALSE(OAToken::tokenFromUserDefaults("Twitter", "Tolvek"));
}
